#pragma once
// Discovery of the folders MAME is configured with: the settings MAME reports in effect
// ("-showconfig") and its "ui.ini", or, for a MAME without any configuration, the "mame.ini" and
// "ui.ini" it writes with "-cc" in the MAME folder.

#include "platform/failure.h"
#include "settings/mame_paths.h"
#include "settings/settings.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace orvel {

// Reads one of MAME's ini files (a path, relative to the current directory or absolute) into
// the MAME paths. Each line holds a key padded with spaces to 26 columns, then the value; lines
// starting with "#" are comments; keys match exactly. A missing file changes nothing; one that
// cannot be read, or is larger than any ini file (max_ini_file_bytes), changes nothing and
// gives the failure naming it.
inline constexpr std::uint64_t max_ini_file_bytes = 4 << 20;
Status read_mame_config(MamePaths& paths, const std::string& file);
// The same from bytes in memory.
void parse_mame_config(MamePaths& paths, std::string_view bytes);

// How long a "-showconfig" or "-cc" run may take before it is given up (a hanging MAME must not
// hang start-up).
inline constexpr int default_cc_timeout_ms = 60000;

struct MameConfigDiscovery {
    // Fails, saying why, when MAME did not answer in time or one of its ini files could not be
    // read (too large, unreadable); what could be read is read anyway.
    Status status;
    // The folder in which MAME wrote its default configuration files ("-cc") because it had
    // none of its own; empty when nothing was written.
    std::string created_in;
};

// Learns the folders MAME is configured with, leaving MAME's own configuration alone. A mame.ini
// in MAME_Path (where MAME looks first) is read with its ui.ini without starting MAME. Otherwise,
// when MAME finds a mame.ini elsewhere on its ini path (a system one such as
// /etc/mame/mame.ini), the settings in effect come from "-showconfig" and the first ui.ini on
// that path, and nothing is written. Only when MAME has no mame.ini at all (or an empty one in
// MAME_Path) does it write its default files with "-cc" in MAME_Path, which are then read. A
// MAME that does not know "-showconfig" is treated the same way, by MAME_Path's files alone.
MameConfigDiscovery discover_mame_config(const Settings& settings, MamePaths& paths,
                                         int cc_timeout_ms = default_cc_timeout_ms);

// The message that tells the user MAME's default configuration was written in folder.
std::string mame_config_created_text(const std::string& folder);

} // namespace orvel
