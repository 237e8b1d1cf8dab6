#pragma once
// Runs orvel-cli as a separate program and collects what it prints.

#include "platform/process.h"
#include "platform/text.h"

#include <string>
#include <vector>

#ifndef _WIN32
#include <cerrno>

#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

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

#ifndef _WIN32
// Runs orvel-cli with a terminal (a pseudo-terminal) as its standard input, output and error,
// and returns everything written to it (the terminal turns line feeds into CR LF).
inline std::string run_cli_on_terminal(const std::vector<std::string>& args,
                                       const std::string& working_folder) {
    std::vector<std::string> words{ORVEL_CLI};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    int terminal = -1;
    const pid_t pid = ::forkpty(&terminal, nullptr, nullptr, nullptr);
    if (pid < 0) return "<forkpty failed>";
    if (pid == 0) {
        if (::chdir(working_folder.c_str()) == 0) ::execv(ORVEL_CLI, argv.data());
        ::_exit(127);
    }
    std::string out;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(terminal, buffer, sizeof buffer);
        if (n > 0)
            out.append(buffer, static_cast<std::size_t>(n));
        else if (n < 0 && errno == EINTR)
            continue;
        else
            break; // EIO once the program has ended
    }
    ::close(terminal);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return out;
}
#endif

} // namespace orvel::test
