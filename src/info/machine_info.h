#pragma once
// What the machine information window shows besides the DAT texts: the attribute table rows
// and the machine's pictures, found as loose files or as entries of zip archives in MAME's
// artwork folders.

#include "database/machine.h"
#include "info/png.h"
#include "info/zip_index.h"
#include "settings/mame_paths.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvel {

struct AttributeRow {
    std::string label;
    std::string value;
};
// The attribute table, row by row: 17 rows for a parent, 18 for a clone ("Clone Of" follows
// "Set Type"); the last three tell what the play record holds.
std::vector<AttributeRow> machine_attribute_rows(const Machine& machine);

// The picture kinds: "snap" (in-game, ".png"), "titles" (".png") and "icons" (".ico").
struct PictureKind {
    std::string_view key;
    std::string_view extension;
    std::string MamePaths::*folder_setting;
};
const std::array<PictureKind, 3>& picture_kinds();
// The kind with this key, or nullptr.
const PictureKind* find_picture_kind(std::string_view key);

// Where a picture was found.
enum class PictureSource {
    NotFound = 0,
    Folder = 1,        // a file in the folder
    ArchiveInside = 2, // an entry of the archive inside the folder ("snap/snap.zip")
    ArchiveBeside = 3, // an entry of the archive beside the folder ("snap.zip")
};

struct PictureLocation {
    PictureSource source = PictureSource::NotFound;
    std::string path;         // the file (source 1) or the archive (sources 2 and 3)
    std::string entry;        // the archive entry (sources 2 and 3)
    std::string file_name;    // the name looked for and found ("pacman.png")
    bool from_parent = false; // a clone without its own picture shows its parent's
};

// Looks for name + extension in each configured folder of the kind (the setting's value, or the
// kind's key when it is empty, resolved against the MAME folder), in this order: a file in the
// folder; else, when the folder holds an archive named like the folder ("snap/snap.zip"), an
// entry of exactly that name there (and nothing else); else an entry in the archive beside the
// folder ("snap.zip"). Archive entry names are compared exactly: an entry in a sub-folder or in
// other letter case is not the picture. A clone with no picture of its own gets its parent's.
// Archives are looked into through archives (their directories read once and kept), or through
// an index of this lookup's own when it is null.
PictureLocation find_picture(const PictureKind& kind, const Machine& machine,
                             const MamePaths& paths, const std::string& mame_folder,
                             ZipIndex* archives = nullptr);

// True when the archive opens and has an entry of exactly this name. With an index, its kept
// directory answers; an archive without a readable directory is walked from its start.
bool zip_has_entry(const std::string& archive, std::string_view entry,
                   ZipIndex* archives = nullptr);
// Entries larger than this are not read.
inline constexpr std::uint64_t max_archive_entry_size = 64ull * 1024 * 1024;
// The bytes of the first entry of exactly this name; nullopt when the archive does not open,
// has no such entry, the entry is damaged or too large.
std::optional<std::string> read_zip_entry(const std::string& archive, std::string_view entry,
                                          ZipIndex* archives = nullptr);
// Decodes a PNG entry of an archive.
std::optional<Image> load_image_from_zip(const std::string& archive, std::string_view entry);

// The bytes of a found picture (for the ".ico" icons, which the window decodes itself);
// nullopt when it was not found or cannot be read.
std::optional<std::string> load_picture_bytes(const PictureLocation& location,
                                              ZipIndex* archives = nullptr);
// A found PNG picture, decoded whole; nullopt when it was not found or does not decode.
std::optional<Image> load_picture(const PictureLocation& location, ZipIndex* archives = nullptr);

} // namespace orvel
