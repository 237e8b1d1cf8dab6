// Archives read through libarchive (7z, and any archive for the deep check), and CHD headers.

#include "audit/archive_entries.h"

#include <archive.h>
#include <archive_entry.h>
#include <zlib.h>

#include <cstdio>
#include <memory>

namespace orvel {

namespace {

struct ArchiveFree {
    void operator()(archive* a) const { archive_read_free(a); }
};
using ArchivePtr = std::unique_ptr<archive, ArchiveFree>;

ArchivePtr open_reader() {
    ArchivePtr a(archive_read_new());
    if (a) {
        archive_read_support_format_all(a.get());
        archive_read_support_filter_all(a.get());
    }
    return a;
}

std::string entry_name(archive_entry* e) {
    const char* utf8 = archive_entry_pathname_utf8(e);
    const char* name = utf8 ? utf8 : archive_entry_pathname(e);
    std::string out = name ? name : "";
    for (char& c : out)
        if (c == '\\') c = '/';
    return out;
}

// Walks every file entry; for those pick accepts, their data goes to on_data.
template <typename Pick, typename Data, typename End>
Status walk(archive* a, const std::string& what, Pick&& pick, Data&& on_data, End&& on_end) {
    archive_entry* e = nullptr;
    std::string buffer(1 << 16, '\0');
    for (;;) {
        const int r = archive_read_next_header(a, &e);
        if (r == ARCHIVE_EOF) return {};
        if (r < ARCHIVE_WARN)
            return failure("cannot read " + what + ": " +
                               (archive_error_string(a) ? archive_error_string(a) : "damaged"),
                           FailureKind::Malformed);
        if (archive_entry_filetype(e) != AE_IFREG) continue;
        const std::string name = entry_name(e);
        const std::uint64_t size =
            archive_entry_size_is_set(e) ? static_cast<std::uint64_t>(archive_entry_size(e)) : 0;
        if (!pick(name, size)) {
            on_end(name, size, false);
            continue;
        }
        bool complete = true;
        for (;;) {
            const la_ssize_t n = archive_read_data(a, buffer.data(), buffer.size());
            if (n == 0) break;
            if (n < 0) {
                complete = false;
                break;
            }
            on_data(std::string_view(buffer.data(), static_cast<std::size_t>(n)));
        }
        on_end(name, size, complete);
        if (!complete) return failure("cannot read " + what + ": damaged", FailureKind::Malformed);
    }
}

Result<std::vector<ArchiveEntry>> list(archive* a, const std::string& what,
                                       const WantSize& want_crc) {
    std::vector<ArchiveEntry> entries;
    uLong crc = crc32(0, nullptr, 0);
    const Status walked = walk(
        a, what,
        [&](const std::string&, std::uint64_t size) {
            crc = crc32(0, nullptr, 0);
            return want_crc && want_crc(size);
        },
        [&](std::string_view piece) {
            crc = crc32(crc, reinterpret_cast<const Bytef*>(piece.data()),
                        static_cast<uInt>(piece.size()));
        },
        [&](const std::string& name, std::uint64_t size, bool read) {
            ArchiveEntry entry;
            entry.name = name;
            entry.size = size;
            entry.has_crc = read;
            entry.crc = read ? static_cast<std::uint32_t>(crc) : 0;
            entries.push_back(std::move(entry));
        });
    if (!walked) return walked.failure();
    return entries;
}

} // namespace

Result<std::vector<ArchiveEntry>> read_7z_entries(const std::string& path,
                                                  const WantSize& want_crc) {
    ArchivePtr a = open_reader();
    if (!a || archive_read_open_filename(a.get(), path.c_str(), 1 << 16) != ARCHIVE_OK)
        return failure("cannot open " + path, FailureKind::Missing);
    return list(a.get(), path, want_crc);
}

Result<std::vector<ArchiveEntry>> read_7z_entries_from_memory(std::string_view bytes,
                                                              const WantSize& want_crc) {
    ArchivePtr a = open_reader();
    if (!a || archive_read_open_memory(a.get(), bytes.data(), bytes.size()) != ARCHIVE_OK)
        return failure("not an archive", FailureKind::Malformed);
    return list(a.get(), "the archive", want_crc);
}

Status read_archive_entries(const std::string& path, const EntryReader& reader) {
    ArchivePtr a = open_reader();
    if (!a || archive_read_open_filename(a.get(), path.c_str(), 1 << 16) != ARCHIVE_OK)
        return failure("cannot open " + path, FailureKind::Missing);
    return walk(
        a.get(), path, [&](const std::string& name, std::uint64_t) { return reader.pick(name); },
        reader.on_data,
        [&](const std::string& name, std::uint64_t, bool complete) {
            reader.on_end(name, complete);
        });
}

Result<std::array<std::uint8_t, 20>> chd_header_sha1(std::string_view h) {
    const auto be32 = [&](std::size_t at) {
        std::uint32_t v = 0;
        for (std::size_t i = 0; i < 4; ++i)
            v = (v << 8) | static_cast<unsigned char>(h[at + i]);
        return v;
    };
    if (h.size() < 16 || h.substr(0, 8) != "MComprHD")
        return failure("not a CHD file", FailureKind::Malformed);
    const std::uint32_t length = be32(8);
    const std::uint32_t version = be32(12);
    // Where each header version keeps the SHA-1 of the whole disk, and its header length.
    std::size_t at = 0;
    std::uint32_t expected = 0;
    if (version == 3) {
        at = 80;
        expected = 120;
    } else if (version == 4) {
        at = 48;
        expected = 108;
    } else if (version == 5) {
        at = 84;
        expected = 124;
    } else {
        return failure("a CHD version without a SHA-1 in its header", FailureKind::Malformed);
    }
    if (length != expected || h.size() < expected)
        return failure("a damaged CHD header", FailureKind::Malformed);
    std::array<std::uint8_t, 20> sha1{};
    for (std::size_t i = 0; i < sha1.size(); ++i)
        sha1[i] = static_cast<std::uint8_t>(h[at + i]);
    return sha1;
}

Result<std::array<std::uint8_t, 20>> read_chd_sha1(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return failure("cannot open " + path, FailureKind::Missing);
    std::string header(124, '\0');
    header.resize(std::fread(header.data(), 1, header.size(), f));
    std::fclose(f);
    return chd_header_sha1(header);
}

} // namespace orvel
