// orvel-cli config: MAME's configured folders as KEY<TAB>RAW<TAB>RESOLVED (";"-joined).

#include "cli/common.h"
#include "platform/mame_folders.h"

#include <iostream>

namespace orvel::cli {

int cmd_config(const Options& options, const std::vector<std::string>& args) {
    if (!args.empty())
        return fail("config: unexpected argument '" + args.front() + "'", usage_error);
    AppState state;
    TerminalHost host(options.answer);
    std::string error;
    if (!start_core(options, state, host, error)) return fail(error);
    for (const MamePaths::Key& key : MamePaths::keys()) {
        const std::string& raw = state.mame_paths.*key.field;
        std::string resolved;
        for (const std::string& folder : resolve_mame_folder_list(raw, state.settings.MAME_Path)) {
            if (!resolved.empty()) resolved += ";";
            resolved += folder;
        }
        std::cout << key.name << "\t" << raw << "\t" << resolved << "\n";
    }
    return ok;
}

} // namespace orvel::cli
