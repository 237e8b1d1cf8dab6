// orvel-cli init [--mame EXE]: what start-up does when the user chooses EXE in the file dialog
// (or, without --mame, takes the MAME it finds).

#include "app/startup.h"
#include "cli/common.h"
#include "platform/files.h"
#include "platform/mame_folders.h"
#include "settings/mame_config.h"
#include "settings/preferences.h"

#include <iostream>

namespace orvel::cli {

namespace {

#ifdef _WIN32
constexpr std::string_view how_to_get_mame =
    " MAME is free: download it from the MAME project's site and unpack it in a folder of your "
    "own;";
constexpr std::string_view searched = "on PATH";
// A name holding none of these is a command's name, looked up on PATH.
constexpr std::string_view path_characters = "/\\:";
#else
constexpr std::string_view how_to_get_mame =
    " On Debian and Ubuntu, install MAME with: sudo apt install mame;";
constexpr std::string_view searched = "on PATH or in /usr/games";
constexpr std::string_view path_characters = "/";
#endif

// One line: what was not found and how to get a MAME.
int no_mame(const std::string& what) {
    return fail("init: " + what + std::string(how_to_get_mame) +
                " then run 'orvel-cli init' again, or name a MAME with 'orvel-cli init --mame "
                "EXE'.");
}

} // namespace

int cmd_init(const Options& options, const std::vector<std::string>& args) {
    std::string exe;
    bool named = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--mame" && i + 1 < args.size()) {
            exe = args[++i];
            named = true;
        } else {
            return fail("init: unexpected argument '" + args[i] +
                            "' (usage: init [--mame EXE] [--yes])",
                        usage_error);
        }
    }
    if (named && exe.empty()) return fail("init: --mame needs a file name", usage_error);
    if (!named) {
        // As the desktop's first start offers it: the MAME on PATH or in /usr/games.
        exe = find_mame_in(mame_search_path());
        if (exe.empty()) return no_mame("No MAME was found " + std::string(searched) + ".");
        std::cerr << "orvel-cli: init: using " << exe << "\n";
    } else if (exe.find_first_of(path_characters) == std::string::npos) {
        // A bare name is looked up on PATH, as a shell would.
        const std::string found = find_program_in(exe, environment_variable("PATH").value_or(""));
        if (found.empty()) return no_mame("'" + exe + "' was not found on PATH.");
        exe = full_path(found);
    } else {
        exe = full_path(exe);
    }
#ifdef _WIN32
    // As the command prompt runs it, a path without an extension may name PATH.exe.
    if (file_size(exe) < 0 && file_name_of(exe).find('.') == std::string::npos &&
        file_size(exe + ".exe") >= 0)
        exe += ".exe";
#endif
    const std::int64_t size = file_size(exe);
    if (size == -2) return fail("init: " + exe + " is a folder, not the MAME executable");
    if (size < 0) return no_mame(exe + " does not exist.");

    AppState state;
    // Preferences that cannot be read are not replaced by defaults.
    if (const Status read = load_core_settings(options, state.settings); !read)
        return fail("init: " + std::string(read.message()) + "; nothing was saved");
    // An unknown file name is accepted only when --yes says so.
    TerminalHost host(options.answer > 0 ? 1 : -1);
    // Preferences that could not be written are found below, by reading them back.
    const Status applied = apply_chosen_mame(state.settings, host, exe);
    if (applied.is(FailureKind::Cancelled))
        return fail("init: '" + file_name_of(exe) +
                    "' is not a MAME file name (mame, mame64, mame.exe, mame64.exe); give --yes "
                    "to use it anyway");
    if (applied.is(FailureKind::Refused))
        return fail("init: " + std::string(applied.message()) +
                    " Nothing was saved; choose another MAME with 'orvel-cli init --mame EXE'.");
    const std::string prefs = preferences_path(state.settings);
    const Result<std::string> written = read_file(prefs, max_preferences_bytes);
    if (!written || *written != format_preferences(state.settings))
        return fail("init: could not write " + prefs);

    report_mame_config(discover_mame_config(state.settings, state.mame_paths));
    std::cout << "MAME_Exe\t" << state.settings.MAME_Exe << "\n"
              << "MAME_Path\t" << state.settings.MAME_Path << "\n"
              << "MAME_Version\t" << state.settings.MAME_Version << "\n"
              << "preferences\t" << prefs << "\n";
    return ok;
}

} // namespace orvel::cli
