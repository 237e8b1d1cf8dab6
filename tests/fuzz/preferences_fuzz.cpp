// The preferences file of any shape: whatever is read must be written so that reading the
// written file again gives the same file.
#include "settings/preferences.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    orvel::Settings settings;
    orvel::set_default_settings(settings, "/fuzz/");
    orvel::parse_preferences(settings, std::string_view(reinterpret_cast<const char*>(data), size));
    const std::string written = orvel::format_preferences(settings);
    orvel::Settings again;
    orvel::set_default_settings(again, "/fuzz/");
    orvel::parse_preferences(again, written);
    if (orvel::format_preferences(again) != written) std::abort();
    return 0;
}
