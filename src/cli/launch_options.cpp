#include "cli/launch_options.h"

#include "cli/common.h"
#include "launch/launch.h"

#include <charconv>
#include <iostream>

namespace orvel::cli {

namespace {
// MAME's media switches ("cart1", "flop2", "cdrom") are letters and digits; anything else would
// hand MAME more than a switch.
bool is_media_switch(std::string_view text) {
    if (text.empty()) return false;
    for (const char c : text)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    return true;
}
} // namespace

bool parse_run_options(const std::string& command, const std::vector<std::string>& args,
                       bool with_run_options, RunOptions& run, std::string& error) {
    const auto need = [&](std::size_t i, std::size_t count, const std::string& what) {
        if (i + count < args.size()) return true;
        error = command + ": " + args[i] + " needs " + what;
        return false;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--commandline") {
            if (!need(i, 1, "a number")) return false;
            const std::string& n = args[++i];
            const auto [end, ec] = std::from_chars(n.data(), n.data() + n.size(), run.commandline);
            if (ec != std::errc() || end != n.data() + n.size() || run.commandline < 0) {
                error = command + ": --commandline needs a number from 0, not '" + n + "'";
                return false;
            }
        } else if (a == "--media") {
            if (!need(i, 2, "a media switch and a file")) return false;
            run.media_switch = args[++i];
            run.media_file = args[++i];
            run.has_media = true;
            if (!is_media_switch(run.media_switch)) {
                error = command + ": the media switch is one word of letters and digits, given " +
                        "without its dash ('cart1'), not '" + run.media_switch + "'";
                return false;
            }
            if (const Status media = check_media_file(run.media_file); !media) {
                error = command + ": " + std::string(media.message());
                return false;
            }
        } else if (a == "--empty") {
            run.empty = true;
        } else if (with_run_options && a == "--software") {
            if (!need(i, 2, "a software list and an item")) return false;
            run.software_list = args[++i];
            run.software_item = args[++i];
        } else if (with_run_options && a == "--capture") {
            run.capture = true;
        } else if (with_run_options && a == "--pause") {
            run.pause = true;
        } else if (!a.empty() && a.front() == '-') {
            error = command + ": unknown option '" + a + "'";
            return false;
        } else if (run.machine.empty()) {
            run.machine = a;
        } else {
            error = command + ": unexpected argument '" + a + "'";
            return false;
        }
    }
    if (run.machine.empty()) {
        error = command + ": which machine? (give its short name)";
        return false;
    }
    return true;
}

const Machine* load_machine(AppState& state, Host& host, const RunOptions& run,
                            std::string& error) {
    if (!open_machine_database(state, host, error)) return nullptr;
    state.current_machine = find_machine(state.machines, run.machine);
    if (state.current_machine < 0) {
        error = "no machine named '" + run.machine + "'";
        return nullptr;
    }
    const Machine& machine = state.machines[static_cast<std::size_t>(state.current_machine)];
    if (run.commandline >= static_cast<std::int64_t>(machine.commandlines.size())) {
        error = run.machine + " has " + std::to_string(machine.commandlines.size()) +
                " stored command line(s); --commandline counts from 0";
        return nullptr;
    }
    state.selected_commandline = run.commandline;
    return &machine;
}

} // namespace orvel::cli
