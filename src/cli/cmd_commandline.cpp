// orvel-cli commandline and ini-names: a machine's stored command lines, changed with the rules
// of the advanced run window and saved, and the names of the ini files MAME reads for it.

#include "cli/common.h"
#include "database/database_file.h"
#include "launch/commandlines.h"
#include "launch/ini_files.h"

#include <charconv>
#include <iostream>
#include <optional>

namespace orvel::cli {

namespace {

constexpr const char* commandline_usage =
    "usage: commandline NAME [add LABEL [--after N] | remove N | set N STRING | "
    "bios N POSITION|-1]";

std::optional<std::int64_t> number(const std::string& text) {
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

void print_commandlines(const Machine& machine) {
    for (std::size_t i = 0; i < machine.commandlines.size(); ++i) {
        const CommandLine& line = machine.commandlines[i];
        std::cout << i << '\t' << line.commandline_name << '\t' << line.commandline_bios << '\t'
                  << line.commandline_string << '\n';
    }
}

// The change one verb asks for; an empty text on success, else the message.
std::string change(Machine& machine, const std::vector<std::string>& args) {
    const std::string& verb = args[1];
    if (verb == "add") {
        std::int64_t after = 0; // the window opens on the first stored command line
        if (args.size() == 5 && args[3] == "--after") {
            const auto n = number(args[4]);
            if (!n) return std::string("--after needs a position, not '") + args[4] + "'";
            after = *n;
        } else if (args.size() != 3) {
            return commandline_usage;
        }
        if (!add_commandline(machine, after, args[2])) return "the label must not be empty";
        return {};
    }
    if (args.size() < 3) return commandline_usage;
    const auto position = number(args[2]);
    if (!position || !commandline_at(machine, *position))
        return "no stored command line at position " + args[2];
    if (verb == "remove" && args.size() == 3) {
        // The position was checked above: the one refusal left is the last line's.
        return std::string(remove_commandline(machine, *position).message());
    }
    if (verb == "set" && args.size() >= 4) {
        std::string options = args[3];
        for (std::size_t i = 4; i < args.size(); ++i)
            options += ' ' + args[i];
        set_commandline_string(machine, *position, options);
        return {};
    }
    if (verb == "bios" && args.size() == 4) {
        const auto bios = number(args[3]);
        if (!bios || !set_commandline_bios(machine, *position, *bios))
            return machine.name + " has no BIOS set at position " + args[3] + " (it has " +
                   std::to_string(machine.bios_sets.size()) + ")";
        return {};
    }
    return commandline_usage;
}

} // namespace

int cmd_commandline(const Options& options, const std::vector<std::string>& args) {
    if (args.empty()) return fail(commandline_usage, usage_error);
    AppState state;
    TerminalHost host(options.answer);
    std::string error;
    if (!open_named_machine(options, state, host, "commandline", args[0], error))
        return fail(error);
    Machine& machine =
        state.machines[static_cast<std::size_t>(find_machine(state.machines, args[0]))];
    if (args.size() == 1) {
        print_commandlines(machine);
        return ok;
    }
    const std::string verb = args[1];
    if (verb != "add" && verb != "remove" && verb != "set" && verb != "bios")
        return fail(commandline_usage, usage_error);
    error = change(machine, args);
    if (error == commandline_usage) return fail(error, usage_error);
    if (!error.empty()) return fail(error);
    state.database_changed = true;
    if (!save_changed_database(state, host, error)) return fail(error);
    print_commandlines(machine);
    return ok;
}

int cmd_ini_names(const Options& options, const std::vector<std::string>& args) {
    if (args.size() != 1) return fail("usage: ini-names NAME", usage_error);
    AppState state;
    TerminalHost host(options.answer);
    std::string error;
    const Machine* machine = open_named_machine(options, state, host, "ini-names", args[0], error);
    if (!machine) return fail(error);
    for (const std::string& name : ini_file_names(*machine, state.machines))
        std::cout << name << '\n';
    return ok;
}

} // namespace orvel::cli
