#pragma once
// Start-up's machine database step: build it from MAME's listing when the database file is
// missing or empty (or when the user asked to refresh it after a MAME change), otherwise load
// it and, when ORVEL_Check_Avail is 1, scan availability. An empty list ends the program.

#include "database/machine.h"
#include "host/host.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "settings/mame_paths.h"
#include "settings/settings.h"

#include <string>

namespace orvel {

// ChooseMame: MAME listed no machines and the user wants to choose another MAME.
enum class DatabaseOutcome { Continue, Exit, ChooseMame };

struct DatabaseStartResult {
    DatabaseOutcome outcome = DatabaseOutcome::Continue;
    bool built = false; // built from MAME's listing (rather than loaded)
    // What went wrong on the way: what the build or the load reported. NotSaved: the built
    // database could not be written; Error: MAME's listing run failed and the old database,
    // when there was one, is kept.
    Status problem;
    // The database file as it was loaded or saved here: a later save tells from it whether
    // another program changed the file meanwhile.
    FileStamp stamp;
};

// refresh: the user answered Yes to "MAME Update": the database is rebuilt from MAME and the
// favourites and stored command lines of every machine that still exists are carried over.
// Exit follows "Database Error!" / "Please Restart ORVEL!", a malformed listing, or a failed or
// cancelled listing run without an old database to keep (a cancelled first build says so in
// "Database Not Built"). A failed or cancelled rebuild keeps the old database in memory and its
// file unchanged. A MAME that lists no machines at all is named
// ("No Machines") and the user asked whether to choose another: Yes gives ChooseMame.
// The text of "Database Not Built".
std::string cancelled_first_build_text();

DatabaseStartResult start_machine_database(const Settings& settings, const MamePaths& paths,
                                           MachineList& machines, ViewList& view,
                                           bool& database_changed, Host& host,
                                           bool refresh = false);

} // namespace orvel
