#pragma once
// The per-file index behind DatCache (internal to the info folder).

#include "info/dat_files.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace orvel {

struct DatCache::Index {
    bool xml = false;
    std::int64_t size = -1;
    std::optional<std::int64_t> modified;

    // DAT files: one element per name on each "$info=" line, in file order: a 32-bit hash of
    // the name and the offset of that line. The names themselves are not kept; a lookup reads
    // the "$info=" lines whose hash matches and checks them. Two flat arrays keep the pass
    // that builds them about as cheap as reading the file.
    std::vector<std::uint32_t> name_hashes;
    std::vector<std::int64_t> info_lines;
    // A DAT file with a UTF-16 or UTF-32 byte order mark is decoded once and kept here (as
    // UTF-8); offsets then point into this text instead of the file.
    bool in_memory = false;
    std::string text;

    // history.xml: name -> byte ranges of the <entry> elements listing it, in file order.
    std::unordered_map<std::string, std::vector<std::pair<std::int64_t, std::int64_t>>> ranges;
    // The encoding to parse a lone <entry> with ("UTF-16LE" for a file that starts with that
    // mark, or what the XML declaration names); empty for UTF-8.
    std::string xml_encoding;
    // The byte range of the document type declaration's internal subset ("[" to the closing
    // ">"), when there is one: a lone <entry> is parsed after it, so that the entities it
    // declares are known there too.
    std::pair<std::int64_t, std::int64_t> doctype{-1, -1};
    // Why the pass stopped before the end of the file (malformed XML, a read error); empty when
    // it read the whole file. Lookups say so, as entries after that point are not in the index.
    std::string problem;
};

// The read buffer of the sequential passes.
inline constexpr std::size_t dat_buffer_size = 262144;

// FNV-1a, 32 bits.
inline std::uint32_t dat_name_hash(std::string_view name) {
    std::uint32_t h = 2166136261u;
    for (unsigned char c : name)
        h = (h ^ c) * 16777619u;
    return h;
}

// Builds a DAT index from a file (false when it cannot be opened) or from bytes in memory.
bool build_dat_index(const std::string& path, DatCache::Index& index);
void build_dat_index_in(std::string_view bytes, DatCache::Index& index);
// The entries of a key from a built index; `source` is the file path, or bytes in memory when
// path is empty.
std::string dat_entries_from(const DatCache::Index& index, const std::string& path,
                             std::string_view bytes, std::string_view key);

bool build_history_xml_index(const std::string& path, DatCache::Index& index);
void build_history_xml_index_in(std::string_view bytes, DatCache::Index& index);
std::string history_xml_entries_from(const DatCache::Index& index, const std::string& path,
                                     std::string_view bytes, std::string_view key);

} // namespace orvel
