// history.xml of any shape, malformed or truncated: the index pass and the per-entry parse.
#include "info/dat_files.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    for (const char* key : {"a", "pacman", "x"})
        orvel::history_xml_entries_in(bytes, key);
    return 0;
}
