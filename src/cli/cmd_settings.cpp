// orvel-cli settings [--set KEY=VALUE]...: every saved setting as KEY<TAB>VALUE, in file order.
// --set changes keys (named as in the preferences file, any case; values read as the file reads
// them) and saves the preferences file of the data folder before printing.

#include "cli/common.h"
#include "platform/files.h"
#include "settings/preferences.h"

#include <iostream>
#include <utility>

namespace orvel::cli {

int cmd_settings(const Options& options, const std::vector<std::string>& args) {
    std::vector<std::pair<std::string, std::string>> changes;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] != "--set")
            return fail("settings: unexpected argument '" + args[i] +
                            "' (usage: settings [--set KEY=VALUE]...)",
                        usage_error);
        if (i + 1 == args.size()) return fail("settings: --set needs KEY=VALUE", usage_error);
        const std::string& change = args[++i];
        const size_t eq = change.find('=');
        if (eq == std::string::npos || eq == 0)
            return fail("settings: --set needs KEY=VALUE, not '" + change + "'", usage_error);
        // A line break would end the value's line and start keys or groups of its own.
        if (!is_storable_preference_value(change))
            return fail("settings: the value of '" + change.substr(0, eq) +
                            "' holds a line break or another control character, which the "
                            "preferences file cannot keep",
                        usage_error);
        changes.emplace_back(change.substr(0, eq), change.substr(eq + 1));
    }

    AppState state;
    TerminalHost host(options.answer);
    std::string error;
    // The settings are shown even before a MAME has been chosen, but never defaults in place of
    // a file that cannot be read.
    if (const Status read = load_core_settings(options, state.settings); !read)
        return fail("settings: " + std::string(read.message()));
    start_core(options, state, host, error);
    if (changes.empty()) {
        for (const PreferenceEntry& e : preference_entries(state.settings))
            std::cout << e.key << "\t" << e.value << "\n";
        return ok;
    }

    // The file of the data folder in use is rewritten with the data folder it names itself,
    // so that --data with a copied folder changes only the keys asked for.
    const std::string path = preferences_path(state.settings);
    Settings stored = state.settings;
    if (const Status read = load_preferences(stored); !read && !read.is(FailureKind::Missing))
        return fail("settings: " + std::string(read.message()));
    for (const auto& [key, value] : changes)
        if (!set_preference(stored, key, value))
            return fail("settings: '" + key + "' is not a setting (see 'orvel-cli settings')",
                        usage_error);
    if (!folder_exists(folder_of(path)))
        return fail("settings: the data folder " + folder_of(path) + " does not exist");
    if (const Status saved = save_preferences(stored, path); !saved)
        return fail("settings: " + std::string(saved.message()));
    for (const PreferenceEntry& e : preference_entries(stored))
        std::cout << e.key << "\t" << e.value << "\n";
    return ok;
}

} // namespace orvel::cli
