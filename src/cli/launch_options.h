#pragma once
// The options that orvel-cli's args and run commands share, and the machine they name.

#include "app/app_state.h"
#include "host/host.h"

#include <cstdint>
#include <string>
#include <vector>

namespace orvel::cli {

struct RunOptions {
    std::string machine;
    std::int64_t commandline = 0; // --commandline N: the stored command line (0-based)
    std::string media_switch;     // --media SWITCH FILE
    std::string media_file;
    bool has_media = false;
    std::string software_list; // --software LIST ITEM (run only)
    std::string software_item;
    bool empty = false;   // --empty
    bool capture = false; // --capture (run only)
    bool pause = false;   // --pause (run only)
};

// Reads NAME and the options after it; with_run_options admits those of run. False with a
// one-line reason on bad input.
bool parse_run_options(const std::string& command, const std::vector<std::string>& args,
                       bool with_run_options, RunOptions& run, std::string& error);

// Loads the machine database (building it from MAME's listing when there is none yet) and
// makes the named machine current. Null, with a reason, when there is no such machine or its
// stored command line does not exist.
const Machine* load_machine(AppState& state, Host& host, const RunOptions& run, std::string& error);

} // namespace orvel::cli
