#include "app/preference_edit.h"

#include "platform/files.h"
#include "platform/text.h"
#include "settings/preferences.h"

namespace orvel {

namespace {

const char* const prefs_filter = "Preferences (*.prefs)|*.prefs";

} // namespace

PreferenceEdit::PreferenceEdit(Settings& settings)
    : settings_(settings), opened_mame_path_(settings.MAME_Path),
      opened_data_path_(settings.ORVEL_Data) {}

bool PreferenceEdit::set(std::string_view key, std::string_view value) {
    if (!set_preference(settings_, key, value)) return false;
    if (iequals(key, "ORVEL_Win_Max")) settings_.window_maximised = settings_.ORVEL_Win_Max != 0;
    changes_made_ = true;
    return true;
}

bool PreferenceEdit::choose_folder(Host& host, std::string_view key, const std::string& shown) {
    const std::string folder = host.choose_folder("Set Path", shown);
    if (folder.empty()) return false;
    return set(key, with_separator(folder));
}

bool PreferenceEdit::load(Host& host) {
    const std::string path =
        host.choose_open_file("Load", preferences_path(settings_), prefs_filter);
    if (path.empty()) return false;
    const Result<std::string> bytes = read_file(path, max_preferences_bytes, "The file");
    if (!bytes) {
        host.message("Load Failed", "Settings Not Loaded!\n" + std::string(bytes.message()),
                     Buttons::Ok, Icon::Error);
        return false;
    }
    apply_loaded_preferences(settings_, *bytes);
    settings_.window_maximised = settings_.ORVEL_Win_Max != 0;
    changes_made_ = true;
    return true;
}

bool PreferenceEdit::save_to(Host& host, const std::string& path) {
    const Status saved = save_preferences(settings_, path);
    if (saved) return true;
    const std::string folder = folder_of(path);
    const std::string reason = !folder_exists(folder) ? "The folder " + folder + " does not exist."
                                                      : std::string(saved.message());
    host.message("Save Failed", "Settings Not Saved!\n" + path + "\n" + reason, Buttons::Ok,
                 Icon::Error);
    return false;
}

bool PreferenceEdit::save_as(Host& host) {
    const std::string path =
        host.choose_save_file("Save As", preferences_path(settings_), prefs_filter);
    if (path.empty() || !save_to(host, path)) return false;
    host.message("Success", "Settings Updated", Buttons::Ok, Icon::Information);
    changes_made_ = false;
    return true;
}

void PreferenceEdit::defaults(int screen_width, int screen_height) {
    settings_.MAME_Path = opened_mame_path_;
    settings_.ORVEL_Data = opened_data_path_;
    const Settings defaults;
    settings_.ORVEL_Font_Name = defaults.ORVEL_Font_Name;
    settings_.ORVEL_Font_Size = defaults.ORVEL_Font_Size;
    settings_.ORVEL_Font_Style = defaults.ORVEL_Font_Style;
    settings_.ORVEL_Font_Colour = defaults.ORVEL_Font_Colour;
    settings_.ORVEL_Back_Colour = defaults.ORVEL_Back_Colour;
    if (screen_width > 0 && screen_height > 0) {
        settings_.window_width = screen_width / 2;
        settings_.window_height = screen_height / 2;
    }
    settings_.window_maximised = false;
    changes_made_ = true;
}

PreferencesClose PreferenceEdit::close(Host& host) {
    if (!changes_made_) return PreferencesClose::Closed;
    if (host.message("Changes Made", "Save Changes?", Buttons::YesNo, Icon::Warning) ==
        Answer::Yes) {
        if (!save_to(host, preferences_path(settings_))) return PreferencesClose::Stay;
        host.message("Success", "Settings Saved", Buttons::Ok, Icon::Information);
        changes_made_ = false;
    }
    return PreferencesClose::Rebuild;
}

} // namespace orvel
