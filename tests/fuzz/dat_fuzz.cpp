// DAT text of any shape: entries are looked up under a few names, and the found text wrapped.
#include "info/dat_files.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const orvel::TextMeasure measure = orvel::fixed_width_measure(7);
    for (const char* key : {"a", "pacman", "b,", ""}) {
        const std::string text = orvel::dat_entries_in(bytes, key);
        orvel::wrap_text(orvel::dat_text_width, text, measure);
    }
    orvel::wrap_text(40, bytes, measure);
    return 0;
}
