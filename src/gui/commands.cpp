#include "gui/commands.h"

#include "gui/icon_set.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace orvel::gui {

namespace {

using C = Command;
using K = QKeyCombination;

constexpr Qt::KeyboardModifier ctrl = Qt::ControlModifier;
constexpr Qt::KeyboardModifier shift = Qt::ShiftModifier;

constexpr std::array<CommandEntry, 21> commands = {{
    {C::RunMachine,
     "Run Machine",
     {K(Qt::Key_Enter), K(Qt::Key_Return)},
     icon::run_machine,
     6,
     true},
    {C::RunAdvanced,
     "Run (Advanced)",
     {K(shift, Qt::Key_Enter), K(shift, Qt::Key_Return)},
     icon::run_advanced,
     6,
     true},
    {C::RunEmpty,
     "Run (Empty)",
     {K(ctrl, Qt::Key_Enter), K(ctrl, Qt::Key_Return)},
     icon::run_empty,
     6,
     true},
    {C::AddFavourite, "Add Favourite", {K(ctrl, Qt::Key_F)}, 0, 0, true},
    {C::RemoveFavourite, "Remove Favourite", {K(shift, Qt::Key_F)}, 0, 0, true},
    {C::CheckAvailability, "Check Availability", {K(ctrl, Qt::Key_A)}, 0, 0, true},
    {C::AuditRomsets, "Audit Romsets", {K(ctrl, Qt::Key_U)}, 0, 0, true},
    {C::MachineInfo, "Machine Info", {K(ctrl, Qt::Key_I)}, icon::machine_info, 6, true},
    {C::ResetDatabase, "Reset Database", {K(ctrl, Qt::Key_B)}, 0, 0, true},
    {C::Exit, "Exit", {K(ctrl, Qt::Key_Q)}, 0, 0, true},
    {C::ToggleFilter, "Toggle Filter", {K(Qt::Key_F12)}, 0, 0, true},
    {C::ResetFilter, "Reset Filter", {K(ctrl, Qt::Key_R)}, 0, 0, true},
    {C::Preferences, "Preferences", {K(ctrl, Qt::Key_P)}, icon::preferences, 8, true},
    {C::SaveFolderIni, "Save Folder Ini", {K(ctrl, Qt::Key_S)}, 0, 0, true},
    {C::CopyList, "Copy List To Clipboard", {K(ctrl, Qt::Key_C)}, 0, 0, true},
    {C::SaveDatabase, "Save Database", {K(ctrl, Qt::Key_D)}, 0, 0, true},
    {C::ToggleToolbar, "Toggle Toolbar/Menu", {K(Qt::Key_F10)}, 0, 0, true},
    {C::ShowPictures, "Show Pictures", {K(Qt::Key_F9)}, 0, 0, true},
    {C::About, "About", {}, 0, 0, true},
    {C::ExpandTree, "Expand Tree", {}, 0, 0, true},
    {C::CloseTree, "Close Tree", {}, 0, 0, true},
}};

constexpr CommandItem separator = std::nullopt;

constexpr CommandItem system_menu[] = {
    C::RunMachine, C::RunAdvanced, C::RunEmpty, separator, C::MachineInfo,
    separator,     C::Preferences, separator,   C::Exit,
};
constexpr CommandItem database_menu[] = {
    C::AddFavourite, C::RemoveFavourite, separator,        C::CheckAvailability,
    C::AuditRomsets, separator,          C::SaveFolderIni, C::CopyList,
    separator,       C::SaveDatabase,    separator,        C::ResetDatabase,
};
constexpr CommandItem filter_menu[] = {C::ResetFilter};
constexpr CommandItem view_menu[] = {C::ToggleFilter, C::ToggleToolbar, separator, C::ShowPictures};
constexpr CommandItem help_menu[] = {C::About};

constexpr MenuEntry menus[] = {
    {"&System", system_menu}, {"&Database", database_menu}, {"&Filter", filter_menu},
    {"&View", view_menu},     {"&Help", help_menu},
};

constexpr CommandItem list_menu[] = {
    C::RunMachine,   C::RunAdvanced,     C::RunEmpty, separator,
    C::AddFavourite, C::RemoveFavourite, separator,   C::MachineInfo,
};
constexpr CommandItem tree_menu[] = {C::ExpandTree, C::CloseTree, separator, C::ResetFilter};
constexpr CommandItem toolbar[] = {
    C::RunMachine,  C::RunAdvanced, C::RunEmpty,    separator,
    C::MachineInfo, separator,      C::Preferences,
};

void add_items(QWidget* target, std::span<const CommandItem> items, const CommandActions& actions) {
    for (const CommandItem& item : items) {
        if (!item) {
            auto* line = new QAction(target);
            line->setSeparator(true);
            target->addAction(line);
        } else {
            target->addAction(actions.action(*item));
        }
    }
}

} // namespace

std::span<const CommandEntry> command_table() {
    return commands;
}

const CommandEntry& command_entry(Command command) {
    for (const CommandEntry& entry : commands)
        if (entry.command == command) return entry;
    return commands.front(); // every Command is in the table (a test checks)
}

std::span<const MenuEntry> menu_bar_table() {
    return menus;
}
std::span<const CommandItem> list_menu_items() {
    return list_menu;
}
std::span<const CommandItem> tree_menu_items() {
    return tree_menu;
}
std::span<const CommandItem> toolbar_items() {
    return toolbar;
}

CommandActions::CommandActions(const IconSet& icons, int toolbar_side, QWidget* window)
    : QObject(window) {
    for (const CommandEntry& entry : commands) {
        auto* action = new QAction(QString::fromLatin1(entry.caption), window);
        QList<QKeySequence> keys;
        for (const QKeyCombination& key : entry.keys)
            if (key.key() != Qt::Key_unknown && key.key() != Qt::Key(0)) keys << QKeySequence(key);
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        // Context menus show the caption alone.
        action->setShortcutVisibleInContextMenu(false);
        action->setToolTip(action->text());
        action->setEnabled(entry.enabled);
        if (entry.picture != 0)
            action->setIcon(icons.icon(entry.picture, toolbar_side - entry.shrink));
        const Command command = entry.command;
        connect(action, &QAction::triggered, this, [this, command] { emit triggered(command); });
        // On the window itself too, so the keys work while the menu bar is hidden.
        window->addAction(action);
        actions_[static_cast<std::size_t>(entry.command)] = action;
    }
}

QAction* CommandActions::action(Command command) const {
    return actions_[static_cast<std::size_t>(command)];
}

void CommandActions::fill_menu_bar(QMenuBar* bar) const {
    for (const MenuEntry& entry : menus) {
        QMenu* menu = bar->addMenu(QString::fromLatin1(entry.title));
        add_items(menu, entry.items, *this);
    }
}

QMenu* CommandActions::make_menu(std::span<const CommandItem> items, QWidget* parent) const {
    auto* menu = new QMenu(parent);
    add_items(menu, items, *this);
    return menu;
}

void CommandActions::set_busy(bool busy) {
    for (const CommandEntry& entry : commands)
        action(entry.command)->setEnabled(entry.enabled && !busy);
}

void CommandActions::fill_toolbar(QToolBar* bar) const {
    add_items(bar, toolbar, *this);
}

} // namespace orvel::gui
