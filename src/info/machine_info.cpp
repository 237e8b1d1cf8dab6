#include "info/machine_info.h"

#include "database/played.h"
#include "platform/files.h"
#include "platform/mame_folders.h"
#include "platform/text.h"

#include <archive.h>
#include <archive_entry.h>

#include <memory>

namespace orvel {

namespace {

std::string yes_no(bool yes) {
    return yes ? "Yes" : "No";
}

struct ArchiveFree {
    void operator()(archive* a) const { archive_read_free(a); }
};
using Archive = std::unique_ptr<archive, ArchiveFree>;

Archive open_archive(const std::string& path) {
    Archive a(archive_read_new());
    if (!a) return a;
    archive_read_support_format_zip(a.get());
#ifdef _WIN32
    // libarchive reads a narrow path in the system's code page; the wide call takes any name.
    if (archive_read_open_filename_w(a.get(), to_wide(path).c_str(), 65536) != ARCHIVE_OK)
        a.reset();
#else
    if (archive_read_open_filename(a.get(), path.c_str(), 65536) != ARCHIVE_OK) a.reset();
#endif
    return a;
}

// Walks the entries up to the first one named exactly `entry`; true when positioned on it.
bool seek_entry(archive* a, std::string_view entry, archive_entry** found) {
    while (true) {
        archive_entry* header = nullptr;
        const int status = archive_read_next_header(a, &header);
        if (status != ARCHIVE_OK && status != ARCHIVE_WARN)
            return false; // end of the archive, or damage that stops the walk
        const char* name = archive_entry_pathname_utf8(header);
        if (!name) name = archive_entry_pathname(header);
        if (name && entry == name) {
            *found = header;
            return true;
        }
    }
}

bool is_file(const std::string& path) {
    return file_size(path) >= 0;
}

// The folders configured for a kind, each ending in the separator.
std::vector<std::string> picture_folders(const PictureKind& kind, const MamePaths& paths,
                                         const std::string& mame_folder) {
    const std::string& raw = paths.*kind.folder_setting;
    std::vector<std::string> folders =
        resolve_mame_folder_list(raw.empty() ? std::string(kind.key) : raw, mame_folder);
    if (folders.empty()) folders.push_back(join_path(mame_folder, kind.key) + path_separator);
    return folders;
}

// The lookup in one folder for one file name.
PictureLocation find_in_folder(const std::string& folder, const std::string& file_name,
                               ZipIndex* archives) {
    PictureLocation location;
    location.file_name = file_name;
    if (is_file(folder + file_name)) {
        location.source = PictureSource::Folder;
        location.path = folder + file_name;
        return location;
    }
    const std::string bare(trim_right(folder, std::string_view(&path_separator, 1)));
    const std::string inside = folder + file_name_of(bare) + ".zip";
    if (is_file(inside)) {
        // An archive inside the folder is the folder's archive: the one beside is not asked.
        if (zip_has_entry(inside, file_name, archives)) {
            location.source = PictureSource::ArchiveInside;
            location.path = inside;
            location.entry = file_name;
        }
        return location;
    }
    const std::string beside = bare + ".zip";
    if (is_file(beside) && zip_has_entry(beside, file_name, archives)) {
        location.source = PictureSource::ArchiveBeside;
        location.path = beside;
        location.entry = file_name;
    }
    return location;
}

} // namespace

std::vector<AttributeRow> machine_attribute_rows(const Machine& m) {
    std::vector<AttributeRow> rows;
    rows.reserve(18);
    rows.push_back({"Romset", m.name});
    rows.push_back({"Source File", m.sourcefile});
    rows.push_back({"Year", m.year});
    rows.push_back({"Manufacturer", m.manufacturer});
    if (m.cloneof.empty()) {
        rows.push_back({"Set Type", "Parent"});
    } else {
        rows.push_back({"Set Type", "Clone"});
        rows.push_back({"Clone Of", m.cloneof});
    }
    rows.push_back({"Status", title_case(m.driver_status)});
    rows.push_back({"Mechanical", yes_no(m.ismechanical)});
    rows.push_back({"Machine Type", title_case(m.isdevice ? "Device"
                                               : m.isbios ? "BIOS"
                                                          : "Machine")});
    rows.push_back({"Requires ROMs", yes_no(m.requires_roms)});
    rows.push_back({"Requires CHD", yes_no(!m.disks.empty())});
    rows.push_back(
        {"Screen Type", title_case(m.screen_type.empty() ? "Screenless" : m.screen_type)});
    const std::string& r = m.screen_rotate;
    const char* orientation = (r == "90" || r == "270")  ? "Vertical"
                              : (r == "0" || r == "180") ? "Horizontal"
                                                         : "N/A";
    rows.push_back({"Screen Orientation", title_case(orientation) + " (" + r + "\u00B0)"});
    rows.push_back({"Runnable", yes_no(m.runnable)});
    rows.push_back({"Available", yes_no(m.isavailable)});
    rows.push_back({"Times Played", std::to_string(m.played.times)});
    rows.push_back({"Last Played", last_played_text(m.played)});
    rows.push_back({"Play Time", play_time_text(m.played)});
    return rows;
}

const std::array<PictureKind, 3>& picture_kinds() {
    static const std::array<PictureKind, 3> kinds = {{
        {"snap", ".png", &MamePaths::snapshot_directory},
        {"titles", ".png", &MamePaths::titles_directory},
        {"icons", ".ico", &MamePaths::icons_directory},
    }};
    return kinds;
}

const PictureKind* find_picture_kind(std::string_view key) {
    for (const PictureKind& kind : picture_kinds())
        if (kind.key == key) return &kind;
    return nullptr;
}

PictureLocation find_picture(const PictureKind& kind, const Machine& machine,
                             const MamePaths& paths, const std::string& mame_folder,
                             ZipIndex* archives) {
    // Without an index of the caller's, one for this lookup still reads each archive's
    // directory once rather than walking it for every name.
    ZipIndex own;
    if (!archives) archives = &own;
    const std::vector<std::string> folders = picture_folders(kind, paths, mame_folder);
    std::vector<std::string> names;
    if (!machine.name.empty()) names.push_back(machine.name);
    if (!machine.cloneof.empty()) names.push_back(machine.cloneof);
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string file_name = names[i] + std::string(kind.extension);
        for (const std::string& folder : folders) {
            PictureLocation location = find_in_folder(folder, file_name, archives);
            if (location.source != PictureSource::NotFound) {
                location.from_parent = i > 0;
                return location;
            }
        }
    }
    return {};
}

