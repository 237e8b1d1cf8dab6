#pragma once
// The romset audit: whether every ROM and disk a machine needs is in the ROM folders, with the
// right size and CRC (disks: the SHA-1 in their header), without running MAME.
//
// A machine's ROMs are looked for where MAME looks: in the romsets named by the machine and the
// sets it takes ROMs from (its parent, then its BIOS: the "romof" chain), and a device's ROMs in
// the device's own set. A romset is "NAME.zip", "NAME.7z" or a folder "NAME/" in any ROM folder;
// all of them count. So merged, split and non-merged collections all audit the same way. Each
// romset is read once per auditor, however many machines share it.

#include "audit/archive_entries.h"
#include "database/machine.h"
#include "database/rom_data.h"
#include "host/host.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orvel {

enum class RomStatus : std::uint8_t {
    Good,           // the right name, size and CRC (or disk SHA-1)
    BadDump,        // found; no good dump is known, so its CRC is not required
    NoDumpAbsent,   // not found, and no dump exists: never missing
    OptionalAbsent, // not found, and the machine runs without it
    Missing,
    WrongSize,  // found by name with another size
    WrongCrc,   // found by name with the right size but another CRC (or disk SHA-1)
    WrongName,  // the right size and CRC found under another name (found_as)
    WrongSha1,  // the deep check decompressed it and its SHA-1 differs
    Unreadable, // the deep check could not decompress it
};

// The status as the command line and the window show it ("good", "wrong crc", ...).
std::string_view rom_status_text(RomStatus status);
// Whether the machine runs with a ROM in this state.
bool rom_status_ok(RomStatus status);

struct RomFinding {
    std::uint32_t rom = 0; // position in RomData::roms()
    std::uint32_t set = 0; // the set whose ROM it is: the machine or one of its devices
    RomStatus status = RomStatus::Missing;
    std::string where;    // the archive or folder it was found in; empty when not found
    std::string found_as; // the entry's name inside where
    std::uint64_t found_size = 0;
    std::uint32_t found_crc = 0;
};

struct MachineAudit {
    AuditVerdict verdict = AuditVerdict::Unknown;
    std::vector<RomFinding> roms; // the machine's own ROMs and disks, then its devices'
};

class RomsetAuditor {
  public:
    // rom_folders are resolved and end in the separator; they are listed once, here.
    RomsetAuditor(const RomData& data, std::vector<std::string> rom_folders);
    ~RomsetAuditor();
    RomsetAuditor(const RomsetAuditor&) = delete;
    RomsetAuditor& operator=(const RomsetAuditor&) = delete;

    // The verdict alone, for the whole collection.
    AuditVerdict verdict(std::uint32_t set);
    // The verdict with what was found for each ROM.
    MachineAudit audit(std::uint32_t set);
    // The same, then every ROM that was found is decompressed and its SHA-1 compared.
    MachineAudit deep_audit(std::uint32_t set);

    // Archives and folders read so far.
    std::size_t sources_read() const;

  private:
    struct State;
    std::unique_ptr<State> state_;
};

struct AuditRun {
    std::vector<AuditVerdict> verdicts; // one per set of the ROM data, in its order
    bool cancelled = false;
    std::size_t sources_read = 0;
};

// Audits every set, reporting "Auditing Romsets... N%" through progress. cancel, when given,
// is polled between machines; a cancelled run returns what it had (the rest stays Unknown).
AuditRun audit_romsets(const RomData& data, const std::vector<std::string>& rom_folders,
                       Host& progress, const std::atomic<bool>* cancel = nullptr);

} // namespace orvel
