#pragma once
// The command set: every menu item, context-menu item, toolbar button and shortcut key raises
// one of these numbers.

#include <QKeyCombination>

#include <span>

namespace orvel::gui {

namespace command {
inline constexpr int run_machine = 1;
inline constexpr int run_advanced = 2;
inline constexpr int run_empty = 3;
inline constexpr int add_favourite = 4;
inline constexpr int remove_favourite = 5;
inline constexpr int check_availability = 6;
inline constexpr int machine_info = 7;
inline constexpr int reset_database = 8;
inline constexpr int exit = 9;
inline constexpr int toggle_filter = 10;
inline constexpr int reset_filter = 11;
inline constexpr int preferences = 12;
inline constexpr int save_folder_ini = 13;
inline constexpr int copy_list = 14;
inline constexpr int save_database = 15;
inline constexpr int toggle_toolbar = 16;
inline constexpr int about = 50;
inline constexpr int expand_tree = 60;
inline constexpr int close_tree = 61;
} // namespace command

struct MenuEntry {
    const char* menu; // menu bar title
    int number;       // 0: a separator
    const char* text; // item text, the shortcut text after a tab
};

// The menu bar in display order (titles "System", "Database", "Filter", "View", "Help").
std::span<const MenuEntry> menu_entries();

struct ShortcutEntry {
    QKeyCombination keys;
    int number;
};

// The window-wide shortcut keys (Enter also as the keypad's Enter).
std::span<const ShortcutEntry> shortcut_entries();

// The caption of a command without its shortcut text ("Run Machine").
const char* command_caption(int number);

} // namespace orvel::gui
