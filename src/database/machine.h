#pragma once
// One MAME machine (one romset) and the lists that hold them. Text fields are named like the
// database file's keys; the empty string means absent. Flags hold the word MAME wrote ("yes",
// or "no" for runnable) or stay empty.

#include <cstdint>
#include <string>
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
    std::string requires_roms;
    std::string isbios;
    std::string isdevice;
    std::string ismechanical;
    std::string isfavourite;
    std::string isavailable;
    std::string runnable;
    std::uint8_t filtered_out = 0;
    std::string screen_type;
    std::string screen_rotate;
    std::string driver_status;
    std::string driver_emulation;
    std::vector<CommandLine> commandlines;
    std::vector<BiosSet> bios_sets;
    std::vector<DriverFeature> driver_features;
    std::vector<std::string> softwarelists;
    std::vector<std::string> disks;

    bool is_favourite() const { return isfavourite == "yes"; }
    bool is_available() const { return isavailable == "yes"; }
};

// Every machine, in list order; a record is stored once and reached by position.
using MachineList = std::vector<Machine>;
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
