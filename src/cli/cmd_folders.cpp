// orvel-cli folders: the category folders as the tree shows them,
// FOLDER<TAB>SUB-FOLDER<TAB>NUMBER OF REFERENCES.

#include "cli/list_common.h"
#include "filters/folders.h"
#include "platform/terminal.h"
#include "platform/text.h"

#include <iostream>

namespace orvel::cli {

int cmd_folders(const Options& options, const std::vector<std::string>& args) {
    if (!args.empty())
        return fail("folders: unexpected argument '" + args.front() + "'", usage_error);
    AppState state;
    TerminalHost host(options.answer);
    std::string error;
    if (!load_machines_and_folders(options, state, host, error)) return fail(error);
    // Folder files come from anywhere: on a terminal their control characters are shown, not
    // obeyed; a pipe gets the names as they are.
    const bool terminal = output_is_terminal();
    const auto shown = [terminal](const std::string& text) {
        return terminal ? escape_control_characters(text) : text;
    };
    for (const Folder& folder : state.folders)
        for (const SubFolder& sub : folder.sub_folders)
            std::cout << shown(folder.caption) << "\t" << shown(sub.caption) << "\t"
                      << sub.machines.size() << "\n";
    return ok;
}

} // namespace orvel::cli
