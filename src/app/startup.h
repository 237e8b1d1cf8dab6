#pragma once
// The start-up sequence up to the machine database: settings defaults, the preferences file,
// the checks of the MAME executable (asking the user to choose it when needed), the data
// folder, and MAME's configuration. Talks to the user only through the host.

#include "host/host.h"
#include "settings/mame_paths.h"
#include "settings/settings.h"

#include <string>

namespace orvel {

enum class StartupOutcome { Continue, Exit };

struct StartupResult {
    StartupOutcome outcome = StartupOutcome::Continue;
    // The user agreed to refresh the database after a MAME change: the database is to be
    // rebuilt from the new MAME, carrying over favourites and stored command lines.
    bool refresh_database = false;
};

struct StartupOptions {
    std::string start_directory; // the working directory at start
    int desktop_width = 0;
    int desktop_height = 0;
    int cc_timeout_ms = 60000;      // MAME's "-cc" run
    int version_timeout_ms = 20000; // MAME's "-version" run
    // The data folder used until the preferences name another; empty: the start directory +
    // "ORVEL_Data".
    std::string data_folder;
    // Folders, separated like PATH, searched for MAME before the user is asked to choose it;
    // empty: no search.
    std::string mame_search_path;
};

// The options of a program started in start_directory from an executable in program_folder:
// its default data folder (see default_data_folder) and PATH then /usr/games as MAME's search
// path. The window size is left to the caller.
StartupOptions program_startup_options(const std::string& start_directory,
                                       const std::string& program_folder);

// Start-up up to the machine database: settings defaults, the preferences file, a MAME that
// changed or is gone, choosing MAME, and MAME's configuration. Exit means the program ends now (the
// user cancelled or declined).
StartupResult run_startup(Settings& settings, MamePaths& paths, Host& host,
                          const StartupOptions& options);

// What start-up does once the user has chosen the executable at exe_path (a full path): sets
// MAME_Exe, MAME_Path, MAME_Size, MAME_Date and, for an accepted name, MAME_Version (telling
// the user when MAME did not answer in time); asks "Invalid Filename" for any other name
// (false when the user declines). Then creates the data folder and saves the preferences.
bool apply_chosen_mame(Settings& settings, Host& host, const std::string& exe_path,
                       int version_timeout_ms = 20000);

// The product version of a MAME executable: the version resource of a Windows (PE) file,
// otherwise the first word MAME prints for "-version" (run in mame_folder). Empty if neither;
// a MAME that does not answer in time is ended and problem (when given) says so.
std::string read_mame_version(const std::string& exe_path, const std::string& mame_folder,
                              int timeout_ms = 20000, std::string* problem = nullptr);

} // namespace orvel
