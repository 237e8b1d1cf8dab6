#pragma once
// The database build: MAME's XML listing ("-lx -nodtd", kept in "orvel.tmp" in the MAME
// folder while it is read) is parsed as a stream, one machine record per <machine>, then
// scanned for availability, sorted by description, given its "Default" command line and saved.
// A complete "orvel.tmp" left in the MAME folder is parsed without asking MAME.

#include "database/machine.h"
#include "database/rom_data.h"
#include "host/host.h"
#include "platform/failure.h"
#include "settings/mame_paths.h"
#include "settings/settings.h"
#include "xml/xml_reader.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace orvel {

inline constexpr std::string_view listing_file_name = "orvel.tmp";

// How long MAME may write nothing while it writes its listing before it is ended.
inline constexpr int default_listing_silence_ms = 20000;

struct BuildOptions {
    // Ask MAME for a fresh listing even when a database file or an "orvel.tmp" exists (the
    // MAME executable changed).
    bool regenerate = false;
    int listing_silence_ms = default_listing_silence_ms;
    // Records of the database being replaced: favourites and stored command lines of every
    // machine that still exists are carried into the new records before the save. Their number
    // is what the listing's progress counts against.
    const MachineList* carry_from = nullptr;
};

// The whole build. Replaces the machine list and the view list and saves the database file.
// Machines left out for their names are counted in a "Listing" warning (left_out_text).
// While MAME writes its listing the progress tells the machines read so far, and the host's
// stop request (the console's Cancel) ends MAME with everything it started. Succeeds when the
// listing was parsed and the database saved (an empty list is parsed but not saved). Fails,
// leaving the lists as they were and no file changed, as
// - Missing: MAME could not be run or wrote nothing;
// - Malformed: the listing is malformed; the "Error" box was shown, the program must end;
// - Error: MAME failed while writing its listing, wrote nothing for too long, or the listing
//   could not be written or read; the "Error" box said why;
// - Cancelled: the user stopped the listing (no box: the user knows);
// - NotSaved: the list was built and is in memory, but the database file (or the ROM data file
//   beside it, rom_data.h) could not be written.
Status build_database(const Settings& settings, const MamePaths& paths, MachineList& machines,
                      ViewList& view, bool& database_changed, Host& host,
                      const BuildOptions& options = {});

// The console lines shown while MAME writes its listing.
std::vector<std::string> build_banner(const Settings& settings);

// Appends one record per <machine> of the listing file to the machine list. keep_alive, when
// given, is called every few thousand elements. Fails as Missing when the file cannot be
// opened, as Error when a read fails, and as Malformed, with the "Error" box's text (see
// xml_error_text), when the listing is not well-formed to its end. roms, when given, receives
// every machine's ROMs, disks and device references (the ROM data file's content). A machine
// whose name is not a plain short name (is_plain_name) is left out; left_out, when given, is
// increased by their number. Software lists with such names are left out of the records.
Status parse_listing_file(const std::string& path, MachineList& machines,
                          Host* keep_alive = nullptr, RomData* roms = nullptr,
                          std::size_t* left_out = nullptr);
// The same over listing text held in memory.
Status parse_listing_text(std::string_view xml, MachineList& machines, RomData* roms = nullptr,
                          std::size_t* left_out = nullptr);

// The build's warning for machines left out because of their names.
std::string left_out_text(std::size_t count);

// Copies isfavourite and commandlines from the old records into the new records of the same
// name; a stored BIOS position that no longer exists becomes -1.
void carry_user_data(const MachineList& old_machines, MachineList& machines);

// Stable sort by description without regard to case.
void sort_by_description(MachineList& machines);

} // namespace orvel
