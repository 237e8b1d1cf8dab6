// The zip central directory, read from the end record backwards: the end record (found within
// the last 64 KiB, past any comment), the zip64 end record when the counts overflow, then the
// directory's file headers. Every length is checked against the bytes actually read.

#include "audit/archive_entries.h"

#include <cstdio>

namespace orvel {

namespace {

constexpr std::uint32_t end_signature = 0x06054b50;
constexpr std::uint32_t locator_signature = 0x07064b50;
constexpr std::uint32_t end64_signature = 0x06064b50;
constexpr std::uint32_t header_signature = 0x02014b50;
constexpr std::size_t end_size = 22;
constexpr std::size_t locator_size = 20;
constexpr std::size_t end64_size = 56;
constexpr std::size_t header_size = 46;
constexpr std::size_t max_comment = 0xFFFF;
// A romset's directory is a few kilobytes; this refuses absurd claims before allocating.
constexpr std::uint64_t max_directory = std::uint64_t(256) << 20;

std::uint16_t le16(std::string_view b, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                      (static_cast<unsigned char>(b[at + 1]) << 8));
}

std::uint32_t le32(std::string_view b, std::size_t at) {
    return std::uint32_t(le16(b, at)) | (std::uint32_t(le16(b, at + 2)) << 16);
}

std::uint64_t le64(std::string_view b, std::size_t at) {
    return std::uint64_t(le32(b, at)) | (std::uint64_t(le32(b, at + 4)) << 32);
}

Failure malformed(const char* why) {
    return failure(std::string("not a zip archive: ") + why, FailureKind::Malformed);
}

// The end record's position within tail (whose first byte is at file offset tail_at), or -1.
long find_end(std::string_view tail) {
    if (tail.size() < end_size) return -1;
    for (std::size_t at = tail.size() - end_size + 1; at-- > 0;) {
        if (le32(tail, at) != end_signature) continue;
        if (at + end_size + le16(tail, at + 20) <= tail.size()) return static_cast<long>(at);
    }
    return -1;
}

struct Directory {
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
    std::uint64_t entries = 0;
};

Result<Directory> locate(std::uint64_t file_size, const ReadAt& read) {
    std::string tail;
    // Most archives have no comment: a short read finds the end record first.
    std::uint64_t tail_at = file_size > 1024 ? file_size - 1024 : 0;
    if (!read(tail_at, static_cast<std::size_t>(file_size - tail_at), tail))
        return failure("the archive could not be read");
    long end = find_end(tail);
    if (end < 0 && tail_at > 0) {
        tail_at = file_size > end_size + max_comment ? file_size - end_size - max_comment : 0;
        if (!read(tail_at, static_cast<std::size_t>(file_size - tail_at), tail))
            return failure("the archive could not be read");
        end = find_end(tail);
    }
    if (end < 0) return malformed("no end record");
    const auto e = static_cast<std::size_t>(end);
    Directory d;
    d.entries = le16(tail, e + 10);
    d.size = le32(tail, e + 12);
    d.offset = le32(tail, e + 16);
    std::uint64_t limit = tail_at + e; // the directory ends before its end record
    if (d.entries == 0xFFFF || d.size == 0xFFFFFFFF || d.offset == 0xFFFFFFFF) {
        if (e < locator_size || le32(tail, e - locator_size) != locator_signature)
            return malformed("no zip64 locator");
        const std::uint64_t end64_at = le64(tail, e - locator_size + 8);
        std::string end64;
        if (end64_at > file_size || file_size - end64_at < end64_size ||
            !read(end64_at, end64_size, end64) || end64.size() != end64_size ||
            le32(end64, 0) != end64_signature)
            return malformed("no zip64 end record");
        d.entries = le64(end64, 32);
        d.size = le64(end64, 40);
        d.offset = le64(end64, 48);
        limit = end64_at;
    }
    if (d.offset > limit || d.size > limit - d.offset || d.size > max_directory)
        return malformed("the directory lies outside the archive");
    if (d.entries > d.size / header_size) return malformed("more entries than the directory holds");
    return d;
}

} // namespace

Result<std::vector<ArchiveEntry>> read_zip_directory(std::uint64_t file_size, const ReadAt& read) {
    const Result<Directory> where = locate(file_size, read);
    if (!where) return where.failure();
    std::string dir;
    if (!read(where->offset, static_cast<std::size_t>(where->size), dir) ||
        dir.size() != where->size)
        return failure("the archive could not be read");
    std::vector<ArchiveEntry> entries;
    entries.reserve(static_cast<std::size_t>(where->entries));
    std::size_t at = 0;
    for (std::uint64_t i = 0; i < where->entries; ++i) {
        if (dir.size() - at < header_size || le32(dir, at) != header_signature)
            return malformed("a damaged directory entry");
        const std::size_t name_length = le16(dir, at + 28);
        const std::size_t extra_length = le16(dir, at + 30);
        const std::size_t comment_length = le16(dir, at + 32);
        const std::size_t total = header_size + name_length + extra_length + comment_length;
        if (dir.size() - at < total) return malformed("a directory entry runs past its end");
        ArchiveEntry entry;
        entry.flags = le16(dir, at + 8);
        entry.method = le16(dir, at + 10);
        entry.crc = le32(dir, at + 16);
        entry.has_crc = true;
        entry.compressed_size = le32(dir, at + 20);
        entry.size = le32(dir, at + 24);
        entry.header_offset = le32(dir, at + 42);
        entry.name.assign(dir, at + header_size, name_length);
        if (entry.size == 0xFFFFFFFF || entry.compressed_size == 0xFFFFFFFF ||
            entry.header_offset == 0xFFFFFFFF) {
            // The zip64 extra field holds the values that overflowed, in this order:
            // uncompressed size, compressed size, local header offset.
            std::size_t x = at + header_size + name_length;
            const std::size_t x_end = x + extra_length;
            while (x_end - x >= 4) {
                const std::uint16_t id = le16(dir, x);
                const std::size_t length = le16(dir, x + 2);
                if (x_end - x - 4 < length) break;
                if (id == 0x0001) {
                    std::size_t v = x + 4;
                    for (std::uint64_t* field :
                         {&entry.size, &entry.compressed_size, &entry.header_offset}) {
                        if (*field != 0xFFFFFFFF) continue;
                        if (v + 8 > x + 4 + length) break;
                        *field = le64(dir, v);
                        v += 8;
                    }
                }
                x += 4 + length;
            }
        }
        for (char& c : entry.name)
            if (c == '\\') c = '/';
        at += total;
        if (!entry.name.empty() && entry.name.back() != '/') entries.push_back(std::move(entry));
    }
    return entries;
}

Result<std::vector<ArchiveEntry>> read_zip_directory(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return failure("cannot open " + path, FailureKind::Missing);
    std::setvbuf(f, nullptr, _IONBF, 0); // two exact reads: no buffer to fill
    std::uint64_t size = 0;
    if (std::fseek(f, 0, SEEK_END) == 0) {
        const long end = std::ftell(f);
        size = end > 0 ? static_cast<std::uint64_t>(end) : 0;
    }
    const ReadAt read = [&](std::uint64_t offset, std::size_t length, std::string& out) {
        out.resize(length);
        if (std::fseek(f, static_cast<long>(offset), SEEK_SET) != 0) return false;
        return std::fread(out.data(), 1, length, f) == length;
    };
    Result<std::vector<ArchiveEntry>> entries = read_zip_directory(size, read);
    std::fclose(f);
    return entries;
}

} // namespace orvel
