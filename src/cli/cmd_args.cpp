// orvel-cli args: the argument string a run of a machine hands MAME, exactly, then one line feed.

#include "cli/common.h"
#include "cli/launch_options.h"
#include "launch/arguments.h"

#include <iostream>

namespace orvel::cli {

int cmd_args(const Options& options, const std::vector<std::string>& args) {
    RunOptions run;
    std::string error;
    if (!parse_run_options("args", args, false, run, error)) return fail(error, usage_error);
    AppState state;
    TerminalHost host(options.answer);
    if (!start_core(options, state, host, error)) return fail(error);
    const Machine* machine = load_machine(state, host, run, error);
    if (!machine) return fail(error);
    const std::string arguments =
        run.empty
            ? std::string()
            : build_mame_arguments(*machine, run.commandline, run.media_switch, run.media_file);
    std::cout << arguments << '\n';
    return ok;
}

} // namespace orvel::cli
