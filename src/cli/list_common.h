#pragma once
// What the list-shaped orvel-cli commands share: loading the machines and category folders as
// start-up does, and the list options (tree choices, folder, search, sort) applied as clicks
// in the filter tree and typing in the search box would.

#include "app/app_state.h"
#include "cli/cli.h"
#include "cli/common.h"
#include "filters/filter_pass.h"

#include <optional>
#include <string>
#include <vector>

namespace orvel::cli {

// start_core, then the machine database (loaded, or built when missing, as start-up does) and
// the category folders. False with a reason when there is no MAME or no machine.
bool load_machines_and_folders(const Options& options, AppState& state, Host& host,
                               std::string& error);

struct ListOptions {
    struct Choice {
        bool folder = false; // --folder rather than --choose
        std::string path;    // "GROUP/CHILD" or "FOLDER/SUB-FOLDER"
    };
    std::vector<Choice> choices; // in the order given
    std::optional<std::string> search;
    std::optional<SortType> sort;
    bool count = false;
};

// Parses the list options; words that are not list options go to rest (when given, else they
// are an error). Returns ok, or usage_error with the message printed.
int parse_list_options(const std::vector<std::string>& args, ListOptions& out,
                       std::vector<std::string>* rest);

// Builds the tree items, applies the choices in order as tree clicks, then the search text,
// and runs the filter pass. A choice that names no group or child of the tree is a usage error
// (printed, the unknown name included).
int apply_list_options(AppState& state, const ListOptions& options);

} // namespace orvel::cli
