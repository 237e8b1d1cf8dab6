#pragma once
// A machine's stored command lines: adding, removing, editing them and choosing a BIOS set per
// command line, with the rules the advanced run window and orvel-cli share, and the command
// preview that the window's status line shows.

#include "database/machine.h"
#include "settings/settings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvel {

// The stored command line at a position, or null when there is none.
CommandLine* commandline_at(Machine& machine, std::int64_t position);
const CommandLine* commandline_at(const Machine& machine, std::int64_t position);

// Inserts a new stored command line (the name, no options, no BIOS) directly after the one at
// `after` (after the last one when `after` lies beyond the list, first when it is negative).
// Returns its position; nullopt for an empty name, which adds nothing.
std::optional<std::int64_t> add_commandline(Machine& machine, std::int64_t after,
                                            std::string_view name);

enum class RemoveOutcome { Removed, LastOne, NoSuchLine };
struct RemoveResult {
    RemoveOutcome outcome = RemoveOutcome::NoSuchLine;
    std::int64_t selected = 0; // the line shown afterwards: the one before (0 for the first)
};
// Removes the stored command line at a position. The last one is never removed.
RemoveResult remove_commandline(Machine& machine, std::int64_t position);
inline constexpr std::string_view last_commandline_text = "Cannot delete last command!";

// Sets the options of a stored command line; false when there is no such line.
bool set_commandline_string(Machine& machine, std::int64_t position, std::string_view options);

// Chooses a BIOS set (a position in bios_sets, or -1 for none) for a stored command line;
// false, changing nothing, when the line does not exist or the machine has no such BIOS set.
bool set_commandline_bios(Machine& machine, std::int64_t position, std::int64_t bios);

// "-bios " + BIOS name + " " when the stored command line chooses a BIOS set, else empty.
std::string bios_argument_text(const Machine& machine, std::int64_t position);

// The full command a run would start with: the MAME executable, the machine's name, the BIOS
// argument text and the stored options ("/usr/games/mame pacman -bios euro -nowindow").
std::string command_preview(const Settings& settings, const Machine& machine,
                            std::int64_t position);

// MAME's documentation of its command-line options, opened by the advanced run window's Help.
inline constexpr std::string_view commandline_help_address =
    "https://docs.mamedev.org/commandline/commandline-all.html";

} // namespace orvel
