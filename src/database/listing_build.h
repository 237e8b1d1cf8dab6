#pragma once
// The database build: MAME's XML listing ("-lx -nodtd", kept in "orvel.tmp" in the MAME
// folder while it is read) is parsed as a stream, one machine record per <machine>, then
// scanned for availability, sorted by description, given its "Default" command line and saved.
// A complete "orvel.tmp" left in the MAME folder is parsed without asking MAME.

#include "database/machine.h"
#include "host/host.h"
#include "settings/mame_paths.h"
#include "settings/settings.h"
#include "xml/xml_reader.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace orvel {

inline constexpr std::string_view listing_file_name = "orvel.tmp";

enum class BuildStatus {
    Built,     // the listing was parsed (the list may still be empty)
    NoListing, // MAME could not be run or wrote nothing: the list stays empty
    XmlError,  // the listing is malformed: the "Error" box was shown, the program must end
    // MAME failed while writing its listing, wrote nothing for too long or the listing could
    // not be written: the "Error" box said why, the list stays empty and no file is changed
    ListingFailed
};

struct BuildResult {
    BuildStatus status = BuildStatus::NoListing;
    bool saved = false;
    std::string save_message; // why the database file could not be written
    std::string failure;      // ListingFailed: why
};

// How long MAME may write nothing while it writes its listing before it is ended.
inline constexpr int default_listing_silence_ms = 20000;

struct BuildOptions {
    // Ask MAME for a fresh listing even when a database file or an "orvel.tmp" exists (the
    // MAME executable changed).
    bool regenerate = false;
    int listing_silence_ms = default_listing_silence_ms;
    // Records of the database being replaced: favourites and stored command lines of every
    // machine that still exists are carried into the new records before the save.
    const MachineList* carry_from = nullptr;
};

// The whole build. Replaces the machine list and the view list and saves the database file.
BuildResult build_database(const Settings& settings, const MamePaths& paths, MachineList& machines,
                           ViewList& view, bool& database_changed, Host& host,
                           const BuildOptions& options = {});

// The console lines shown while MAME writes its listing.
std::vector<std::string> build_banner(const Settings& settings);

struct ListingParse {
    bool opened = false; // false: the file could not be opened or read
    bool ok = false;     // true: well-formed to the end
    XmlError error;      // why it is not; xml_error_text gives the "Error" box's text
};

// Appends one record per <machine> of the listing file to the machine list. keep_alive, when
// given, is called every few thousand elements.
ListingParse parse_listing_file(const std::string& path, MachineList& machines,
                                Host* keep_alive = nullptr);
// The same over listing text held in memory.
ListingParse parse_listing_text(std::string_view xml, MachineList& machines);

// Copies isfavourite and commandlines from the old records into the new records of the same
// name; a stored BIOS position that no longer exists becomes -1.
void carry_user_data(const MachineList& old_machines, MachineList& machines);

// Stable sort by description without regard to case.
void sort_by_description(MachineList& machines);

} // namespace orvel
