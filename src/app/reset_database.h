#pragma once
// The "Reset Database" command: deletes the database file and, when asked, the preferences.

#include "database/machine.h"
#include "host/host.h"
#include "settings/settings.h"

namespace orvel {

// Asks first; on No nothing changes and false is returned. On Yes the machine database is
// discarded, the database file deleted, the preferences file deleted when the user agrees, and
// true is returned: the program must end at once, without saving anything.
bool reset_database(Host& host, const Settings& settings, MachineList& machines, ViewList& view);

} // namespace orvel
