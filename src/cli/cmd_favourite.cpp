// orvel-cli favourite add|remove NAME: marks or unmarks a machine as a favourite and saves
// the database.

#include "cli/list_common.h"
#include "database/database_file.h"

#include <iostream>

namespace orvel::cli {

int cmd_favourite(const Options& options, const std::vector<std::string>& args) {
    if (args.size() != 2 || (args[0] != "add" && args[0] != "remove"))
        return fail("usage: favourite add|remove NAME", usage_error);
    AppState state;
    TerminalHost host(options.answer);
    std::string error;
    if (!load_machines_and_folders(options, state, host, error)) return fail(error);
    const std::int64_t position = find_machine(state.machines, args[1]);
    if (position < 0) return fail("no machine named '" + args[1] + "'");
    Machine& m = state.machines[static_cast<size_t>(position)];
    if (args[0] == "add" ? set_favourite(m) : clear_favourite(m)) state.database_changed = true;
    if (state.database_changed) {
        if (!save_changed_database(state, host, error)) return fail(error);
    }
    return ok;
}

} // namespace orvel::cli
