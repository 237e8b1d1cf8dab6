#pragma once
// The argument string MAME is started with for a machine: its short name, an optional software
// item, the BIOS of the chosen stored command line, an optional medium (a media switch and a
// file in double quotes) and the stored options, each part with its exact blanks.

#include "database/machine.h"
#include "platform/failure.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvel {

// One run's arguments in both forms, built together piece by piece: the string as stored and
// shown, and the list MAME is started with.
struct MameArguments {
    std::string text;
    std::vector<std::string> list;
};
MameArguments build_mame_run_arguments(const Machine& machine, std::int64_t selected_commandline,
                                       std::string_view media_switch, std::string_view media_file,
                                       std::string_view software = {});

// The argument that hands MAME a software item: "LIST:ITEM", given after the machine's name.
// MAME finds the item in that list and puts each of its parts in the media slot made for it,
// whatever the parts are called ("cart", "flop2", "001"), so nothing of the list becomes an
// option. Refused, saying why, when either name is not a plain short name (is_plain_name).
Result<std::string> software_argument(std::string_view list_name, std::string_view item_name);

// " " + name + software part + BIOS part + media part + " " + stored options, where the software
// part is " " + software when that is not empty (see software_argument), the BIOS part is
// " -bios " + BIOS name + " " when the stored command line at selected_commandline chooses a
// BIOS set with a non-empty name, and the media part is " -" + switch + " \"" + file + "\"" when
// the switch is not empty. Nothing is trimmed. A selected_commandline outside the machine's
// stored command lines counts as an empty one without a BIOS.
std::string build_mame_arguments(const Machine& machine, std::int64_t selected_commandline,
                                 std::string_view media_switch, std::string_view media_file,
                                 std::string_view software = {});

// The same run as a list of program arguments, as split_arguments would read the string above,
// except that the media file is always one argument exactly as given: a file name holding a
// double quote would otherwise be torn apart by the quoting of the string.
std::vector<std::string> build_mame_argument_list(const Machine& machine,
                                                  std::int64_t selected_commandline,
                                                  std::string_view media_switch,
                                                  std::string_view media_file,
                                                  std::string_view software = {});

} // namespace orvel
