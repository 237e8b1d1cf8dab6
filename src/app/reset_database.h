#pragma once
// The "Reset Database" command: deletes the database file and, when asked, the preferences.

#include "database/machine.h"
#include "host/host.h"
#include "settings/settings.h"

#include <functional>

namespace orvel {

// Asks first; on No nothing changes and false is returned. On Yes discard is called (it drops
// the in-memory machine database; the desktop program also closes its main window there, before
// the next question), the database file is deleted, the preferences file deleted when the user
// agrees, and true is returned: the program must end at once, without saving anything.
bool reset_database(Host& host, const Settings& settings, const std::function<void()>& discard);

// The same, discarding by emptying the machine list and the view list.
bool reset_database(Host& host, const Settings& settings, MachineList& machines, ViewList& view);

// The text that tells the user to start the program again ("ORVEL.exe" on Windows).
std::string_view restart_program_text();

} // namespace orvel
