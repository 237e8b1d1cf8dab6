#pragma once
// The folders MAME is configured with, read from its "mame.ini" and "ui.ini". Values are kept
// exactly as read (quotes, variables and relative folders included); they are resolved only
// where they are used (platform/mame_folders.h).

#include <array>
#include <string>
#include <string_view>

namespace orvel {

struct MamePaths {
    std::string rompath, hashpath, samplepath, artpath, ctrlrpath, inipath, fontpath, cheatpath,
        crosshairpath, pluginspath, languagepath, swpath, cfg_directory, nvram_directory,
        input_directory, state_directory, snapshot_directory, diff_directory, comment_directory,
        historypath, categorypath, cabinets_directory, cpanels_directory, pcbs_directory,
        flyers_directory, titles_directory, ends_directory, marquees_directory,
        artwork_preview_directory, bosses_directory, logos_directory, scores_directory,
        versus_directory, gameover_directory, howto_directory, select_directory, icons_directory,
        covers_directory, ui_path, hlslpath, bgfx_path;

    struct Key {
        std::string_view name;
        std::string MamePaths::*field;
    };
    // The 41 keys in the order a line's key is compared with them.
    static const std::array<Key, 41>& keys();
    // The value for a key name (exact, case significant); nullptr for an unknown key.
    std::string* find(std::string_view key);
};

} // namespace orvel
