// orvel-cli favourite add|remove NAME: marks or unmarks a machine as a favourite and saves
// the database.

#include "app/session.h"
#include "cli/list_common.h"
#include "database/database_file.h"

#include <iostream>

namespace orvel::cli {

int cmd_favourite(const Options& options, const std::vector<std::string>& args) {
    if (args.size() != 2 || (args[0] != "add" && args[0] != "remove"))
        return fail("usage: favourite add|remove NAME", usage_error);
    Session session;
    AppState& state = session.whole_state();
    TerminalHost host(options.answer);
    std::string error;
    if (!load_machines_and_folders(options, state, host, error)) return fail(error);
    state.current_machine = find_machine(state.machines, args[1]);
    if (state.current_machine < 0) return fail("no machine named '" + args[1] + "'");
    session.change_favourite(args[0] == "add");
    if (state.database_changed) {
        if (!save_changed_database(state, host, error)) return fail(error);
    }
    return ok;
}

} // namespace orvel::cli
