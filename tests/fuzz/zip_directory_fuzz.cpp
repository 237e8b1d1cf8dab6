// Zip central directories of any shape: the reader stays within the bytes it was given, and
// every entry it lists was read from them. The same bytes are also read as a CHD header.
#include "audit/archive_entries.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const orvel::ReadAt read = [&](std::uint64_t offset, std::size_t length, std::string& out) {
        if (offset > bytes.size() || bytes.size() - offset < length) return false;
        out.assign(bytes, static_cast<std::size_t>(offset), length);
        return true;
    };
    const auto entries = orvel::read_zip_directory(bytes.size(), read);
    if (entries)
        for (const orvel::ArchiveEntry& e : *entries)
            if (e.name.size() > bytes.size() || e.name.empty()) std::abort();
    (void)orvel::chd_header_sha1(bytes);
    return 0;
}
