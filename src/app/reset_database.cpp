#include "app/reset_database.h"

#include "platform/files.h"

namespace orvel {

bool reset_database(Host& host, const Settings& settings, MachineList& machines, ViewList& view) {
    if (host.message("Reset Database", "Are You Sure?", Buttons::YesNo, Icon::Warning) !=
        Answer::Yes)
        return false;
    machines.clear();
    view.clear();
    // Files that cannot be deleted stay; the program ends all the same.
    delete_file(database_path(settings));
    if (host.message("Reset Database", "Clear Preferences?", Buttons::YesNo, Icon::Warning) ==
        Answer::Yes)
        delete_file(preferences_path(settings));
    host.message("Reset Database", "Please run ORVEL.exe to create new database.", Buttons::Ok,
                 Icon::Information);
    return true;
}

} // namespace orvel
