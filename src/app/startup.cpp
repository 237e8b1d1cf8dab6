#include "app/startup.h"

#include "info/version_info.h"
#include "platform/files.h"
#include "platform/mame_folders.h"
#include "platform/process.h"
#include "platform/text.h"
#include "settings/mame_config.h"
#include "settings/preferences.h"

#include <filesystem>
#include <fstream>

namespace orvel {

namespace {

#ifdef _WIN32
constexpr std::string_view mame_default_name = "mame64.exe";
constexpr std::string_view mame_filter = "Executable (*.exe)|*.exe";
#else
// MAME on Linux and macOS carries no extension; a Windows build may still be chosen (for its
// version resource and a later run through a compatibility layer).
constexpr std::string_view mame_default_name = "mame";
constexpr std::string_view mame_filter = "Executable (mame mame64 *.exe)|mame;mame64;*.exe";
#endif

bool starts_with_mz(const std::string& path) {
    // The path is UTF-8: through std::filesystem it reaches Windows as UTF-16.
    std::ifstream in(std::filesystem::path(std::u8string(path.begin(), path.end())),
                     std::ios::binary);
    char magic[2] = {};
    return in.read(magic, 2) && magic[0] == 'M' && magic[1] == 'Z';
}

} // namespace

std::string no_mame_found_text() {
#ifdef _WIN32
    return "No MAME was found on PATH.\n\nMAME is free: download it from the MAME project's "
           "site, unpack it in a folder of your own, then choose mame.exe here.";
#else
    return "No MAME was found on PATH or in /usr/games.\n\nOn Debian and Ubuntu, install it "
           "with:\n    sudo apt install mame\nthen start Orvel again, or choose a MAME of your "
           "own here.";
#endif
}

Result<std::string> read_mame_version(const std::string& exe_path, const std::string& mame_folder,
                                      int timeout_ms) {
    if (starts_with_mz(exe_path)) {
        std::string version = read_version_info(exe_path, version_product_version, false);
        if (!version.empty()) return version;
    }
    // Not a Windows executable (or one without a version resource): MAME prints its version
    // for "-version", the first word being the number ("0.251 (unknown)").
    std::string first_line;
    bool have_line = false;
    const RunResult run = run_captured(
        exe_path, "-version", mame_folder,
        [&](std::string_view line) {
            if (!have_line && !trim(line).empty()) {
                first_line = std::string(trim(line));
                have_line = true;
            }
        },
        {}, {}, timeout_ms);
    if (run.timed_out)
        return failure("MAME did not answer \"-version\" within " + seconds_text(timeout_ms) +
                       " and was ended; its version is not known.");
    if (!run.started) return failure("MAME could not be started", FailureKind::Missing);
    const size_t blank = first_line.find_first_of(" \t");
    return first_line.substr(0, blank);
}

std::string not_mame_text(const std::string& exe_path, const Result<std::string>& version) {
    if (version.is(FailureKind::Missing))
        return "\"" + exe_path + "\" could not be started, so it cannot be MAME.";
    return "\"" + exe_path +
           "\" printed no version for \"-version\" (MAME prints its version there, and lists "
           "its machines for \"-listxml\"), so it does not look like MAME.";
}

Status apply_chosen_mame(Settings& settings, Host& host, const std::string& exe_path,
                         int version_timeout_ms) {
    if (!is_accepted_mame_name(file_name_of(exe_path)) &&
        host.message("Invalid Filename", "Unknown MAME Filename. Continue?", Buttons::YesNo,
                     Icon::None) != Answer::Yes)
        return failure("", FailureKind::Cancelled);
    const MameLocation location = locate_mame(exe_path);
    // A program that does not answer "-version" as MAME does is not taken: keeping it would only
    // lead to a build with no machines at every start.
    const Result<std::string> version =
        read_mame_version(exe_path, location.mame_folder, version_timeout_ms);
    if (version.is(FailureKind::Missing) || (version.ok() && version->empty()))
        return failure(not_mame_text(exe_path, version), FailureKind::Refused);
    settings.MAME_Exe = location.exe;
    settings.MAME_Date = file_creation_date(exe_path);
    settings.MAME_Path = location.mame_folder;
    settings.MAME_Size = std::to_string(file_size(exe_path));
    settings.MAME_Version = version.ok() ? *version : std::string();
    // A MAME that hangs is named; it is kept all the same (it may only be slow).
    if (version.is(FailureKind::Error))
        host.message("MAME Version", version.message(), Buttons::Ok, Icon::Warning);
    // Neither a data folder that cannot be created nor preferences that cannot be written stop
    // start-up (the next start simply asks again), but the caller hears of it.
    if (!folder_exists(settings.ORVEL_Data)) create_folder(settings.ORVEL_Data);
    if (const Status saved = save_preferences(settings, preferences_path(settings)); !saved)
        return failure(std::string(saved.message()), FailureKind::NotSaved);
    return {};
}

StartupOptions program_startup_options(const std::string& start_directory,
                                       const std::string& program_folder) {
    StartupOptions options;
    options.start_directory = start_directory;
    options.data_folder = default_data_folder(start_directory, program_folder);
    options.mame_search_path = mame_search_path();
    return options;
}

StartupResult run_startup(Settings& settings, MamePaths& paths, Host& host,
                          const StartupOptions& options) {
    StartupResult result;
    const StartupResult exit_now{StartupOutcome::Exit, false};

    // Defaults, then the preferences file of the default data folder.
    set_default_settings(settings, options.start_directory, options.desktop_width,
                         options.desktop_height);
    if (!options.data_folder.empty()) settings.ORVEL_Data = with_separator(options.data_folder);
    // Preferences that are there but cannot be read end the start: going on would replace them
    // with the defaults at the first save.
    if (const Status read = load_preferences(settings); !read && !read.is(FailureKind::Missing)) {
        host.message("Preferences",
                     std::string(read.message()) +
                         "\n\nOrvel ends here so that the file is not replaced; make it "
                         "readable, or move it away to start afresh.",
                     Buttons::Ok, Icon::Error);
        return exit_now;
    }

    // A MAME whose size changed since it was chosen. The old database stays until the new
    // one is built, so favourites and stored command lines can be carried over.
    if (!settings.MAME_Exe.empty()) {
        const std::int64_t size =
            file_size(mame_executable_path(settings.MAME_Exe, settings.MAME_Path));
        if (size >= 0 && size != leading_number(settings.MAME_Size)) {
            if (host.message("MAME Update",
                             "Your version of MAME has changed\r\nWould you like to refresh "
                             "the database?",
                             Buttons::YesNo, Icon::None) == Answer::Yes) {
                settings.MAME_Exe.clear();
                result.refresh_database = true;
            }
        }
    }

    // A MAME that is gone (a folder in its place counts as gone).
    if (!settings.MAME_Exe.empty() &&
        file_size(mame_executable_path(settings.MAME_Exe, settings.MAME_Path)) < 0) {
        if (host.message("MAME EXE Missing",
                         "Your MAME Executable is missing\r\nWould you like to select a new file?",
                         Buttons::YesNo, Icon::None) != Answer::Yes)
            return exit_now;
        settings.MAME_Exe.clear();
    }

    // Choosing MAME. A MAME found on the search path is offered first: the dialog opens in its
    // folder with it selected. When the search finds none, the user first hears how to get one.
    if (settings.MAME_Exe.empty()) {
        const std::string found = find_mame_in(options.mame_search_path);
        if (found.empty() && !options.mame_search_path.empty())
            host.message("MAME Not Found", no_mame_found_text(), Buttons::Ok, Icon::Information);
        std::string offered = found.empty() ? std::string(mame_default_name) : found;
        for (;;) {
            const std::string chosen =
                host.choose_open_file("Select MAME Executable", offered, mame_filter);
            if (chosen.empty()) return exit_now;
            const Status applied =
                apply_chosen_mame(settings, host, chosen, options.version_timeout_ms);
            if (applied.is(FailureKind::Cancelled)) return exit_now;
            if (applied.is(FailureKind::Refused)) {
                if (host.message("Not MAME",
                                 std::string(applied.message()) + "\n\nChoose another MAME?",
                                 Buttons::YesNo, Icon::Warning) != Answer::Yes)
                    return exit_now;
                offered = chosen;
                continue;
            }
            if (!applied)
                host.message("Save Failed",
                             "Settings Not Saved!\n" + std::string(applied.message()), Buttons::Ok,
                             Icon::Warning);
            break;
        }
    }

    // MAME's configuration, read from its folder.
    const MameConfigDiscovery config = discover_mame_config(settings, paths, options.cc_timeout_ms);
    if (!config.status)
        host.message("MAME Configuration", config.status.message(), Buttons::Ok, Icon::Warning);
    if (!config.created_in.empty())
        host.message("MAME Configuration", mame_config_created_text(config.created_in), Buttons::Ok,
                     Icon::Information);
    return result;
}

} // namespace orvel
