#include "info/version_info.h"

#include "platform/text.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string_view>
#include <vector>

namespace orvel {

namespace {

// Reads little-endian values from a file at given offsets; every read is checked against the
// file's size, so damaged offsets only make a lookup fail.
class FileReader {
  public:
    // The path is UTF-8: through std::filesystem it reaches Windows as UTF-16.
    explicit FileReader(const std::string& path)
        : in_(std::filesystem::path(std::u8string(path.begin(), path.end())), std::ios::binary) {
        if (in_) {
            in_.seekg(0, std::ios::end);
            const auto end = in_.tellg();
            size_ = end > 0 ? static_cast<std::uint64_t>(end) : 0;
        }
    }
    std::uint64_t size() const { return size_; }
    bool read(std::uint64_t offset, void* out, std::uint64_t count) {
        if (offset > size_ || count > size_ - offset) return false;
        in_.clear();
        in_.seekg(static_cast<std::streamoff>(offset));
        in_.read(static_cast<char*>(out), static_cast<std::streamsize>(count));
        return static_cast<std::uint64_t>(in_.gcount()) == count;
    }
    std::optional<std::uint32_t> u32(std::uint64_t offset) {
        unsigned char b[4];
        if (!read(offset, b, 4)) return std::nullopt;
        return std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 |
               std::uint32_t(b[3]) << 24;
    }
    std::optional<std::uint16_t> u16(std::uint64_t offset) {
        unsigned char b[2];
        if (!read(offset, b, 2)) return std::nullopt;
        return static_cast<std::uint16_t>(b[0] | b[1] << 8);
    }

