#pragma once
// The preferences file "ORVEL.prefs": groups of "key = value" lines, UTF-8 with a byte order
// mark and CR LF line ends. Reading is forgiving (any case, any spacing, ISO 8859-1 without a
// mark); writing always produces the same exact layout.

#include "platform/failure.h"
#include "settings/settings.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvel {

// Reads preferences_path(settings) into the record. A key or group missing from the file keeps
// the value the record already holds. Fails as Missing, changing nothing, when there is no file,
// and as Error, naming the file and the system's reason, when it is there but cannot be read.
// A file far larger than any preferences file (max_preferences_bytes), or one without end,
// fails the same way, saying it is too large.
inline constexpr std::uint64_t max_preferences_bytes = 16 << 20;
Status load_preferences(Settings& settings);
// The same from bytes already in memory (the whole file).
void parse_preferences(Settings& settings, std::string_view bytes);

// A preferences file chosen by the user, applied over the record: every key it holds replaces
// the record's value, except the data folder (the program's own preferences file stays the one
// saved) and text keys the file leaves empty (they keep what is set).
void apply_loaded_preferences(Settings& settings, std::string_view bytes);

// Writes the whole record to path through a temporary file and a rename. Fails (any old file
// untouched), saying why, when it cannot be written, and as Refused when a value could not be
// read back as it is (see is_storable_preference_value).
Status save_preferences(const Settings& settings, const std::string& path);
// The exact bytes save_preferences writes. A value is one line: control characters are left out
// of it, so that no value can end its line and start keys or groups of its own.
std::string format_preferences(const Settings& settings);

// True when a value can be kept in the file as it is: it holds no line break, tab or other
// control character.
bool is_storable_preference_value(std::string_view value);

// Sets one saved key, named as in the file (any case), from a value read by the file's reading
// rules. False, and nothing changed, for a name that is no saved key.
bool set_preference(Settings& settings, std::string_view key, std::string_view value);

// Every saved key with its value as the file writes it, in file order.
struct PreferenceEntry {
    std::string group;
    std::string key;
    std::string value;
};
std::vector<PreferenceEntry> preference_entries(const Settings& settings);

} // namespace orvel
