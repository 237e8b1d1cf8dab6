#pragma once
// What the user has played: per machine, how many runs Orvel started, when the last one started
// and how long MAME ran in all. Kept in "ORVEL.played" in the data folder, one
// "NAME<TAB>TIMES<TAB>LAST START<TAB>SECONDS" line per played machine (the start in seconds
// since 1970, UTC), keyed by the machine's name so that a rebuilt database keeps it.

#include "database/machine.h"
#include "platform/failure.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace orvel {

std::string played_path(const std::string& data_folder);

using PlayedMap = std::map<std::string, PlayRecord, std::less<>>;

// The file's bytes, and back. Lines that are not a record (a damaged or foreign line, a name
// that is not a plain file name, negative or absurd numbers) are passed over.
std::string played_text(const PlayedMap& played);
PlayedMap parse_played(std::string_view text);

// The file as it is now: an empty map when it is missing; fails, naming the file and the
// reason, when it cannot be read or is far too large to be one.
Result<PlayedMap> read_played_file(const std::string& data_folder);
// The same, with an empty map for a file that cannot be read.
PlayedMap read_played(const std::string& data_folder);

// Adds one run of a machine (started at start_time, MAME running for seconds) to the file, under
// the data folder's lock, through a replacing write. Returns the machine's record as saved.
Result<PlayRecord> record_play(const std::string& data_folder, const std::string& name,
                               std::int64_t start_time, std::int64_t seconds);

// Sets every record's play record from the file (records it does not name have never been
// played); returns how many it named.
std::size_t load_played(const std::string& data_folder, MachineList& machines);

// The texts shown for a play record: "Never" or the local date and time of the last start
// ("2026-12-08 21:40"), and the play time as hours, minutes and seconds ("1:02:03").
std::string last_played_text(const PlayRecord& record);
std::string play_time_text(const PlayRecord& record);

} // namespace orvel
