#pragma once
// What the audit reads from a romset's archives and folders: every file's name, size and CRC,
// without decompressing anything it can avoid. Zip archives list all three in their central
// directory; 7z archives are listed through libarchive, which gives names and sizes, so their
// CRC is computed only for entries whose size is one the audit looks for; loose files give
// name and size, and their CRC is computed when a size matches (by the audit, on demand).

#include "platform/failure.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace orvel {

struct ArchiveEntry {
    std::string name; // path inside the archive or folder, "/" between folders
    std::uint64_t size = 0;
    std::uint32_t crc = 0;
    bool has_crc = false;
    // Where a zip entry's data lies (from its central directory; zero elsewhere): its local
    // header's offset, its compressed size, its method (0 stored, 8 deflated) and its flags
    // (bit 0: encrypted).
    std::uint64_t header_offset = 0;
    std::uint64_t compressed_size = 0;
    std::uint16_t method = 0;
    std::uint16_t flags = 0;
};

// Reads bytes of the archive: fills out with length bytes from offset; false when it cannot.
using ReadAt = std::function<bool(std::uint64_t offset, std::size_t length, std::string& out)>;

// The files of a zip archive of file_size bytes, from its central directory (zip64 included).
// Folders are left out. Fails as Malformed when the directory is not where its end record says
// or breaks its own bounds.
Result<std::vector<ArchiveEntry>> read_zip_directory(std::uint64_t file_size, const ReadAt& read);
Result<std::vector<ArchiveEntry>> read_zip_directory(const std::string& path);

// The files of a 7z archive (or any archive libarchive reads) given as bytes or as a path. CRCs
// are computed for the entries whose size want_crc accepts (null: none).
using WantSize = std::function<bool(std::uint64_t size)>;
Result<std::vector<ArchiveEntry>> read_7z_entries(const std::string& path,
                                                  const WantSize& want_crc);
Result<std::vector<ArchiveEntry>> read_7z_entries_from_memory(std::string_view bytes,
                                                              const WantSize& want_crc);

// Reads one archive front to back, handing the data of each entry that pick accepts to
// on_data (in pieces) and then to on_end. Used where contents must be compared (the deep check).
struct EntryReader {
    std::function<bool(std::string_view name)> pick;
    std::function<void(std::string_view piece)> on_data;
    std::function<void(std::string_view name, bool complete)> on_end;
};
Status read_archive_entries(const std::string& path, const EntryReader& reader);

// The SHA-1 a CHD file's header records for the whole disk (header versions 3 to 5); Malformed
// when the bytes are not such a header.
Result<std::array<std::uint8_t, 20>> chd_header_sha1(std::string_view header);
Result<std::array<std::uint8_t, 20>> read_chd_sha1(const std::string& path);

} // namespace orvel
