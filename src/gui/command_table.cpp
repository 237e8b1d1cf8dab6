#include "gui/command_table.h"

#include <array>

namespace orvel::gui {

namespace {

constexpr std::array<MenuEntry, 23> menus = {{
    {"System", 1, "Run Machine\tEnter"},
    {"System", 2, "Run (Advanced)\tShift+Enter"},
    {"System", 3, "Run (Empty)\tCtrl+Enter"},
    {"System", 0, nullptr},
    {"System", 7, "Machine Info\tCtrl+I"},
    {"System", 0, nullptr},
    {"System", 12, "Preferences\tCtrl+P"},
    {"System", 0, nullptr},
    {"System", 9, "Exit\tCtrl+Q"},
    {"Database", 4, "Add Favourite\tCtrl+F"},
    {"Database", 5, "Remove Favourite\tShift+F"},
    {"Database", 0, nullptr},
    {"Database", 6, "Check Availability\tCtrl+A"},
    {"Database", 0, nullptr},
    {"Database", 13, "Save Folder Ini\tCtrl+S"},
    {"Database", 14, "Copy List To Clipboard\tCtrl+C"},
    {"Database", 0, nullptr},
    {"Database", 15, "Save Database\tCtrl+D"},
    {"Database", 0, nullptr},
    {"Database", 8, "Reset Database\tCtrl+B"},
    {"Filter", 11, "Reset Filter\tCtrl+R"},
    {"View", 10, "Toggle Filter\tF12"},
    {"View", 16, "Toggle Toolbar/Menu\tF10"},
}};

constexpr std::array<MenuEntry, 1> help = {{{"Help", 50, "About"}}};

const std::array<MenuEntry, 24> all = [] {
    std::array<MenuEntry, 24> entries{};
    for (std::size_t i = 0; i < menus.size(); ++i)
        entries[i] = menus[i];
    entries[23] = help[0];
    return entries;
}();

const std::array<ShortcutEntry, 19> shortcuts = {{
    {QKeyCombination(Qt::Key_Return), 1},
    {QKeyCombination(Qt::Key_Enter), 1},
    {QKeyCombination(Qt::ShiftModifier, Qt::Key_Return), 2},
    {QKeyCombination(Qt::ShiftModifier, Qt::Key_Enter), 2},
    {QKeyCombination(Qt::ControlModifier, Qt::Key_Return), 3},
    {QKeyCombination(Qt::ControlModifier, Qt::Key_Enter), 3},
    {QKeyCombination(Qt::ControlModifier, Qt::Key_I), 7},
    {QKeyCombination(Qt::ControlModifier, Qt::Key_P), 12},
    {QKeyCombination(Qt::ControlModifier, Qt::Key_Q), 9},
    {QKeyCombination(Qt::ControlModifier, Qt::Key_F), 4},
    {QKeyCombination(Qt::ShiftModifier, Qt::Key_F), 5},
    {QKeyCombination(Qt::ControlModifier, Qt::Key_A), 6},
    {QKeyCombination(Qt::ControlModifier, Qt::Key_S), 13},
    {QKeyCombination(Qt::ControlModifier, Qt::Key_C), 14},
    {QKeyCombination(Qt::ControlModifier, Qt::Key_D), 15},
    {QKeyCombination(Qt::ControlModifier, Qt::Key_B), 8},
    {QKeyCombination(Qt::ControlModifier, Qt::Key_R), 11},
    {QKeyCombination(Qt::Key_F12), 10},
    {QKeyCombination(Qt::Key_F10), 16},
}};

} // namespace

std::span<const MenuEntry> menu_entries() {
    return all;
}

std::span<const ShortcutEntry> shortcut_entries() {
    return shortcuts;
}

const char* command_caption(int number) {
    switch (number) {
    case 1:
        return "Run Machine";
    case 2:
        return "Run (Advanced)";
    case 3:
        return "Run (Empty)";
    case 4:
        return "Add Favourite";
    case 5:
        return "Remove Favourite";
    case 6:
        return "Check Availability";
    case 7:
        return "Machine Info";
    case 8:
        return "Reset Database";
    case 9:
        return "Exit";
    case 10:
        return "Toggle Filter";
    case 11:
        return "Reset Filter";
    case 12:
        return "Preferences";
    case 13:
        return "Save Folder Ini";
    case 14:
        return "Copy List To Clipboard";
    case 15:
        return "Save Database";
    case 16:
        return "Toggle Toolbar/Menu";
    case 50:
        return "About";
    case 60:
        return "Expand Tree";
    case 61:
        return "Close Tree";
    default:
        return "";
    }
}

} // namespace orvel::gui