bool zip_has_entry(const std::string& archive_path, std::string_view entry, ZipIndex* archives) {
    if (archives)
        if (const std::optional<bool> known = archives->has_entry(archive_path, entry))
            return *known;
    // No central directory to go by: the archive is walked from its start.
    Archive a = open_archive(archive_path);
    archive_entry* found = nullptr;
    return a && seek_entry(a.get(), entry, &found);
}

std::optional<std::string> read_zip_entry(const std::string& archive_path, std::string_view entry,
                                          ZipIndex* archives) {
    if (archives) {
        ZipIndex::EntryBytes read =
            archives->read_entry(archive_path, entry, max_archive_entry_size);
        if (read.answered) return std::move(read.bytes);
    }
    Archive a = open_archive(archive_path);
    archive_entry* found = nullptr;
    if (!a || !seek_entry(a.get(), entry, &found)) return std::nullopt;
    if (archive_entry_size_is_set(found) &&
        static_cast<std::uint64_t>(archive_entry_size(found)) > max_archive_entry_size)
        return std::nullopt;
    std::string bytes;
    char buffer[65536];
    while (true) {
        const la_ssize_t got = archive_read_data(a.get(), buffer, sizeof buffer);
        if (got < 0) return std::nullopt; // damaged data, or a method or encryption we cannot read
        if (got == 0) break;
        // The stored size may lie; the cap holds either way.
        if (bytes.size() + static_cast<std::size_t>(got) > max_archive_entry_size)
            return std::nullopt;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    return bytes;
}

std::optional<Image> load_image_from_zip(const std::string& archive_path, std::string_view entry) {
    const std::optional<std::string> bytes = read_zip_entry(archive_path, entry);
    if (!bytes) return std::nullopt;
    return decode_png(*bytes);
}

std::optional<std::string> load_picture_bytes(const PictureLocation& location, ZipIndex* archives) {
    switch (location.source) {
    case PictureSource::Folder: {
        const std::int64_t size = file_size(location.path);
        if (size < 0 || static_cast<std::uint64_t>(size) > max_archive_entry_size)
            return std::nullopt;
        Result<std::string> bytes = read_file(location.path, max_archive_entry_size);
        if (!bytes) return std::nullopt;
        return std::move(*bytes);
    }
    case PictureSource::ArchiveInside:
    case PictureSource::ArchiveBeside:
        return read_zip_entry(location.path, location.entry, archives);
    case PictureSource::NotFound:
        break;
    }
    return std::nullopt;
}

std::optional<Image> load_picture(const PictureLocation& location, ZipIndex* archives) {
    const std::optional<std::string> bytes = load_picture_bytes(location, archives);
    if (!bytes) return std::nullopt;
    return decode_png(*bytes);
}

} // namespace orvel
