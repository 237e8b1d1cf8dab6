#pragma once
// The ROM data file "ORVEL.roms": what the listing says about each machine's ROMs and disks
// (name, size, CRC32, SHA-1, the name it is merged under, dump status, optional, BIOS), its
// device references and the set it takes ROMs from. The build writes it beside the database
// file; only the romset audit reads it, so start-up never pays for it.
//
// The file is binary and little-endian: a heading ("ORVELROM", format number, counts), one pool
// of text, then fixed-size rows of sets, ROMs and device references that point into the pool.
// The reader checks every count, offset and length against the bytes it was given.

#include "platform/failure.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace orvel {

// A piece of the pool.
struct TextRef {
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
};

namespace rom_flag {
inline constexpr std::uint8_t has_crc = 1;
inline constexpr std::uint8_t has_sha1 = 2;
inline constexpr std::uint8_t nodump = 4;
inline constexpr std::uint8_t baddump = 8;
inline constexpr std::uint8_t optional = 16;
inline constexpr std::uint8_t disk = 32; // a CHD disk: no size or CRC, the SHA-1 counts
} // namespace rom_flag

struct RomEntry {
    TextRef name;
    TextRef merge; // the name in the set it is merged from; empty when the set has its own
    TextRef bios;  // the BIOS option it belongs to; empty for every option
    std::uint64_t size = 0;
    std::uint32_t crc = 0;
    std::array<std::uint8_t, 20> sha1{};
    std::uint8_t flags = 0;

    bool is(std::uint8_t flag) const { return (flags & flag) != 0; }
};

struct RomSet {
    TextRef name;
    TextRef romof; // the set it takes shared ROMs from (its parent or its BIOS)
    TextRef cloneof;
    std::uint32_t first_rom = 0; // ROMs and disks: roms[first_rom, first_rom + rom_count)
    std::uint32_t rom_count = 0;
    std::uint32_t first_device = 0; // device_refs[first_device, first_device + device_count)
    std::uint32_t device_count = 0;
    std::uint8_t isbios = 0;
    std::uint8_t isdevice = 0;
};

class RomData {
  public:
    std::string_view text(TextRef ref) const {
        return std::string_view(pool_).substr(ref.offset, ref.length);
    }
    const std::vector<RomSet>& sets() const { return sets_; }
    const std::vector<RomEntry>& roms() const { return roms_; }
    const std::vector<TextRef>& device_refs() const { return device_refs_; }
    std::size_t pool_size() const { return pool_.size(); }

    // Position of the set with this name, or -1.
    std::int64_t find(std::string_view name) const;

    // Building, in listing order: a set, then its ROMs, disks and device references.
    void begin_set(std::string_view name);
    void set_romof(std::string_view value) { sets_.back().romof = add_text(value); }
    void set_cloneof(std::string_view value) { sets_.back().cloneof = add_text(value); }
    void set_flags(bool isbios, bool isdevice);
    RomEntry& add_rom(std::string_view name);
    void add_device_ref(std::string_view name);
    TextRef add_text(std::string_view value);
    // Drops device references to devices that have no ROMs or disks (most devices have none),
    // and makes the name index. Called once the listing has been read.
    void finish();

    void clear();

    // The file's bytes, and back. parse fails (Malformed) on bytes that are not such a file.
    std::string serialize() const;
    static Result<RomData> parse(std::string_view bytes);

  private:
    std::string pool_;
    std::vector<RomSet> sets_;
    std::vector<RomEntry> roms_;
    std::vector<TextRef> device_refs_;
    std::unordered_map<std::string, TextRef> interned_; // device names while building
    std::vector<std::uint32_t> by_name_;                // set positions in name order
    void make_index();
};

// "ORVEL.roms" in the data folder.
std::string rom_data_path(const std::string& data_folder);

// Writes the file (through a temporary file renamed over the old one).
Status save_rom_data(const RomData& data, const std::string& path);
// Reads the file; Missing when there is none (a database built before the file existed). A
// file over max_rom_data_bytes, far more than every ROM of every machine takes, is refused.
inline constexpr std::uint64_t max_rom_data_bytes = std::uint64_t(1) << 30;
Result<RomData> load_rom_data(const std::string& path);

// Hexadecimal text of a CRC and a SHA-1, and back (false on anything but the right digits).
std::string crc_text(std::uint32_t crc);
std::string sha1_text(const std::array<std::uint8_t, 20>& sha1);
bool parse_crc(std::string_view text, std::uint32_t& crc);
bool parse_sha1(std::string_view text, std::array<std::uint8_t, 20>& sha1);

} // namespace orvel
