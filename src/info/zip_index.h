#pragma once
// The entries of the zip archives that hold pictures, read from each archive's central
// directory once and kept while the file stays the same (its size and modification time), so
// that a lookup in a titles archive of 45,000 entries is one search in memory and reading an
// entry is one seek. At most 16 archives are kept, the least recently used going first. Safe
// to use from several threads at once.

#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace orvel {

struct ArchiveEntry;

class ZipIndex {
  public:
    static constexpr std::size_t max_archives = 16;

    ZipIndex();
    ~ZipIndex();
    ZipIndex(const ZipIndex&) = delete;
    ZipIndex& operator=(const ZipIndex&) = delete;

    // Whether the archive has an entry of exactly this name: false when it is not there or the
    // archive does not open, nullopt when its central directory could not be read (the caller
    // may walk the archive instead).
    std::optional<bool> has_entry(const std::string& archive, std::string_view entry);

    // The bytes of the first entry of exactly this name, when it is no larger than max_size.
    // answered is false when this index cannot tell (no central directory, a compression
    // method other than stored or deflated): the caller may read the archive another way.
    struct EntryBytes {
        bool answered = true;
        std::optional<std::string> bytes; // nullopt: no such entry, damaged, encrypted, too large
    };
    EntryBytes read_entry(const std::string& archive, std::string_view entry,
                          std::uint64_t max_size);

    // How many times a central directory was read (an archive seen anew or changed).
    std::uint64_t directories_read() const;

  private:
    struct Archive;
    static std::optional<std::string> read_data(const std::string& path, std::int64_t file_size,
                                                const ArchiveEntry* entry, std::uint64_t max_size);
    std::shared_ptr<const Archive> archive(const std::string& path);

    mutable std::mutex mutex_;
    std::list<std::shared_ptr<const Archive>> archives_; // most recently used first
    std::uint64_t directories_read_ = 0;
};

} // namespace orvel
