// orvel-cli build [--rebuild]: start-up's machine database step for the data folder. Builds the
// database from MAME's listing when the database file is missing or empty, otherwise loads it;
// --rebuild refreshes it from MAME keeping favourites and stored command lines. Prints
// "Machines: N".

#include "cli/common.h"

#include <iostream>

namespace orvel::cli {

int cmd_build(const Options& options, const std::vector<std::string>& args) {
    bool rebuild = false;
    for (const std::string& arg : args) {
        if (arg == "--rebuild")
            rebuild = true;
        else
            return fail("build: unexpected argument '" + arg + "'", usage_error);
    }
    AppState state;
    TerminalHost host(options.answer);
    std::string error;
    if (!start_core(options, state, host, error)) return fail(error);
    bool save_failed = false;
    if (!open_machine_database(state, host, error, rebuild, &save_failed)) return fail(error);
    std::cout << "Machines: " << state.machines.size() << std::endl;
    return save_failed ? failure : ok;
}

} // namespace orvel::cli
