#include "settings/settings.h"

#include "platform/files.h"

namespace orvel {

void set_default_settings(Settings& settings, const std::string& start_directory, int desktop_width,
                          int desktop_height) {
    settings = Settings{};
    settings.start_directory = with_separator(start_directory);
    settings.ORVEL_Data = with_separator(settings.start_directory + settings.data_folder_name);
    settings.window_width = desktop_width / 2;
    settings.window_height = desktop_height / 2;
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
