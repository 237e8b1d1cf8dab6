#pragma once
// Starting MAME for the current machine: the questions before a run, the console run (MAME's
// output shown line by line in the "MAME Output" console until MAME ends) and the captured run
// (MAME's output written to "output.txt" and "error.txt" in the user's private temporary
// folder and opened with the associated program). MAME is started directly, never through a shell,
// with the MAME folder as its working directory.

#include "database/machine.h"
#include "host/host.h"
#include "platform/failure.h"
#include "settings/settings.h"
#include "softlist/software_list.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace orvel {

// The program to start and how a run ends.
struct MameCommand {
    std::string program;        // the executable: MAME_Path + MAME_Exe, or MAME_Exe when absolute
    std::string working_folder; // MAME_Path
    bool pause_on_exit = false; // "Press A Key To Exit" after MAME has ended
    // After a failed run, the key is asked for even without pause_on_exit: a console window
    // would otherwise vanish with MAME's reason. A terminal keeps the text, so it does not.
    bool pause_on_failure = true;
    // A run of a machine counts in the play record of the data folder (database/played.h):
    // the machine's name, or empty for a run that is no machine's (an empty run).
    std::string machine = {};
    std::string data_folder = {}; // ORVEL_Data; empty: nothing is recorded
    // MAME and whatever it starts form a group of their own, so that a run the user stops
    // (Host::stop_requested) ends them all. A terminal leaves it off: its Ctrl+C reaches MAME.
    bool own_group = false;
};
MameCommand mame_command(const Settings& settings, bool pause_on_exit);

// Console run: opens the "MAME Output" console, shows MAME's lines (both streams) as they
// arrive, waits for MAME to end, asks for a key when pause_on_exit is set, closes the console.
// A MAME that cannot be started leaves the console empty. Returns whether MAME was started;
// exit_status (when given) receives MAME's exit status (128 + the signal that ended it).
bool run_mame_in_console(const MameCommand& command, std::string_view arguments, Host& host,
                         int* exit_status = nullptr);
bool run_mame_in_console(const MameCommand& command, const std::vector<std::string>& args,
                         Host& host, int* exit_status = nullptr);

struct CapturedRun {
    bool started = false;
    int exit_status = -1; // MAME's, as above
    bool written = false; // both files written (else the user was told why)
    std::string output_path;
    std::string error_path;
};

// Opens a file with the program the desktop associates with it.
using FileOpener = std::function<bool(const std::string& path)>;

// Captured run: MAME's standard output and standard error are read through pipes (both kept
// drained, so a child flooding either never blocks). Each standard output line goes to
// "output.txt"; with it goes one waiting standard error line (or an empty line) to "error.txt",
// so line N of one file belongs with line N of the other. Standard error lines left over at the
// end follow in "error.txt" rather than being lost. Both files are UTF-8 with CR LF line ends
// and are written even when empty, in the private temporary folder, each through a file of
// its own renamed over the old one (never through a link planted in its place), then opened
// with open_file (the associated program when none is given) unless open_files is false. The
// console shows the pause prompt when asked.
CapturedRun run_mame_captured(const MameCommand& command, std::string_view arguments, Host& host,
                              const FileOpener& open_file = {}, bool open_files = true);
CapturedRun run_mame_captured(const MameCommand& command, const std::vector<std::string>& args,
                              Host& host, const FileOpener& open_file = {}, bool open_files = true);

// The software list window's part in a run: whether it is open and which item is selected.
struct SoftwareSelection {
    bool window_open = false;
    const SoftwareItem* selected = nullptr; // null when the list is empty
};

struct LaunchRequest {
    bool empty_run = false;   // MAME without a machine ("Run (Empty)")
    std::string media_switch; // an own image run: the chosen switch and file
    std::string media_file;
    bool machine_only = false; // "Start Empty" of the software list window
    bool capture = false;      // a captured run instead of a console run
    SoftwareSelection software;
    // The advanced run window's choices: without processing MAME gets the machine's name
    // alone; its runs ask nothing about the romset; its captured files are shown by the window
    // rather than opened with the associated program.
    bool process_commandline = true;
    bool ask_availability = true;
    bool open_captured = true;
};

enum class LaunchOutcome { Ran, NotStarted, Cancelled, Refused };

// Whether a media file can be handed to MAME (Refused, saying why, when not). The argument
// string has no way to write a double quote inside a quoted argument, so such a name would be
// shown one way and passed another.
Status check_media_file(std::string_view media_file);

// The arguments of a run that is not empty, as launch_mame starts MAME with them: the machine's
// name, the selected software item as one "LIST:ITEM" argument (software_argument) unless the
// run is "Start Empty" or an own image run, the BIOS and medium, and the stored options. Refused,
// with the "Error" box's text, when a name or the media file cannot be passed to MAME as it is.
Result<std::vector<std::string>> launch_arguments(const LaunchRequest& request,
                                                  const Machine& machine,
                                                  std::int64_t selected_commandline);

// The whole run of the current machine. Asks "Romset Not Found!" when the machine is not
// available and, for a run that uses the selected software item, "File Not Found!" when that
// item is missing; No to either cancels. Then starts MAME with the argument string of the
// machine, its stored command line at selected_commandline and the medium of the run
// (launch_arguments). A run whose arguments cannot be built is refused with an "Error" box.
// exit_status (when given) receives MAME's exit status when it ran. machine is null only for an
// empty run while no machine is current: nothing is asked then. A machine run without a
// machine starts nothing. captured (when given) receives a captured run's files.
LaunchOutcome launch_mame(const LaunchRequest& request, const Machine* machine,
                          std::int64_t selected_commandline, const MameCommand& command, Host& host,
                          const FileOpener& open_file = {}, int* exit_status = nullptr,
                          CapturedRun* captured = nullptr);

} // namespace orvel
