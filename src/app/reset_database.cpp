#include "app/reset_database.h"

#include "platform/files.h"

namespace orvel {

std::string_view restart_program_text() {
#ifdef _WIN32
    return "Please run ORVEL.exe to create new database.";
#else
    // The program's file is "orvel" here; naming a Windows file would send the user looking.
    return "Please run orvel to create new database.";
#endif
}

bool reset_database(Host& host, const Settings& settings, const std::function<void()>& discard) {
    if (host.message("Reset Database", "Are You Sure?", Buttons::YesNo, Icon::Warning) !=
        Answer::Yes)
        return false;
    if (discard) discard();
    // Files that cannot be deleted stay; the program ends all the same.
    delete_file(database_path(settings));
    if (host.message("Reset Database", "Clear Preferences?", Buttons::YesNo, Icon::Warning) ==
        Answer::Yes)
        delete_file(preferences_path(settings));
    host.message("Reset Database", restart_program_text(), Buttons::Ok, Icon::Information);
    return true;
}

bool reset_database(Host& host, const Settings& settings, MachineList& machines, ViewList& view) {
    return reset_database(host, settings, [&] {
        machines.clear();
        view.clear();
    });
}

} // namespace orvel
