// 7z archives (and whatever else libarchive recognises) of any shape, listed with CRCs computed
// for every entry: the listing ends cleanly, with entries or a failure.
#include "audit/archive_entries.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto entries = orvel::read_7z_entries_from_memory(
        bytes, [](std::uint64_t length) { return length < (std::uint64_t(1) << 24); });
    if (entries)
        for (const orvel::ArchiveEntry& e : *entries)
            if (e.has_crc && e.size >= (std::uint64_t(1) << 24)) std::abort();
    return 0;
}
