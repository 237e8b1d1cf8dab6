// orvel-cli run: starts MAME for a machine as the program's run commands do, with the same
// questions (answered by --yes / --no, or asked on the terminal) and MAME's output on standard
// output. Ends with MAME's exit status. A captured run prints the paths of "output.txt" and
// "error.txt" instead of opening them in a viewer.

#include "app/session.h"
#include "cli/common.h"
#include "cli/launch_options.h"
#include "launch/launch.h"
#include "platform/text.h"
#include "softlist/software_list.h"

#include <iostream>

namespace orvel::cli {

namespace {

const SoftwareItem* find_item(const SoftwareItemList& list, const std::string& name) {
    for (const SoftwareItem& item : list.items)
        if (item.name == name) return &item;
    for (const SoftwareItem& item : list.items)
        if (iequals(item.name, name)) return &item;
    return nullptr;
}

} // namespace

int cmd_run(const Options& options, const std::vector<std::string>& args) {
    RunOptions run;
    std::string error;
    if (!parse_run_options("run", args, true, run, error)) return fail(error, usage_error);
    Session session;
    session.terminal = true;
    AppState& state = session.whole_state();
    TerminalHost host(options.answer);
    if (!start_core(options, state, host, error)) return fail(error);
    const Machine* machine = load_machine(state, host, run, error);
    if (!machine) return fail(error);
    session.set_pause_on_exit(run.pause);

    LaunchRequest request;
    request.capture = run.capture;
    request.media_switch = run.media_switch;
    request.media_file = run.media_file;
    if (!run.software_list.empty()) {
        // As from the software list window: --empty is its "Start Empty", --media its own
        // image, otherwise the item is run. A list that failed to load was reported through
        // the host; the item is looked for in what was read.
        (void)load_software_list(run.software_list, state.mame_paths.hashpath,
                                 state.mame_paths.rompath, state.settings.MAME_Path,
                                 state.software_items, host);
        const SoftwareItem* item = find_item(state.software_items, run.software_item);
        if (!item)
            return fail("run: no item '" + run.software_item + "' in the software list '" +
                        run.software_list + "'");
        request.software = {true, item};
        request.machine_only = run.empty;
    } else {
        request.empty_run = run.empty;
    }

    const FileOpener print_path = [](const std::string& path) {
        std::cout << path << '\n';
        return true;
    };
    const RunReport ran = session.run(host, request, print_path);
    const int status = ran.exit_status;
    switch (ran.outcome) {
    case LaunchOutcome::Ran:
        // MAME's own exit status is the command's: a crash or a failed run is no success.
        if (status == 0) return ok;
        return fail("run: MAME ended with exit status " + std::to_string(status),
                    status > 0 ? status : failure);
    case LaunchOutcome::Cancelled:
        return fail("run: cancelled");
    case LaunchOutcome::Refused:
        return failure; // the reason was printed
    case LaunchOutcome::NotStarted:
        break;
    }
    return fail("run: MAME could not be started (" + ran.command.program + ")");
}

} // namespace orvel::cli
