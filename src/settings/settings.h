#pragma once
// The settings record: the values that survive between runs (saved in "ORVEL.prefs") and the
// few values fixed at start.

#include <cstdint>
#include <string>
#include <vector>

namespace orvel {

// The program's version as the build gives it ("0.050") and the text the windows show
// ("V0.050 Alpha").
const char* program_version();
const char* program_version_text();
// What "--version" prints for the named program: its name and version on the first line, then
// the copyright and the licence.
std::string program_version_statement(const std::string& program_name);

struct Settings {
    // Saved in the preferences file, in file order.
    std::string MAME_Exe;
    std::string MAME_Path;
    std::string MAME_Size;
    std::string MAME_Date;
    std::string MAME_Version;
    std::string ORVEL_Data;
    std::string ORVEL_Font_Name = "Arial";
    std::int64_t ORVEL_Font_Size = 10;
    std::int64_t ORVEL_Font_Style = 0;
    std::int64_t ORVEL_Font_Colour = 0;
    std::int64_t ORVEL_Back_Colour = 16777215;
    std::uint8_t ORVEL_DB_Backup = 0;
    std::uint8_t ORVEL_Check_Avail = 0;
    std::int64_t ORVEL_Sort_Type = 0;
    std::uint8_t ORVEL_Win_Max = 0;
    std::uint8_t ORVEL_Show_Pictures = 0;   // the picture pane beside the machine list
    std::int64_t ORVEL_Picture_Kind = 0;    // 0 Title, 1 In-Game, 2 Icon
    std::int64_t ORVEL_Picture_Width = 320; // the pane's width

    // Keys of the file that this version does not know (a newer one wrote them), written back as
    // they were read.
    struct OtherKey {
        std::string group;
        std::string key;
        std::string value;
    };
    std::vector<OtherKey> other_keys;

    // Set at start, never saved.
    std::string product_name = "Orvel";
    std::string version_text = program_version_text();
    std::string start_directory;
    std::string data_folder_name = "ORVEL_Data";
    int window_width = 0;
    int window_height = 0;
    bool window_maximised = false;
};

// Every field at its default; ORVEL_Data = start directory + "ORVEL_Data" + separator.
// desktop_width/height give the main window's default size (half of each).
void set_default_settings(Settings& settings, const std::string& start_directory,
                          int desktop_width = 0, int desktop_height = 0);

// The data folder used until the preferences name another. A program installed system-wide (its
// executable's folder counts as system-wide for MAME too) keeps its data per user, in
// $XDG_DATA_HOME/orvel/ (~/.local/share/orvel/ when that is unset or not absolute), created when
// missing; a program run from a folder of the user's own, or from an unknown folder, uses
// start_directory + "ORVEL_Data".
std::string default_data_folder(const std::string& start_directory,
                                const std::string& program_folder);

// The standard paths inside the data folder.
std::string preferences_path(const Settings& settings);     // ORVEL_Data + "ORVEL.prefs"
std::string database_path(const Settings& settings);        // ORVEL_Data + "ORVEL.qld"
std::string database_backup_path(const Settings& settings); // ORVEL_Data + "ORVEL.bak"

} // namespace orvel
