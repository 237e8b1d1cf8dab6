#include "launch/commandlines.h"

#include "platform/mame_folders.h"

#include <algorithm>

namespace orvel {

namespace {

bool in_range(std::int64_t position, std::size_t size) {
    return position >= 0 && position < static_cast<std::int64_t>(size);
}

} // namespace

CommandLine* commandline_at(Machine& machine, std::int64_t position) {
    if (!in_range(position, machine.commandlines.size())) return nullptr;
    return &machine.commandlines[static_cast<std::size_t>(position)];
}

const CommandLine* commandline_at(const Machine& machine, std::int64_t position) {
    if (!in_range(position, machine.commandlines.size())) return nullptr;
    return &machine.commandlines[static_cast<std::size_t>(position)];
}

std::optional<std::int64_t> add_commandline(Machine& machine, std::int64_t after,
                                            std::string_view name) {
    if (name.empty()) return std::nullopt;
    const auto size = static_cast<std::int64_t>(machine.commandlines.size());
    const std::int64_t position = after < 0 ? 0 : std::min(after + 1, size);
    CommandLine line;
    line.commandline_name = std::string(name);
    machine.commandlines.insert(machine.commandlines.begin() + position, std::move(line));
    return position;
}

RemoveResult remove_commandline(Machine& machine, std::int64_t position) {
    RemoveResult result;
    if (!in_range(position, machine.commandlines.size())) return result;
    if (machine.commandlines.size() == 1) {
        result.outcome = RemoveOutcome::LastOne;
        return result;
    }
    machine.commandlines.erase(machine.commandlines.begin() + position);
    result.outcome = RemoveOutcome::Removed;
    result.selected = position > 0 ? position - 1 : 0;
    return result;
}

bool set_commandline_string(Machine& machine, std::int64_t position, std::string_view options) {
    CommandLine* line = commandline_at(machine, position);
    if (!line) return false;
    line->commandline_string = std::string(options);
    return true;
}

bool set_commandline_bios(Machine& machine, std::int64_t position, std::int64_t bios) {
    CommandLine* line = commandline_at(machine, position);
    if (!line || (bios != -1 && !in_range(bios, machine.bios_sets.size()))) return false;
    line->commandline_bios = bios;
    return true;
}

std::string bios_argument_text(const Machine& machine, std::int64_t position) {
    const CommandLine* line = commandline_at(machine, position);
    if (!line || !in_range(line->commandline_bios, machine.bios_sets.size())) return {};
    const std::string& name =
        machine.bios_sets[static_cast<std::size_t>(line->commandline_bios)].bios_name;
    if (name.empty()) return {};
    return "-bios " + name + " ";
}

std::string command_preview(const Settings& settings, const Machine& machine,
                            std::int64_t position) {
    std::string text = mame_executable_path(settings.MAME_Exe, settings.MAME_Path);
    text += ' ';
    text += machine.name;
    text += ' ';
    text += bios_argument_text(machine, position);
    if (const CommandLine* line = commandline_at(machine, position))
        text += line->commandline_string;
    return text;
}

} // namespace orvel
