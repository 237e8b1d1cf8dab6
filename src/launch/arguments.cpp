#include "launch/arguments.h"

#include "platform/process.h"

namespace orvel {

namespace {

const CommandLine* selected(const Machine& machine, std::int64_t position) {
    if (position < 0 || position >= static_cast<std::int64_t>(machine.commandlines.size()))
        return nullptr;
    return &machine.commandlines[static_cast<std::size_t>(position)];
}

// The BIOS name the stored command line chooses, or empty.
std::string_view bios_name(const Machine& machine, const CommandLine* line) {
    if (!line || line->commandline_bios < 0 ||
        line->commandline_bios >= static_cast<std::int64_t>(machine.bios_sets.size()))
        return {};
    return machine.bios_sets[static_cast<std::size_t>(line->commandline_bios)].bios_name;
}

} // namespace

std::string build_mame_arguments(const Machine& machine, std::int64_t selected_commandline,
                                 std::string_view media_switch, std::string_view media_file) {
    const CommandLine* line = selected(machine, selected_commandline);
    std::string out = " ";
    out += machine.name;
    const std::string_view bios = bios_name(machine, line);
    if (!bios.empty()) {
        out += " -bios ";
        out += bios;
        out += ' ';
    }
    if (!media_switch.empty()) {
        out += " -";
        out += media_switch;
        out += " \"";
        out += media_file;
        out += '"';
    }
    out += ' ';
    if (line) out += line->commandline_string;
    return out;
}

std::vector<std::string> build_mame_argument_list(const Machine& machine,
                                                  std::int64_t selected_commandline,
                                                  std::string_view media_switch,
                                                  std::string_view media_file) {
    const CommandLine* line = selected(machine, selected_commandline);
    std::vector<std::string> args;
    // The name goes through the splitter like the stored options, so that a (malformed) name
    // with blanks reaches MAME as the string form would hand it over.
    for (std::string& a : split_arguments(machine.name))
        args.push_back(std::move(a));
    const std::string_view bios = bios_name(machine, line);
    if (!bios.empty()) {
        for (std::string& a : split_arguments(std::string(" -bios ") + std::string(bios)))
            args.push_back(std::move(a));
    }
    if (!media_switch.empty()) {
        for (std::string& a : split_arguments(std::string(" -") + std::string(media_switch)))
            args.push_back(std::move(a));
        args.emplace_back(media_file);
    }
    if (line) {
        for (std::string& a : split_arguments(line->commandline_string))
            args.push_back(std::move(a));
    }
    return args;
}

} // namespace orvel
