#pragma once
// One opening of the preferences window: every edit takes effect in the settings at once,
// through the preference key table (a value set by its key, as the preferences file holds it);
// the file is written by Save As or by the Yes answer when the window is closed after changes.

#include "host/host.h"
#include "settings/settings.h"

#include <string>
#include <string_view>

namespace orvel {

enum class PreferencesClose {
    Stay,    // a failed save keeps the window open, so nothing is lost
    Closed,  // nothing changed, or the changes were made and Save As saved them
    Rebuild, // changes were made: the tree and the list are to be rebuilt
};

class PreferenceEdit {
  public:
    explicit PreferenceEdit(Settings& settings);

    const Settings& settings() const { return settings_; }
    bool changes_made() const { return changes_made_; }

    // Sets one key of the preferences file (by its name there) from a value written as the
    // file writes it; "Start Maximized" also decides the next start's window. False for a name
    // that is no key of the file.
    bool set(std::string_view key, std::string_view value);
    // The folder chooser titled "Set Path" for ORVEL_Data or MAME_Path, starting at shown; the
    // chosen folder is stored with its separator. False when cancelled.
    bool choose_folder(Host& host, std::string_view key, const std::string& shown);
    // Reads a chosen preferences file over the settings (not the data folder, not what it
    // leaves empty). False when cancelled or unreadable (then "Load Failed" says why).
    bool load(Host& host);
    // Writes the settings to a chosen file; "Success" / "Settings Updated" then, and the
    // changes count as saved.
    bool save_as(Host& host);
    // The list's font and colours back to their defaults and the folders back to the ones of
    // the opening; the window opens at half the screen, not maximised, next time ("Start
    // Maximized" itself stays).
    void defaults(int screen_width, int screen_height);
    // "Close" or Escape: after changes asks "Save Changes?" and saves the program's own
    // preferences file on Yes.
    PreferencesClose close(Host& host);

  private:
    bool save_to(Host& host, const std::string& path);

    Settings& settings_;
    const std::string opened_mame_path_;
    const std::string opened_data_path_;
    bool changes_made_ = false;
};

} // namespace orvel
