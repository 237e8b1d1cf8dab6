#pragma once
// The database file "ORVEL.qld": one section per machine record with one "key = value" line
// per field, UTF-8 without byte order mark, CR LF line ends. Saving goes through a temporary
// file renamed over the old one, so a failed or interrupted save never loses the database.

#include "database/machine.h"
#include "host/host.h"
#include "platform/failure.h"
#include "settings/settings.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace orvel {

// Writes the whole machine list to the database file (creating the data folder when missing),
// first copying the old file to "ORVEL.bak" when ORVEL_DB_Backup is 1. Progress texts:
// "Backing Up Database", "Saving Database...". On success database_changed is cleared; on
// failure (the data folder, the backup or the file could not be written) the old file is kept,
// database_changed stays as it was and the failure says why.
Status save_database(const MachineList& machines, const Settings& settings, bool& database_changed,
                     Host& host);

// Removes the temporary files that killed saves of the database file, its backup and the
// preferences file left in the data folder. The caller holds the data folder's lock.
void remove_stale_data_files(const Settings& settings);

// The largest database file that is read: some 40 times the size of the one a current MAME gives.
inline constexpr std::int64_t max_database_bytes = std::int64_t(1) << 30;

// Replaces the machine list with the records of the database file and fills the view list
// with 0..N-1. When the file cannot be opened or read, shows "Oops" / "Error", leaves both
// lists empty and fails (Missing when there is no file); a file over max_database_bytes is
// refused the same way, with a message that says so. A truncated or damaged file yields every
// complete record it holds.
Status load_database(const Settings& settings, MachineList& machines, ViewList& view, Host& host);

// The format itself, for callers that work on bytes.
// Appends the five heading lines ("; Orvel V0.050 Alpha", ..., "; Entries: N").
void append_database_heading(std::string& out, const Settings& settings, std::size_t entries);
// Appends one record section: an empty line, "[name]", the 19 key lines, the nested lists and
// a closing empty line.
void append_record_section(std::string& out, const Machine& machine);
// Appends the records held in the bytes of a database file to the machine list (LF or CR LF
// lines; unknown keys ignored). keep_alive, when given, is called now and then.
void parse_database(std::string_view bytes, MachineList& machines, Host* keep_alive = nullptr);
// The section of one machine as the file holds it, from "[name]" through the line end of its
// last key line; empty when the file has no such machine.
std::string_view find_record_section(std::string_view bytes, std::string_view name);

} // namespace orvel
