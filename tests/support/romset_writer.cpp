#include "support/romset_writer.h"

#include "platform/files.h"

#include <archive.h>
#include <archive_entry.h>
#include <zlib.h>

#include <cstdio>
#include <memory>

namespace orvel::test {

namespace {

const std::array<std::uint32_t, 256>& crc_table() {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    return table;
}

void put16(std::string& out, std::uint32_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void put32(std::string& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

std::string deflated(const std::string& data) {
    z_stream z{};
    deflateInit2(&z, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&z, static_cast<uLong>(data.size())), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

} // namespace

std::string forged_data(std::uint64_t size, std::uint32_t crc) {
    std::string data(size, '\0');
    if (size < 4) return data;
    const auto& table = crc_table();
    // Walk back from the wanted register to the table entries the last four bytes must pick
    // (each entry's top byte is unique), then choose the bytes that pick them.
    std::array<std::uint8_t, 4> picks{};
    std::uint32_t state = crc ^ 0xFFFFFFFFu;
    for (int k = 3; k >= 0; --k) {
        std::uint32_t index = 0;
        while ((table[index] >> 24) != (state >> 24))
            ++index;
        picks[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(index);
        state = (state ^ table[index]) << 8;
    }
    std::uint32_t reg =
        static_cast<std::uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(size - 4))) ^
        0xFFFFFFFFu;
    for (std::size_t k = 0; k < 4; ++k) {
        const auto byte = static_cast<std::uint8_t>((reg ^ picks[k]) & 0xFF);
        data[size - 4 + k] = static_cast<char>(byte);
        reg = (reg >> 8) ^ table[(reg ^ byte) & 0xFF];
    }
    return data;
}

namespace {

bool zip(const std::string& path, const std::vector<RomFile>& files, bool with_data) {
    std::string out;
    std::string directory;
    for (const RomFile& f : files) {
        const std::string data = with_data ? forged_data(f.size, f.crc) : std::string();
        const std::string packed = with_data ? deflated(data) : std::string();
        const auto crc =
            with_data
                ? static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(data.data()),
                                                   static_cast<uInt>(data.size())))
                : f.crc;
        const auto offset = static_cast<std::uint32_t>(out.size());
        put32(out, 0x04034b50);
        put16(out, 20);
        put16(out, 0);
        put16(out, 8);
        put32(out, 0);
        put32(out, crc);
        put32(out, static_cast<std::uint32_t>(packed.size()));
        put32(out, static_cast<std::uint32_t>(f.size));
        put16(out, static_cast<std::uint32_t>(f.name.size()));
        put16(out, 0);
        out += f.name;
        out += packed;
        put32(directory, 0x02014b50);
        put16(directory, 20);
        put16(directory, 20);
        put16(directory, 0);
        put16(directory, 8);
        put32(directory, 0);
        put32(directory, crc);
        put32(directory, static_cast<std::uint32_t>(packed.size()));
        put32(directory, static_cast<std::uint32_t>(f.size));
        put16(directory, static_cast<std::uint32_t>(f.name.size()));
        put32(directory, 0); // extra and comment lengths
        put32(directory, 0); // disk and internal attributes
        put32(directory, 0); // external attributes
        put32(directory, offset);
        directory += f.name;
    }
    const auto directory_at = static_cast<std::uint32_t>(out.size());
    out += directory;
    put32(out, 0x06054b50);
    put32(out, 0);
    put16(out, static_cast<std::uint32_t>(files.size()));
    put16(out, static_cast<std::uint32_t>(files.size()));
    put32(out, static_cast<std::uint32_t>(directory.size()));
    put32(out, directory_at);
    put16(out, 0);
    return create_folders(folder_of(path)) && write_file_atomic(path, out);
}

} // namespace

bool write_zip(const std::string& path, const std::vector<RomFile>& files) {
    return zip(path, files, true);
}

bool write_zip_directory_only(const std::string& path, const std::vector<RomFile>& files) {
    return zip(path, files, false);
}

bool write_7z(const std::string& path, const std::vector<RomFile>& files) {
    std::unique_ptr<archive, int (*)(archive*)> a(archive_write_new(), archive_write_free);
    if (!create_folders(folder_of(path)) || archive_write_set_format_7zip(a.get()) != ARCHIVE_OK ||
        archive_write_open_filename(a.get(), path.c_str()) != ARCHIVE_OK)
        return false;
    for (const RomFile& f : files) {
        const std::string data = forged_data(f.size, f.crc);
        std::unique_ptr<archive_entry, void (*)(archive_entry*)> e(archive_entry_new(),
                                                                   archive_entry_free);
        archive_entry_set_pathname(e.get(), f.name.c_str());
        archive_entry_set_filetype(e.get(), AE_IFREG);
        archive_entry_set_perm(e.get(), 0644);
        archive_entry_set_size(e.get(), static_cast<la_int64_t>(data.size()));
        if (archive_write_header(a.get(), e.get()) != ARCHIVE_OK ||
            archive_write_data(a.get(), data.data(), data.size()) !=
                static_cast<la_ssize_t>(data.size()))
            return false;
    }
    return archive_write_close(a.get()) == ARCHIVE_OK;
}

bool write_loose(const std::string& folder, const std::vector<RomFile>& files) {
    for (const RomFile& f : files) {
        const std::string path = join_path(folder, f.name);
        if (!create_folders(folder_of(path)) ||
            !write_file_atomic(path, forged_data(f.size, f.crc)))
            return false;
    }
    return true;
}

bool write_chd(const std::string& path, const std::array<std::uint8_t, 20>& sha1) {
    std::string header = "MComprHD";
    const auto be32 = [&](std::uint32_t v) {
        for (int i = 3; i >= 0; --i)
            header.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    be32(124);
    be32(5);
    header.resize(84, '\0');
    header.append(reinterpret_cast<const char*>(sha1.data()), sha1.size());
    header.resize(124, '\0');
    return create_folders(folder_of(path)) && write_file_atomic(path, header);
}

} // namespace orvel::test
