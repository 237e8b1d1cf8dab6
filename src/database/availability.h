#pragma once
// The availability scan: which machines the user has the romsets and CHD disks for. A machine
// is available when its romset ("name.zip", "name.7z" or a folder "name/" holding other files
// than archives and disks) lies directly in a ROM folder, when one of its disks lies in
// "<name or parent>/<disk>.chd", when it is a clone and its parent's romset was found, or when
// it needs no files of its own.

#include "database/machine.h"
#include "host/host.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace orvel {

struct AvailabilityResult {
    bool scanned = false;        // false: rompath was empty and nothing changed
    std::size_t found_files = 0; // files found below the ROM folders
    std::size_t available = 0;   // records marked available afterwards
};

// Rewrites isavailable of every record from the ROM folders of MAME's rompath (raw, as read
// from mame.ini; resolved against mame_folder). An empty rompath changes nothing. With
// step_texts the steps show "Scanning Folders...", "Comparing Database...", "Adding
// Specials..." through the host; keep_alive is called throughout either way.
AvailabilityResult check_availability(MachineList& machines, std::string_view rompath,
                                      const std::string& mame_folder, Host& host,
                                      bool step_texts = false);

// The same over folders already resolved (each ending in the separator). The walk runs as the
// host's job (on a worker thread in the desktop) and reads the records only; the flags change
// afterwards, on the calling thread, all at once.
AvailabilityResult check_availability_in(MachineList& machines,
                                         const std::vector<std::string>& rom_folders, Host& host,
                                         bool step_texts = false);

// What the walk found: one flag per record position (1: available) and the files counted.
struct AvailabilityFound {
    std::vector<char> available;
    std::size_t found_files = 0;
};

// The walk itself, leaving the records as they are.
AvailabilityFound find_available(const MachineList& machines,
                                 const std::vector<std::string>& rom_folders, Host& host,
                                 bool step_texts = false);

// Sets isavailable of every record from found (a record beyond its flags becomes unavailable).
AvailabilityResult apply_availability(MachineList& machines, const AvailabilityFound& found);

} // namespace orvel
