#include "database/availability.h"

#include "platform/files.h"
#include "platform/mame_folders.h"
#include "platform/text.h"

#include <unordered_map>

namespace orvel {

namespace {

bool ends_with(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// Expected paths, relative to a ROM folder and in lower case, with "/" between folder and
// file: "name.zip", "name.7z", "name/" (a romset kept as a plain folder) and
// "parent/disk.chd". Each maps to the position of the record that expects it; a later record
// replaces an earlier one for the same path.
using Expected = std::unordered_map<std::string, size_t>;

Expected expected_paths(const MachineList& machines, Host& host) {
    Expected expected;
    expected.reserve(machines.size() * 4);
    std::string key;
    for (size_t i = 0; i < machines.size(); ++i) {
        const Machine& m = machines[i];
        if ((i & 1023) == 0) host.keep_alive();
        const std::string name = to_lower(m.name);
        expected.insert_or_assign(name + ".zip", i);
        expected.insert_or_assign(name + ".7z", i);
        expected.insert_or_assign(name + "/", i);
        // A clone's disks are looked for in its parent's folder.
        const std::string disk_folder = m.cloneof.empty() ? name : to_lower(m.cloneof);
        for (const std::string& disk : m.disks) {
            key = disk_folder;
            key += '/';
            key += to_lower(disk);
            key += ".chd";
            expected.insert_or_assign(key, i);
        }
    }
    return expected;
}

} // namespace

AvailabilityResult check_availability(MachineList& machines, std::string_view rompath,
                                      const std::string& mame_folder, Host& host, bool step_texts) {
    if (rompath.empty()) return {};
    return check_availability_in(machines, resolve_mame_folder_list(rompath, mame_folder), host,
                                 step_texts);
}

AvailabilityResult check_availability_in(MachineList& machines,
                                         const std::vector<std::string>& rom_folders, Host& host,
                                         bool step_texts) {
    // The walk reads the records only; what it found replaces the flags in one go afterwards.
    AvailabilityFound found;
    host.run_job([&](Host& progress) {
        found = find_available(machines, rom_folders, progress, step_texts);
    });
    return apply_availability(machines, found);
}

AvailabilityResult apply_availability(MachineList& machines, const AvailabilityFound& found) {
    AvailabilityResult result;
    result.scanned = true;
    result.found_files = found.found_files;
    for (size_t i = 0; i < machines.size(); ++i) {
        machines[i].isavailable = i < found.available.size() && found.available[i] != 0;
        if (machines[i].isavailable) ++result.available;
    }
    return result;
}

AvailabilityFound find_available(const MachineList& machines,
                                 const std::vector<std::string>& rom_folders, Host& host,
                                 bool step_texts) {
    AvailabilityFound result;
    result.available.assign(machines.size(), 0);
    std::vector<char>& available = result.available;
    host.keep_alive();
    if (step_texts) host.set_progress("Scanning Folders...");

    const Expected expected = expected_paths(machines, host);

    // The romsets found (as opposed to disks), by record position: a machine that borrows
    // ROMs is available when the set it borrows from was found.
    std::vector<char> romset_found(machines.size(), 0);
    bool compared = false;
    auto mark = [&](size_t pos, bool romset) {
        available[pos] = 1;
        if (romset) romset_found[pos] = 1;
    };

    for (const std::string& folder : rom_folders) {
        const std::vector<std::string> files = collect_files_recursive(folder);
        host.keep_alive();
        if (step_texts && !compared && !files.empty()) {
            host.set_progress("Comparing Database...");
            compared = true;
        }
        size_t n = 0;
        for (const std::string& file : files) {
            if ((++n & 1023) == 0) host.keep_alive();
            std::string path = to_lower(file);
            for (char& c : path)
                if (c == '\\') c = '/';
            const size_t slash = path.find('/');
            if (slash == std::string::npos) {
                // Directly in the ROM folder: an archived romset.
                const bool zip = ends_with(path, ".zip"), sevenz = ends_with(path, ".7z");
                if (zip || sevenz || ends_with(path, ".chd")) ++result.found_files;
                if (zip || sevenz)
                    if (auto it = expected.find(path); it != expected.end()) mark(it->second, true);
                continue;
            }
            if (ends_with(path, ".chd")) {
                ++result.found_files;
                if (auto it = expected.find(path); it != expected.end()) mark(it->second, false);
                continue;
            }
            if (ends_with(path, ".zip") || ends_with(path, ".7z")) {
                // Found, though not where a romset is looked for: a software item of the list
                // named like the folder ("neogeo/mslug.zip"), which says nothing about the
                // machine of that name.
                ++result.found_files;
                continue;
            }
            // Any other file inside a first-level folder named after a machine: a romset kept
            // as a plain folder.
            if (auto it = expected.find(path.substr(0, slash + 1)); it != expected.end()) {
                if (!romset_found[it->second]) ++result.found_files;
                mark(it->second, true);
            }
        }
    }

    host.keep_alive();
    if (step_texts) host.set_progress("Adding Specials...");
    const bool any_found = result.found_files > 0;
    std::string key;
    for (size_t i = 0; i < machines.size(); ++i) {
        const Machine& m = machines[i];
        if ((i & 1023) == 0) host.keep_alive();
        if (available[i]) continue;
        bool special = m.name == "vic10" || !m.requires_roms;
        if (any_found && !special) {
            special = m.isdevice;
            // A clone runs from its parent's set (a merged set holds its clones). Borrowing
            // ROMs from a BIOS (romof without cloneof) is not enough: the machine's own set
            // must be there too.
            if (!special && !m.cloneof.empty()) {
                key = to_lower(m.cloneof);
                key += ".zip";
                if (auto it = expected.find(key); it != expected.end())
                    special = romset_found[it->second] != 0;
            }
        }
        if (special) available[i] = 1;
    }
    return result;
}

} // namespace orvel
