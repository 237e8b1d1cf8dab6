#pragma once
// Runs orvel-cli as a separate program and collects what it prints.

#include "platform/process.h"
#include "platform/text.h"

#include <string>
#include <vector>

namespace orvel::test {

struct CliRun {
    int status = -1;
    std::vector<std::string> out;
    std::vector<std::string> err;
    // The value of the first "KEY<TAB>..." line of standard output (everything after the tab).
    std::string value(const std::string& key) const {
        for (const std::string& l : out)
            if (l.rfind(key + "\t", 0) == 0) return l.substr(key.size() + 1);
        return "<none>";
    }
};

// arguments as written on a command line (double quotes group words).
inline CliRun run_cli(const std::string& arguments, const std::string& working_folder) {
    CliRun run;
    const RunResult r = run_captured(
        ORVEL_CLI, arguments, working_folder, [&](std::string_view l) { run.out.emplace_back(l); },
        [&](std::string_view l) { run.err.emplace_back(l); }, {}, 120000);
    run.status = r.started && !r.timed_out ? r.exit_code : -1;
    return run;
}

// The same with every argument passed as it is, for arguments no command line string can hold.
inline CliRun run_cli_args(const std::vector<std::string>& args,
                           const std::string& working_folder) {
    CliRun run;
    ChildProcess child;
    ChildProcess::Options options;
    options.working_folder = working_folder;
    options.capture_output = true;
    if (!child.start(ORVEL_CLI, args, options)) return run;
    while (child.poll_output(
        100, [&](std::string_view l) { run.out.emplace_back(l); },
        [&](std::string_view l) { run.err.emplace_back(l); })) {
    }
    run.status = child.wait(120000).value_or(-1);
    return run;
}

} // namespace orvel::test
