// Play record files of any shape: every record read must be one the writer would write, and
// writing what was read must read back the same.
#include "database/played.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const orvel::PlayedMap played = orvel::parse_played(bytes);
    for (const auto& [name, record] : played)
        if (name.empty() || record.times <= 0 || record.last_start < 0 || record.seconds < 0)
            std::abort();
    const orvel::PlayedMap again = orvel::parse_played(orvel::played_text(played));
    if (again.size() != played.size()) std::abort();
    for (const auto& [name, record] : played) {
        const auto found = again.find(name);
        if (found == again.end() || found->second.times != record.times ||
            found->second.last_start != record.last_start ||
            found->second.seconds != record.seconds)
            std::abort();
    }
    return 0;
}
