#include "launch/arguments.h"

#include "platform/files.h"
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

Result<std::string> software_argument(std::string_view list_name, std::string_view item_name) {
    for (const std::string_view name : {list_name, item_name})
        if (!is_plain_name(name))
            return failure(
                "The software name \"" + std::string(name) +
                    "\" is not a plain MAME short name (letters, digits, \"_\", \"-\", \".\" and "
                    "\"+\", not starting with \"-\" or \".\"), so it is not passed to MAME.",
                FailureKind::Refused);
    return std::string(list_name) + ":" + std::string(item_name);
}

MameArguments build_mame_run_arguments(const Machine& machine, std::int64_t selected_commandline,
                                       std::string_view media_switch, std::string_view media_file,
                                       std::string_view software) {
    const CommandLine* line = selected(machine, selected_commandline);
    MameArguments out;
    // Each piece goes into the string exactly and into the list as the splitter reads it, so a
    // (malformed) name with blanks reaches MAME as the string shows it.
    const auto add = [&out](std::string_view piece) {
        out.text += piece;
        for (std::string& a : split_arguments(piece))
            out.list.push_back(std::move(a));
    };
    add(" ");
    add(machine.name);
    if (!software.empty()) {
        // One argument, whatever it holds; software_argument makes sure it holds no blank.
        out.text += ' ';
        out.text += software;
        out.list.emplace_back(software);
    }
    const std::string_view bios = bios_name(machine, line);
    if (!bios.empty()) add(" -bios " + std::string(bios) + " ");
    if (!media_switch.empty()) {
        add(" -" + std::string(media_switch));
        // The file is one argument exactly as given; only the string quotes it.
        out.text += " \"";
        out.text += media_file;
        out.text += '"';
        out.list.emplace_back(media_file);
    }
    add(" ");
    if (line) add(line->commandline_string);
    return out;
}

std::string build_mame_arguments(const Machine& machine, std::int64_t selected_commandline,
                                 std::string_view media_switch, std::string_view media_file,
                                 std::string_view software) {
    return build_mame_run_arguments(machine, selected_commandline, media_switch, media_file,
                                    software)
        .text;
}

std::vector<std::string> build_mame_argument_list(const Machine& machine,
                                                  std::int64_t selected_commandline,
                                                  std::string_view media_switch,
                                                  std::string_view media_file,
                                                  std::string_view software) {
    return build_mame_run_arguments(machine, selected_commandline, media_switch, media_file,
                                    software)
        .list;
}

} // namespace orvel
