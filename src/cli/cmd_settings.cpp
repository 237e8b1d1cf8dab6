// orvel-cli settings: every saved setting as KEY<TAB>VALUE, in file order.

#include "cli/common.h"
#include "settings/preferences.h"

#include <iostream>

namespace orvel::cli {

int cmd_settings(const Options& options, const std::vector<std::string>& args) {
    if (!args.empty())
        return fail("settings: unexpected argument '" + args.front() + "'", usage_error);
    AppState state;
    TerminalHost host(options.answer);
    std::string error;
    // The settings are shown even before a MAME has been chosen.
    start_core(options, state, host, error);
    for (const PreferenceEntry& e : preference_entries(state.settings))
        std::cout << e.key << "\t" << e.value << "\n";
    return ok;
}

} // namespace orvel::cli
