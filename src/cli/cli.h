#pragma once
// orvel-cli: the program's core without windows, for scripts and tests. Every command first does
// what start-up does before its own work (defaults, the preferences file of the data folder,
// MAME's configuration) and never opens a dialog.

#include "app/app_state.h"

#include <string>
#include <vector>

namespace orvel::cli {

// Exit statuses.
inline constexpr int ok = 0;
inline constexpr int failure = 1;
inline constexpr int usage_error = 2;

struct Options {
    std::string data_folder; // --data DIR; empty: the default data folder (default_data_folder)
    int answer = 0;          // --yes: 1, --no: -1, neither: 0 (ask on the terminal)
};

// A command gets the global options and the words after its name.
using Command = int (*)(const Options& options, const std::vector<std::string>& args);

// Prints "orvel-cli: MESSAGE" on standard error and returns failure (or the given status).
int fail(const std::string& message, int status = failure);

} // namespace orvel::cli
