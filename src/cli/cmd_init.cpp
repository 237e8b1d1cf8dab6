// orvel-cli init --mame EXE: what start-up does when the user chooses EXE in the file dialog.

#include "app/startup.h"
#include "cli/common.h"
#include "platform/files.h"
#include "platform/mame_folders.h"
#include "settings/mame_config.h"
#include "settings/preferences.h"

#include <iostream>

namespace orvel::cli {

int cmd_init(const Options& options, const std::vector<std::string>& args) {
    std::string exe;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--mame" && i + 1 < args.size())
            exe = args[++i];
        else
            return fail("init: unexpected argument '" + args[i] + "' (usage: init --mame EXE)",
                        usage_error);
    }
    if (exe.empty()) return fail("init: --mame EXE is required", usage_error);
    if (exe.front() != '/') exe = join_path(current_directory(), exe);
    const std::int64_t size = file_size(exe);
    if (size == -2) return fail("init: " + exe + " is a folder, not the MAME executable");
    if (size < 0) return fail("init: " + exe + " does not exist");

    AppState state;
    load_core_settings(options, state.settings);
    // An unknown file name is accepted only when --yes says so.
    TerminalHost host(options.answer > 0 ? 1 : -1);
    // Preferences that could not be written are found below, by reading them back.
    if (apply_chosen_mame(state.settings, host, exe).is(FailureKind::Cancelled))
        return fail("init: '" + file_name_of(exe) +
                    "' is not a MAME file name (mame, mame64, mame.exe, mame64.exe); give --yes "
                    "to use it anyway");
    const std::string prefs = preferences_path(state.settings);
    if (read_file(prefs) != format_preferences(state.settings))
        return fail("init: could not write " + prefs);

    if (const Status config = discover_mame_config(state.settings, state.mame_paths); !config)
        std::cerr << "orvel-cli: " << config.message() << "\n";
    std::cout << "MAME_Exe\t" << state.settings.MAME_Exe << "\n"
              << "MAME_Path\t" << state.settings.MAME_Path << "\n"
              << "MAME_Version\t" << state.settings.MAME_Version << "\n"
              << "preferences\t" << prefs << "\n";
    return ok;
}

} // namespace orvel::cli
