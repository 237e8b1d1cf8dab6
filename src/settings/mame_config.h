#pragma once
// Discovery of the folders MAME is configured with: its "mame.ini" and "ui.ini" in the MAME
// folder, written by MAME itself with "-cc" when missing.

#include "platform/failure.h"
#include "settings/mame_paths.h"
#include "settings/settings.h"

#include <string>
#include <string_view>

namespace orvel {

// Reads one of MAME's ini files (a path, relative to the current directory or absolute) into
// the MAME paths. Each line holds a key padded with spaces to 26 columns, then the value; lines
// starting with "#" are comments; keys match exactly. A file that cannot be read changes
// nothing.
void read_mame_config(MamePaths& paths, const std::string& file);
// The same from bytes in memory.
void parse_mame_config(MamePaths& paths, std::string_view bytes);

// How long a "-cc" run may take before it is given up (a hanging MAME must not hang start-up).
inline constexpr int default_cc_timeout_ms = 60000;

// Runs MAME in MAME_Path with "-cc" when "mame.ini" there is missing or empty, then reads
// "mame.ini" and "ui.ini" (ui.ini's values win). Fails, saying why, when MAME's configuration
// could not be written (a MAME that did not finish in time); what could be read is read anyway.
Status discover_mame_config(const Settings& settings, MamePaths& paths,
                            int cc_timeout_ms = default_cc_timeout_ms);

} // namespace orvel
