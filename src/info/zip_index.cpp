#include "info/zip_index.h"

#include "audit/archive_entries.h"
#include "platform/files.h"

#include <zlib.h>

#include <cstdio>
#include <unordered_map>

namespace orvel {

namespace {

constexpr std::uint32_t local_signature = 0x04034b50;
constexpr std::size_t local_header_size = 30;

std::uint16_t le16(const unsigned char* b) {
    return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}

std::uint32_t le32(const unsigned char* b) {
    return std::uint32_t(le16(b)) | (std::uint32_t(le16(b + 2)) << 16);
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool read_at(std::FILE* f, std::uint64_t offset, std::size_t length, std::string& out) {
    out.resize(length);
#ifdef _WIN32
    if (_fseeki64(f, static_cast<long long>(offset), SEEK_SET) != 0) return false;
#else
    if (fseeko(f, static_cast<off_t>(offset), SEEK_SET) != 0) return false;
#endif
    return std::fread(out.data(), 1, length, f) == length;
}

// Inflates raw deflate data into exactly size bytes.
std::optional<std::string> inflate_raw(const std::string& packed, std::uint64_t size) {
    std::string out(static_cast<std::size_t>(size), '\0');
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return std::nullopt;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
    z.avail_in = static_cast<uInt>(packed.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    const int status = inflate(&z, Z_FINISH);
    const bool whole = status == Z_STREAM_END && z.total_out == size;
    inflateEnd(&z);
    if (!whole) return std::nullopt;
    return out;
}

} // namespace

struct ZipIndex::Archive {
    std::string path;
    FileStamp stamp;
    bool readable = false; // the central directory was read
    std::vector<ArchiveEntry> entries;
    std::unordered_map<std::string_view, std::size_t> by_name; // the first entry of each name

    const ArchiveEntry* find(std::string_view name) const {
        const auto found = by_name.find(name);
        return found == by_name.end() ? nullptr : &entries[found->second];
    }
};

ZipIndex::ZipIndex() = default;
ZipIndex::~ZipIndex() = default;

std::shared_ptr<const ZipIndex::Archive> ZipIndex::archive(const std::string& path) {
    const FileStamp stamp = file_stamp(path);
    if (stamp.size < 0) return nullptr;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        for (auto it = archives_.begin(); it != archives_.end(); ++it) {
            if ((*it)->path != path) continue;
            if ((*it)->stamp == stamp) {
                archives_.splice(archives_.begin(), archives_, it);
                return archives_.front();
            }
            archives_.erase(it); // changed since it was read
            break;
        }
    }
    // Read outside the lock: other archives stay available meanwhile.
    auto fresh = std::make_shared<Archive>();
    fresh->path = path;
    fresh->stamp = stamp;
    Result<std::vector<ArchiveEntry>> entries = read_zip_directory(path);
    if (entries) {
        fresh->readable = true;
        fresh->entries = std::move(*entries);
        fresh->by_name.reserve(fresh->entries.size());
        for (std::size_t i = 0; i < fresh->entries.size(); ++i)
            fresh->by_name.try_emplace(fresh->entries[i].name, i);
    }
    const std::lock_guard<std::mutex> lock(mutex_);
    ++directories_read_;
    for (auto it = archives_.begin(); it != archives_.end(); ++it)
        if ((*it)->path == path) {
            archives_.erase(it); // another thread read it meanwhile: the newer reading stays
            break;
        }
    archives_.push_front(fresh);
    while (archives_.size() > max_archives)
        archives_.pop_back();
    return fresh;
}

std::optional<bool> ZipIndex::has_entry(const std::string& path, std::string_view entry) {
    const std::shared_ptr<const Archive> a = archive(path);
    if (!a) return false;
    if (!a->readable) return std::nullopt;
    return a->find(entry) != nullptr;
}

ZipIndex::EntryBytes ZipIndex::read_entry(const std::string& path, std::string_view name,
                                          std::uint64_t max_size) {
    const std::shared_ptr<const Archive> a = archive(path);
    if (a && !a->readable) return {false, std::nullopt};
    const ArchiveEntry* entry = a ? a->find(name) : nullptr;
    if (entry && entry->method != 0 && entry->method != 8) return {false, std::nullopt};
    return {true, read_data(path, a ? a->stamp.size : 0, entry, max_size)};
}

std::optional<std::string> ZipIndex::read_data(const std::string& path, std::int64_t file_size,
                                               const ArchiveEntry* entry, std::uint64_t max_size) {
    if (!entry || entry->size > max_size || (entry->flags & 1) != 0 ||
        entry->compressed_size > max_size * 2 + 64)
        return std::nullopt;
    File f(open_file(path, "rb"));
    if (!f) return std::nullopt;
    std::string header;
    if (!read_at(f.get(), entry->header_offset, local_header_size, header)) return std::nullopt;
    const auto* h = reinterpret_cast<const unsigned char*>(header.data());
    if (le32(h) != local_signature) return std::nullopt;
    const std::uint64_t data_at =
        entry->header_offset + local_header_size + le16(h + 26) + le16(h + 28);
    if (data_at > static_cast<std::uint64_t>(file_size) ||
        entry->compressed_size > static_cast<std::uint64_t>(file_size) - data_at)
        return std::nullopt;
    std::string packed;
    if (!read_at(f.get(), data_at, static_cast<std::size_t>(entry->compressed_size), packed))
        return std::nullopt;
    std::optional<std::string> bytes;
    if (entry->method == 0) {
        if (packed.size() != entry->size) return std::nullopt;
        bytes = std::move(packed);
    } else {
        bytes = inflate_raw(packed, entry->size);
        if (!bytes) return std::nullopt;
    }
    const uLong crc =
        crc32(0L, reinterpret_cast<const Bytef*>(bytes->data()), static_cast<uInt>(bytes->size()));
    if (static_cast<std::uint32_t>(crc) != entry->crc) return std::nullopt;
    return bytes;
}

std::uint64_t ZipIndex::directories_read() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return directories_read_;
}

} // namespace orvel
