#include "database/rom_data.h"

#include "platform/files.h"

#include <algorithm>
#include <cerrno>
#include <numeric>

namespace orvel {

namespace {

constexpr std::string_view magic = "ORVELROM";
constexpr std::uint32_t format_number = 1;
constexpr std::size_t heading_size = 8 + 5 * 4;
constexpr std::size_t set_row = 3 * 8 + 4 * 4 + 2;
constexpr std::size_t rom_row = 3 * 8 + 8 + 4 + 20 + 1;
constexpr std::size_t device_row = 8;

void put32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void put64(std::string& out, std::uint64_t v) {
    for (int i = 0; i < 8; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void put_ref(std::string& out, TextRef ref) {
    put32(out, ref.offset);
    put32(out, ref.length);
}

// Reads rows from bytes whose length the caller has checked.
struct Reader {
    const unsigned char* p;
    std::uint32_t u32() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= std::uint32_t(p[i]) << (8 * i);
        p += 4;
        return v;
    }
    std::uint64_t u64() {
        std::uint64_t v = 0;
        for (int i = 0; i < 8; ++i)
            v |= std::uint64_t(p[i]) << (8 * i);
        p += 8;
        return v;
    }
    std::uint8_t u8() { return *p++; }
    TextRef ref() {
        TextRef r;
        r.offset = u32();
        r.length = u32();
        return r;
    }
};

bool fits(TextRef ref, std::size_t pool) {
    return std::uint64_t(ref.offset) + ref.length <= pool;
}

bool fits(std::uint32_t first, std::uint32_t count, std::size_t total) {
    return std::uint64_t(first) + count <= total;
}

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

std::int64_t RomData::find(std::string_view name) const {
    const auto it = std::lower_bound(
        by_name_.begin(), by_name_.end(), name,
        [&](std::uint32_t set, std::string_view wanted) { return text(sets_[set].name) < wanted; });
    if (it == by_name_.end() || text(sets_[*it].name) != name) return -1;
    return *it;
}

void RomData::begin_set(std::string_view name) {
    RomSet set;
    set.name = add_text(name);
    set.first_rom = static_cast<std::uint32_t>(roms_.size());
    set.first_device = static_cast<std::uint32_t>(device_refs_.size());
    sets_.push_back(set);
}

void RomData::set_flags(bool isbios, bool isdevice) {
    sets_.back().isbios = isbios ? 1 : 0;
    sets_.back().isdevice = isdevice ? 1 : 0;
}

RomEntry& RomData::add_rom(std::string_view name) {
    RomEntry& rom = roms_.emplace_back();
    rom.name = add_text(name);
    ++sets_.back().rom_count;
    return rom;
}

void RomData::add_device_ref(std::string_view name) {
    // A few thousand device names are referred to hundreds of thousands of times.
    auto it = interned_.find(std::string(name));
    if (it == interned_.end()) it = interned_.emplace(std::string(name), add_text(name)).first;
    device_refs_.push_back(it->second);
    ++sets_.back().device_count;
}

TextRef RomData::add_text(std::string_view value) {
    TextRef ref;
    ref.offset = static_cast<std::uint32_t>(pool_.size());
    ref.length = static_cast<std::uint32_t>(value.size());
    pool_.append(value);
    return ref;
}

void RomData::make_index() {
    by_name_.resize(sets_.size());
    std::iota(by_name_.begin(), by_name_.end(), 0u);
    std::sort(by_name_.begin(), by_name_.end(), [&](std::uint32_t a, std::uint32_t b) {
        return text(sets_[a].name) < text(sets_[b].name);
    });
}

void RomData::finish() {
    interned_.clear();
    make_index();
    std::vector<TextRef> kept;
    for (RomSet& set : sets_) {
        const std::uint32_t first = static_cast<std::uint32_t>(kept.size());
        for (std::uint32_t i = 0; i < set.device_count; ++i) {
            const TextRef ref = device_refs_[set.first_device + i];
            const std::int64_t device = find(text(ref));
            if (device >= 0 && sets_[static_cast<std::size_t>(device)].rom_count > 0)
                kept.push_back(ref);
        }
        set.first_device = first;
        set.device_count = static_cast<std::uint32_t>(kept.size()) - first;
    }
    device_refs_ = std::move(kept);
}

void RomData::clear() {
    *this = RomData();
}

std::string RomData::serialize() const {
    std::string out;
    out.reserve(heading_size + pool_.size() + sets_.size() * set_row + roms_.size() * rom_row +
                device_refs_.size() * device_row);
    out.append(magic);
    put32(out, format_number);
    put32(out, static_cast<std::uint32_t>(pool_.size()));
    put32(out, static_cast<std::uint32_t>(sets_.size()));
    put32(out, static_cast<std::uint32_t>(roms_.size()));
    put32(out, static_cast<std::uint32_t>(device_refs_.size()));
    out.append(pool_);
    for (const RomSet& s : sets_) {
        put_ref(out, s.name);
        put_ref(out, s.romof);
        put_ref(out, s.cloneof);
        put32(out, s.first_rom);
        put32(out, s.rom_count);
        put32(out, s.first_device);
        put32(out, s.device_count);
        out.push_back(static_cast<char>(s.isbios));
        out.push_back(static_cast<char>(s.isdevice));
    }
    for (const RomEntry& r : roms_) {
        put_ref(out, r.name);
        put_ref(out, r.merge);
        put_ref(out, r.bios);
        put64(out, r.size);
        put32(out, r.crc);
        out.append(reinterpret_cast<const char*>(r.sha1.data()), r.sha1.size());
        out.push_back(static_cast<char>(r.flags));
    }
    for (const TextRef& d : device_refs_)
        put_ref(out, d);
    return out;
}

Result<RomData> RomData::parse(std::string_view bytes) {
    const auto malformed = [] { return failure("not a ROM data file", FailureKind::Malformed); };
    if (bytes.size() < heading_size || bytes.substr(0, magic.size()) != magic) return malformed();
    Reader head{reinterpret_cast<const unsigned char*>(bytes.data()) + magic.size()};
    if (head.u32() != format_number)
        return failure("ROM data file of another format", FailureKind::Malformed);
    const std::uint64_t pool = head.u32();
    const std::uint64_t sets = head.u32();
    const std::uint64_t roms = head.u32();
    const std::uint64_t devices = head.u32();
    const std::uint64_t expected =
        heading_size + pool + sets * set_row + roms * rom_row + devices * device_row;
    if (expected != bytes.size()) return malformed();
    RomData data;
    data.pool_.assign(bytes.substr(heading_size, pool));
    data.sets_.resize(sets);
    data.roms_.resize(roms);
    data.device_refs_.resize(devices);
    Reader in{reinterpret_cast<const unsigned char*>(bytes.data()) + heading_size + pool};
    for (RomSet& s : data.sets_) {
        s.name = in.ref();
        s.romof = in.ref();
        s.cloneof = in.ref();
        s.first_rom = in.u32();
        s.rom_count = in.u32();
        s.first_device = in.u32();
        s.device_count = in.u32();
        s.isbios = in.u8();
        s.isdevice = in.u8();
        if (!fits(s.name, pool) || !fits(s.romof, pool) || !fits(s.cloneof, pool) ||
            !fits(s.first_rom, s.rom_count, roms) || !fits(s.first_device, s.device_count, devices))
            return malformed();
    }
    for (RomEntry& r : data.roms_) {
        r.name = in.ref();
        r.merge = in.ref();
        r.bios = in.ref();
        r.size = in.u64();
        r.crc = in.u32();
        for (std::uint8_t& b : r.sha1)
            b = in.u8();
        r.flags = in.u8();
        if (!fits(r.name, pool) || !fits(r.merge, pool) || !fits(r.bios, pool)) return malformed();
    }
    for (TextRef& d : data.device_refs_) {
        d = in.ref();
        if (!fits(d, pool)) return malformed();
    }
    data.make_index();
    return data;
}

std::string rom_data_path(const std::string& data_folder) {
    return join_path(data_folder, "ORVEL.roms");
}

Status save_rom_data(const RomData& data, const std::string& path) {
    if (!write_file_atomic(path, data.serialize()))
        return system_failure("The ROM data could not be written to " + path, errno);
    return {};
}

Result<RomData> load_rom_data(const std::string& path) {
    if (file_size(path) < 0)
        return failure("There is no ROM data file " + path + ": rebuild the database.",
                       FailureKind::Missing);
    const Result<std::string> bytes = read_file(path, max_rom_data_bytes, "The ROM data file");
    if (!bytes) return bytes.failure();
    Result<RomData> data = RomData::parse(*bytes);
    if (!data)
        return failure("The ROM data file " + path + " is damaged: rebuild the database.",
                       FailureKind::Malformed);
    return data;
}

std::string crc_text(std::uint32_t crc) {
    static const char digits[] = "0123456789abcdef";
    std::string out(8, '0');
    for (int i = 7; i >= 0; --i, crc >>= 4)
        out[static_cast<std::size_t>(i)] = digits[crc & 15];
    return out;
}

std::string sha1_text(const std::array<std::uint8_t, 20>& sha1) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (std::uint8_t b : sha1) {
        out.push_back(digits[b >> 4]);
        out.push_back(digits[b & 15]);
    }
    return out;
}

bool parse_crc(std::string_view text, std::uint32_t& crc) {
    if (text.size() != 8) return false;
    std::uint32_t v = 0;
    for (char c : text) {
        const int d = hex_digit(c);
        if (d < 0) return false;
        v = (v << 4) | static_cast<std::uint32_t>(d);
    }
    crc = v;
    return true;
}

bool parse_sha1(std::string_view text, std::array<std::uint8_t, 20>& sha1) {
    if (text.size() != 40) return false;
    for (std::size_t i = 0; i < 20; ++i) {
        const int hi = hex_digit(text[2 * i]);
        const int lo = hex_digit(text[2 * i + 1]);
        if (hi < 0 || lo < 0) return false;
        sha1[i] = static_cast<std::uint8_t>(hi * 16 + lo);
    }
    return true;
}

} // namespace orvel
