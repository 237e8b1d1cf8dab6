#pragma once
// The start-up sequence up to the machine database: settings defaults, the preferences file,
// the checks of the MAME executable (asking the user to choose it when needed), the data
// folder, and MAME's configuration. Talks to the user only through the host.

#include "host/host.h"
#include "platform/failure.h"
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

// What start-up does once the user has chosen the executable at exe_path (a full path): asks
// "Invalid Filename" for a name other than mame, mame64, mame.exe or mame64.exe (Cancelled when
// the user declines); reads its version, and refuses (Refused, saying what was wrong, nothing
// changed or saved) a program that cannot be started or prints no version, as MAME would. Then
// sets MAME_Exe, MAME_Path, MAME_Size, MAME_Date and MAME_Version (telling the user when MAME did
// not answer in time), creates the data folder and saves the preferences (NotSaved, the settings
// applied all the same, when they cannot be written).
Status apply_chosen_mame(Settings& settings, Host& host, const std::string& exe_path,
                         int version_timeout_ms = 20000);

// What the user is told when no MAME was found: that none was, and how to get one.
std::string no_mame_found_text();

// The product version of a MAME executable: the version resource of a Windows (PE) file,
// otherwise the first word MAME prints for "-version" (run in mame_folder; empty when it prints
// nothing). Fails as Missing when MAME cannot be started, and as Error, saying so, when it
// does not answer in time and is ended.
Result<std::string> read_mame_version(const std::string& exe_path, const std::string& mame_folder,
                                      int timeout_ms = 20000);

} // namespace orvel
