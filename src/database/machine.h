#pragma once
// One MAME machine (one romset) and the lists that hold them. Fields are named like the
// database file's keys. Text fields hold what MAME wrote; the empty string means absent. The
// yes/no attributes are plain flags here: their words ("yes", or "no" for runnable) exist only
// in the listing parser and the database file's reader and writer.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvel {

struct CommandLine {
    std::string commandline_name;
    std::string commandline_string;
    std::int64_t commandline_bios = -1; // -1: no BIOS chosen; else a position in bios_sets
};

struct BiosSet {
    std::string bios_name;
    std::string bios_description;
};

struct DriverFeature {
    std::string driver_feature_type;
    std::string driver_feature_status;
    std::string driver_feature_overall;
};

// The romset audit's answer for a machine (kept in a file of the audit's own, not in the
// database file). Unknown until an audit has run.
enum class AuditVerdict : std::uint8_t { Unknown, Complete, Incomplete, Missing, NoRoms };
// "Complete", "Incomplete", "Missing", "Needs No ROMs", or "" for Unknown.
std::string_view audit_verdict_text(AuditVerdict verdict);

// What the user has played of a machine (kept in a file of its own, database/played.h).
struct PlayRecord {
    std::int64_t times = 0;      // runs started from Orvel
    std::int64_t last_start = 0; // when the last one started, seconds since 1970 (UTC)
    std::int64_t seconds = 0;    // how long MAME ran in all
};

struct Machine {
    std::string name;
    std::string description;
    std::string system_type;
    std::string sourcefile;
    std::string romof;
    std::string cloneof;
    std::string year;
    std::string manufacturer;
    std::string sampleof;
    std::string screen_type;
    std::string screen_rotate;
    std::string driver_status;
    std::string driver_emulation;
    std::vector<CommandLine> commandlines;
    std::vector<BiosSet> bios_sets;
    std::vector<DriverFeature> driver_features;
    std::vector<std::string> softwarelists;
    std::vector<std::string> disks;
    bool requires_roms = false; // MAME lists at least one ROM for it
    bool isbios = false;
    bool isdevice = false;
    bool ismechanical = false;
    bool isfavourite = false; // marked by the user
    bool isavailable = false; // found by the last availability scan
    bool runnable = true;     // false when MAME says it cannot run by itself
    AuditVerdict audit = AuditVerdict::Unknown;
    PlayRecord played;
};

// Every machine, in list order; a record is stored once and reached by position.
//
// The list carries a generation number, and caches derived from it (the filter pass's search
// keys, sort order and record properties) are keyed by that number. Numbers are unique in the
// process, so one number always means one content: a copy keeps it, clearing a list and moving
// from it give it a new number by themselves, the listing parser, the database file reader and the
// sort bump it when they are done, and whoever else adds, removes, reorders or edits records in
// place (a name, a description or any field other than the favourite and availability marks) calls
// bump_generation().
class MachineList : public std::vector<Machine> {
  public:
    using std::vector<Machine>::vector;
    MachineList() = default;
    MachineList(const MachineList&) = default;
    MachineList(MachineList&& other) noexcept;
    MachineList& operator=(const MachineList&) = default;
    MachineList& operator=(MachineList&& other) noexcept;
    ~MachineList() = default;

    void clear() noexcept;
    void swap(MachineList& other) noexcept;
    std::uint64_t generation() const { return generation_; }
    void bump_generation();

  private:
    std::uint64_t generation_ = next_generation();
    static std::uint64_t next_generation();
};

// Positions in the machine list of the rows the list view shows (row N shows element N).
using ViewList = std::vector<std::int64_t>;

// The build's single stored command line: "Default", no options, no BIOS.
CommandLine default_commandline();
// Fills the view list with every position of the machine list in order.
void reset_view_list(const MachineList& machines, ViewList& view);
// Position of the machine with this short name, or -1 (a linear walk: callers that look up
// many names build their own map).
std::int64_t find_machine(const MachineList& machines, const std::string& name);

// Favourite marking; each returns true when the record changed (the caller sets the
// database-changed flag).
bool set_favourite(Machine& machine);
bool clear_favourite(Machine& machine);

} // namespace orvel
