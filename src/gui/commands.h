#pragma once
// The command set. Every menu item, context-menu item, toolbar button and shortcut key raises
// one Command through the one QAction the command owns, so a command's text, keys, picture,
// tooltip and enabled state live in one place (the table in commands.cpp).

#include <QKeyCombination>
#include <QObject>

#include <array>
#include <optional>
#include <span>

class QAction;
class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;

namespace orvel::gui {

class IconSet;

// The numbers are the commands' own numbers (the program's texts and tests name them so).
enum class Command {
    RunMachine = 1,
    RunAdvanced = 2,
    RunEmpty = 3,
    AddFavourite = 4,
    RemoveFavourite = 5,
    CheckAvailability = 6,
    MachineInfo = 7,
    ResetDatabase = 8,
    Exit = 9,
    ToggleFilter = 10,
    ResetFilter = 11,
    Preferences = 12,
    SaveFolderIni = 13,
    CopyList = 14,
    SaveDatabase = 15,
    ToggleToolbar = 16,
    AuditRomsets = 17,
    ShowPictures = 18,
    About = 50,
    ExpandTree = 60,
    CloseTree = 61,
};

struct CommandEntry {
    Command command;
    const char* caption; // "Run Machine": menu text, context-menu text and tooltip
    // The keys that raise it; the first is the one the menu shows ("Enter"), the second the
    // other Enter key of the keyboard.
    std::array<QKeyCombination, 2> keys;
    int picture; // toolbar picture number (IconSet), 0 for none
    int shrink;  // the toolbar picture is the button side less this
    bool enabled;
};

// Every command, in no particular order.
std::span<const CommandEntry> command_table();
const CommandEntry& command_entry(Command command);

// A menu, context menu or toolbar layout: commands in order, nullopt for a separator.
using CommandItem = std::optional<Command>;

struct MenuEntry {
    const char* title; // with its mnemonic ("&System")
    std::span<const CommandItem> items;
};

std::span<const MenuEntry> menu_bar_table();
std::span<const CommandItem> list_menu_items();
std::span<const CommandItem> tree_menu_items();
std::span<const CommandItem> toolbar_items();

// One QAction per command, owned by the window the actions belong to: their shortcut keys
// work in that whole window, also while the menu bar is hidden. Menus, context menus and the
// toolbar share these actions, so enabling a command enables it everywhere.
class CommandActions : public QObject {
    Q_OBJECT
  public:
    CommandActions(const IconSet& icons, int toolbar_side, QWidget* window);

    QAction* action(Command command) const;

    void fill_menu_bar(QMenuBar* bar) const;
    QMenu* make_menu(std::span<const CommandItem> items, QWidget* parent) const;
    void fill_toolbar(QToolBar* toolbar) const;

    // While the program is busy every command is disabled; afterwards each has its table's
    // enabled state again.
    void set_busy(bool busy);

  signals:
    void triggered(Command command);

  private:
    std::array<QAction*, 62> actions_{};
};

} // namespace orvel::gui
