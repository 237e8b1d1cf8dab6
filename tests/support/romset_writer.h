#pragma once
// Writes romsets for the audit's tests and benchmark: zip archives (a small writer of our own,
// deflating), 7z archives (through libarchive), loose files and CHD headers. A ROM's data is
// zeros of its size whose last four bytes are chosen so that the CRC32 comes out as the
// listing says, so every archive is a real one that any reader (and the deep check) accepts.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace orvel::test {

struct RomFile {
    std::string name;
    std::uint64_t size = 0;
    std::uint32_t crc = 0;
};

// size bytes whose CRC32 is crc (sizes under four bytes are zeros, whatever their CRC).
std::string forged_data(std::uint64_t size, std::uint32_t crc);

// False when the file could not be written.
bool write_zip(const std::string& path, const std::vector<RomFile>& files);
// A zip whose directory lists the files with their sizes and CRCs but whose data is left out:
// enough for a directory audit (Orvel's or MAME's -verifyroms) of a large generated collection.
bool write_zip_directory_only(const std::string& path, const std::vector<RomFile>& files);
bool write_7z(const std::string& path, const std::vector<RomFile>& files);
bool write_loose(const std::string& folder, const std::vector<RomFile>& files);
bool write_chd(const std::string& path, const std::array<std::uint8_t, 20>& sha1);

} // namespace orvel::test
