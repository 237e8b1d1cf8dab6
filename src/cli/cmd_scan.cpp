// orvel-cli scan: loads the database, runs the availability scan over MAME's ROM folders, saves
// and prints "Available: N of M".

#include "app/session.h"
#include "cli/common.h"
#include "database/availability.h"
#include "database/database_file.h"
#include "platform/files.h"
#include "settings/settings.h"

#include <iostream>

namespace orvel::cli {

int cmd_scan(const Options& options, const std::vector<std::string>& args) {
    if (!args.empty()) return fail("scan: unexpected argument '" + args.front() + "'", usage_error);
    Session session;
    AppState& state = session.whole_state();
    TerminalHost host(options.answer);
    std::string error;
    if (!start_core(options, state, host, error)) return fail(error);
    if (file_size(database_path(state.settings)) <= 0)
        return fail("no database in " + state.settings.ORVEL_Data + " (run 'orvel-cli build')");
    state.database_stamp = file_stamp(database_path(state.settings));
    if (!load_database(state.settings, state.machines, state.view, host).ok())
        return fail("cannot read " + database_path(state.settings));
    (void)session.check_availability(host, true);
    if (!save_changed_database(state, host, error)) return fail(error);
    size_t available = 0;
    for (const Machine& m : state.machines)
        available += m.isavailable;
    std::cout << "Available: " << available << " of " << state.machines.size() << std::endl;
    return ok;
}

} // namespace orvel::cli
