#pragma once
// Saving the machine database when another program (orvel-cli, a second window) may have saved
// the file since this one read it: such a change is never overwritten without asking.

#include "app/app_state.h"
#include "host/host.h"
#include "platform/failure.h"

#include <functional>

namespace orvel {

enum class SaveOutcome {
    Saved,     // the file holds the list now
    Reloaded,  // the user took the other program's file: the list is the file's now
    Cancelled, // nothing saved, nothing reloaded: the changes stay in memory
    Failed,    // the save or the reload failed; status says why
};

struct DatabaseSave {
    SaveOutcome outcome = SaveOutcome::Saved;
    Status status;
};

// Replaces the machine list: calls the function it is given, which does it (quickly: the new
// list is read before). The desktop wraps it in its list model's reset, on the window thread.
using ListReplacement = std::function<void(const std::function<void()>& replace)>;

// Saves the machine database under the data folder's lock. When the file is not the one this
// program last loaded or saved (state.database_stamp), asks "Database Changed" with Reload,
// Overwrite and Cancel (the lock is let go while the question is open): Reload reads the file
// into the machine and view lists (through around_reload when given) and clears the
// database-changed flag; Overwrite saves all the same; Cancel leaves everything as it is. On
// success the stamp is that of the file saved or read.
DatabaseSave save_machine_database(AppState& state, Host& host,
                                   const ListReplacement& around_reload = {});

} // namespace orvel