  private:
    std::ifstream in_;
    std::uint64_t size_ = 0;
};

struct Section {
    std::uint32_t virtual_address, virtual_size, raw_size, raw_offset;
};

std::optional<std::uint64_t> rva_to_offset(const std::vector<Section>& sections,
                                           std::uint32_t rva) {
    for (const Section& s : sections) {
        const std::uint32_t span = std::max(s.virtual_size, s.raw_size);
        if (rva >= s.virtual_address && rva - s.virtual_address < span) {
            const std::uint32_t delta = rva - s.virtual_address;
            if (delta >= s.raw_size) return std::nullopt; // not stored in the file
            return std::uint64_t(s.raw_offset) + delta;
        }
    }
    return std::nullopt;
}

constexpr std::uint32_t rt_version = 16;
constexpr std::uint32_t max_entries = 4096;
constexpr std::uint32_t max_version_resource = 1u << 20;

// The bytes of the file's version resource (its first name and first language), or nothing.
std::optional<std::string> find_version_resource(FileReader& file) {
    const auto mz = file.u16(0);
    if (!mz || *mz != 0x5A4D) // "MZ"
        return std::nullopt;
    const auto pe = file.u32(0x3C);
    if (!pe) return std::nullopt;
    const auto signature = file.u32(*pe);
    if (!signature || *signature != 0x00004550) // "PE\0\0"
        return std::nullopt;
    const std::uint64_t coff = std::uint64_t(*pe) + 4;
    const auto section_count = file.u16(coff + 2);
    const auto optional_size = file.u16(coff + 16);
    if (!section_count || !optional_size) return std::nullopt;
    const std::uint64_t opt = coff + 20;
    const auto magic = file.u16(opt);
    if (!magic) return std::nullopt;
    std::uint64_t dirs = 0;
    std::uint64_t count_at = 0;
    if (*magic == 0x10B) { // PE32
        count_at = opt + 92;
        dirs = opt + 96;
    } else if (*magic == 0x20B) { // PE32+
        count_at = opt + 108;
        dirs = opt + 112;
    } else {
        return std::nullopt;
    }
    const auto dir_count = file.u32(count_at);
    if (!dir_count || *dir_count < 3 || dirs + 3 * 8 > opt + *optional_size) return std::nullopt;
    const auto resource_rva = file.u32(dirs + 2 * 8);
    if (!resource_rva || *resource_rva == 0) return std::nullopt;

    std::vector<Section> sections;
    const std::uint64_t table = opt + *optional_size;
    for (std::uint32_t i = 0; i < *section_count; ++i) {
        const std::uint64_t at = table + std::uint64_t(i) * 40;
        const auto vsize = file.u32(at + 8), va = file.u32(at + 12), rsize = file.u32(at + 16),
                   roff = file.u32(at + 20);
        if (!vsize || !va || !rsize || !roff) return std::nullopt;
        sections.push_back({*va, *vsize, *rsize, *roff});
    }
    const auto root = rva_to_offset(sections, *resource_rva);
    if (!root) return std::nullopt;

    // Walks the three directory levels: type, name, language. Offsets are relative to the
    // start of the resource section; the high bit marks a sub-directory.
    std::uint32_t directory = 0;
    for (int level = 0; level < 3; ++level) {
        const std::uint64_t at = *root + directory;
        const auto named = file.u16(at + 12), ids = file.u16(at + 14);
        if (!named || !ids) return std::nullopt;
        const std::uint32_t entries = std::uint32_t(*named) + *ids;
        if (entries == 0 || entries > max_entries) return std::nullopt;
        std::optional<std::uint32_t> chosen;
        for (std::uint32_t i = 0; i < entries; ++i) {
            const auto id = file.u32(at + 16 + std::uint64_t(i) * 8);
            const auto target = file.u32(at + 16 + std::uint64_t(i) * 8 + 4);
            if (!id || !target) return std::nullopt;
            if (level > 0 || (!(*id & 0x80000000u) && *id == rt_version)) {
                chosen = *target;
                break;
            }
        }
        if (!chosen) return std::nullopt;
        const bool is_directory = (*chosen & 0x80000000u) != 0;
        if (is_directory != (level < 2)) return std::nullopt;
        directory = *chosen & 0x7FFFFFFFu;
    }
    const auto data_rva = file.u32(*root + directory);
    const auto data_size = file.u32(*root + directory + 4);
    if (!data_rva || !data_size || *data_size == 0 || *data_size > max_version_resource)
        return std::nullopt;
    const auto data = rva_to_offset(sections, *data_rva);
    if (!data) return std::nullopt;
    std::string bytes(*data_size, '\0');
    if (!file.read(*data, bytes.data(), bytes.size())) return std::nullopt;
    return bytes;
}

// One block of the version resource: a key, a value and child blocks, each block aligned to
// 32 bits. The tree is shallow (VS_VERSIONINFO / StringFileInfo / table / string).
struct Block {
    std::u16string key;
    std::string_view value; // raw bytes
    bool text = false;
    std::vector<Block> children;
};

std::uint16_t le16(std::string_view bytes, size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                      static_cast<unsigned char>(bytes[at + 1]) << 8);
}

size_t align4(size_t offset) {
    return (offset + 3) & ~size_t{3};
}

// Parses the block at offset inside bytes; false when it does not fit.
bool parse_block(std::string_view bytes, size_t offset, int depth, Block& block, size_t& end) {
    if (depth > 4 || offset + 6 > bytes.size()) return false;
    const size_t length = le16(bytes, offset);
    const size_t value_length = le16(bytes, offset + 2);
    const std::uint16_t type = le16(bytes, offset + 4);
    if (length < 6 || offset + length > bytes.size()) return false;
    end = offset + length;
    size_t at = offset + 6;
    while (at + 2 <= end) {
        const std::uint16_t c = le16(bytes, at);
        at += 2;
        if (c == 0) break;
        block.key.push_back(static_cast<char16_t>(c));
    }
    at = align4(at);
    block.text = type == 1;
    // A text value's length counts characters; some tools count bytes, so the value is also
    // ended by its terminating zero when it is read.
    size_t value_bytes = block.text ? value_length * 2 : value_length;
    if (at > end) at = end;
    if (value_bytes > end - at) value_bytes = end - at;
    block.value = bytes.substr(at, value_bytes);
    at = align4(at + value_bytes);
    while (at + 6 <= end) {
        Block child;
        size_t child_end = 0;
        if (!parse_block(bytes.substr(0, end), at, depth + 1, child, child_end)) break;
        block.children.push_back(std::move(child));
        if (child_end <= at) break;
        at = align4(child_end);
    }
    return true;
}

std::string utf16_to_utf8(std::string_view raw) {
    std::string out;
    for (size_t i = 0; i + 1 < raw.size(); i += 2) {
        char32_t c = le16(raw, i);
        if (c == 0) break;
        if (c >= 0xD800 && c <= 0xDBFF && i + 3 < raw.size()) {
            const char32_t low = le16(raw, i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        append_utf8(out, c);
    }
    return out;
}

bool key_equals(const std::u16string& a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const char16_t c = a[i];
        if (c > 0x7F || ascii_lower(static_cast<char>(c)) != ascii_lower(b[i])) return false;
    }
    return true;
}

const Block* child_named(const Block& parent, std::string_view name) {
    for (const Block& c : parent.children)
        if (key_equals(c.key, name)) return &c;
    return nullptr;
}

const char* const field_names[] = {"FileVersion",    "FileDescription",  "LegalCopyright",
                                   "InternalName",   "OriginalFilename", "ProductName",
                                   "ProductVersion", "CompanyName",      "LegalTrademarks",
                                   "SpecialBuild",   "PrivateBuild",     "Comments"};

} // namespace

std::string language_name(std::uint16_t language) {
    struct Name {
        std::uint16_t id;
        const char* name;
    };
    static const Name names[] = {
        {0x0000, "Language Neutral"},        {0x0404, "Chinese (Traditional, Taiwan)"},
        {0x0405, "Czech (Czech Republic)"},  {0x0406, "Danish (Denmark)"},
        {0x0407, "German (Germany)"},        {0x0408, "Greek (Greece)"},
        {0x0409, "English (United States)"}, {0x040A, "Spanish (Traditional Sort)"},
        {0x040B, "Finnish (Finland)"},       {0x040C, "French (France)"},
        {0x040E, "Hungarian (Hungary)"},     {0x0410, "Italian (Italy)"},
        {0x0411, "Japanese (Japan)"},        {0x0412, "Korean (Korea)"},
        {0x0413, "Dutch (Netherlands)"},     {0x0414, "Norwegian, Bokmål (Norway)"},
        {0x0415, "Polish (Poland)"},         {0x0416, "Portuguese (Brazil)"},
        {0x0419, "Russian (Russia)"},        {0x041D, "Swedish (Sweden)"},
        {0x041F, "Turkish (Turkey)"},        {0x0804, "Chinese (Simplified, PRC)"},
        {0x0807, "German (Switzerland)"},    {0x0809, "English (United Kingdom)"},
        {0x080A, "Spanish (Mexico)"},        {0x0816, "Portuguese (Portugal)"},
        {0x0C07, "German (Austria)"},        {0x0C09, "English (Australia)"},
        {0x0C0A, "Spanish (Spain)"},         {0x0C0C, "French (Canada)"},
        {0x1009, "English (Canada)"},
    };
    for (const Name& n : names)
        if (n.id == language) return n.name;
    char buf[32];
    std::snprintf(buf, sizeof buf, "Language 0x%04X", static_cast<unsigned>(language));
    return buf;
}

std::string read_version_info(const std::string& path, std::uint32_t fields, bool labels) {
    FileReader file(path);
    if (file.size() == 0) return {};
    const auto resource = find_version_resource(file);
    if (!resource) return {};
    Block root;
    size_t end = 0;
    if (!parse_block(*resource, 0, 0, root, end) || !key_equals(root.key, "VS_VERSION_INFO"))
        return {};

    // The first translation names the string table: language and code page as four
    // upper-case hexadecimal digits each.
    std::string table_key;
    std::string language;
    if (const Block* var = child_named(root, "VarFileInfo")) {
        if (const Block* translation = child_named(*var, "Translation");
            translation && translation->value.size() >= 4) {
            const std::uint16_t lang = le16(translation->value, 0);
            const std::uint16_t code_page = le16(translation->value, 2);
            char buf[16];
            std::snprintf(buf, sizeof buf, "%04X%04X", static_cast<unsigned>(lang),
                          static_cast<unsigned>(code_page));
            table_key = buf;
            language = language_name(lang);
        }
    }
    const Block* table = nullptr;
    if (!table_key.empty())
        if (const Block* strings = child_named(root, "StringFileInfo"))
            table = child_named(*strings, table_key);

    std::string result;
    auto append = [&](std::string_view name, std::string_view value) {
        if (!result.empty()) result += "\n";
        if (labels) {
            result += name;
            result += ":\t";
        }
        result += value;
    };
    for (int bit = 0; bit < 12; ++bit) {
        if (!(fields & (1u << bit)) || !table) continue;
        if (const Block* entry = child_named(*table, field_names[bit]))
            append(field_names[bit], utf16_to_utf8(entry->value));
    }
    if (fields & version_language) append("Language", language);
    return result;
}

} // namespace orvel
