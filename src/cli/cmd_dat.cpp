// orvel-cli dat NAME [KIND]: the DAT texts of a machine, unwrapped, each under its header line.

#include "cli/common.h"
#include "info/dat_files.h"
#include "platform/terminal.h"
#include "platform/text.h"

#include <iostream>

namespace orvel::cli {

namespace {

// The text as the information window lists it: from the first non-empty line, without the
// line ends at the end.
std::string_view shown_part(std::string_view text) {
    while (!text.empty() && text.front() == '\n')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == '\n')
        text.remove_suffix(1);
    return text;
}

} // namespace

int cmd_dat(const Options& options, const std::vector<std::string>& args) {
    if (args.empty() || args.size() > 2) return fail("dat: usage: dat NAME [KIND]", usage_error);
    int only = 0;
    if (args.size() == 2) {
        only = dat_kind_from_text(args[1]);
        if (only == 0)
            return fail("dat: KIND is 1 to 6 or a DAT file name (\"history.dat\"), not '" +
                            args[1] + "'",
                        usage_error);
    }
    AppState state;
    TerminalHost host(options.answer);
    std::string error;
    const Machine* found = open_named_machine(options, state, host, "dat", args[0], error);
    if (!found) return fail(error);
    const Machine& machine = *found;

    const std::vector<std::string> folders =
        dat_folders(state.mame_paths.historypath, state.settings.MAME_Path);
    DatCache cache;
    // DAT files come from anywhere: on a terminal their control characters are shown, not
    // obeyed; a pipe gets the text as it is.
    const bool terminal = output_is_terminal();
    bool printed = false;
    for (int kind = 1; kind <= dat_kind_count; ++kind) {
        if (only != 0 && kind != only) continue;
        const std::string text = read_dat_entries(cache, kind, dat_lookup_key(machine), folders);
        const std::string_view shown = shown_part(text);
        if (shown.empty() && only == 0) continue;
        if (printed) std::cout << "\n";
        std::cout << dat_header(kind) << "\n\n";
        if (shown.empty())
            std::cout << "No Information";
        else if (terminal)
            std::cout << escape_control_characters(shown);
        else
            std::cout << shown;
        std::cout << "\n";
        printed = true;
    }
    if (!printed) std::cout << "No Information\n";
    return ok;
}

} // namespace orvel::cli
