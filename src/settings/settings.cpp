#include "settings/settings.h"

#include "platform/files.h"
#include "platform/mame_folders.h"

#include <cstdlib>

#if !defined(ORVEL_VERSION) || !defined(ORVEL_VERSION_STAGE)
#error "The build defines the version (CMakeLists.txt)"
#endif

namespace orvel {

const char* program_version() {
    return ORVEL_VERSION;
}
const char* program_version_text() {
    return "V" ORVEL_VERSION " " ORVEL_VERSION_STAGE;
}

std::string program_version_statement(const std::string& program_name) {
    return program_name + " " ORVEL_VERSION " (" ORVEL_VERSION_STAGE ")\n"
                          "Copyright (C) 2020 The Orvel Developers\n"
                          "License GPLv3+: GNU GPL version 3 or later "
                          "<https://www.gnu.org/licenses/gpl.html>.\n"
                          "This is free software: you are free to change and redistribute it.\n"
                          "There is NO WARRANTY, to the extent permitted by law.\n";
}

void set_default_settings(Settings& settings, const std::string& start_directory, int desktop_width,
                          int desktop_height) {
    settings = Settings{};
    settings.start_directory = with_separator(start_directory);
    settings.ORVEL_Data = with_separator(settings.start_directory + settings.data_folder_name);
    settings.window_width = desktop_width / 2;
    settings.window_height = desktop_height / 2;
}

std::string default_data_folder(const std::string& start_directory,
                                const std::string& program_folder) {
    const std::string portable =
        with_separator(with_separator(start_directory) + Settings{}.data_folder_name);
    if (program_folder.empty() || !is_system_wide_folder(program_folder)) return portable;
    std::string base;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && xdg[0] == '/')
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && home[0] == '/')
        base = join_path(home, ".local/share");
    else
        return portable;
    const std::string folder = with_separator(join_path(base, "orvel"));
    create_folders(folder);
    return folder;
}

std::string preferences_path(const Settings& settings) {
    return join_path(settings.ORVEL_Data, "ORVEL.prefs");
}
std::string database_path(const Settings& settings) {
    return join_path(settings.ORVEL_Data, "ORVEL.qld");
}
std::string database_backup_path(const Settings& settings) {
    return join_path(settings.ORVEL_Data, "ORVEL.bak");
}

} // namespace orvel
