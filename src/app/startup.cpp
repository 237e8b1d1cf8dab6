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

Status apply_chosen_mame(Settings& settings, Host& host, const std::string& exe_path,
                         int version_timeout_ms) {
    const MameLocation location = locate_mame(exe_path);
    settings.MAME_Exe = location.exe;
    settings.MAME_Date = file_creation_date(exe_path);
    settings.MAME_Path = location.mame_folder;
    settings.MAME_Size = std::to_string(file_size(exe_path));
    if (is_accepted_mame_name(file_name_of(exe_path))) {
        const Result<std::string> version =
            read_mame_version(exe_path, settings.MAME_Path, version_timeout_ms);
        settings.MAME_Version = version.ok() ? *version : std::string();
        // A MAME that cannot be started says nothing of its own; one that hangs is named.
        if (version.is(FailureKind::Error))
            host.message("MAME Version", version.message(), Buttons::Ok, Icon::Warning);
    } else if (host.message("Invalid Filename", "Unknown MAME Filename. Continue?", Buttons::YesNo,
                            Icon::None) != Answer::Yes) {
        return failure("", FailureKind::Cancelled);
    }
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
    if (file_size(preferences_path(settings)) > 0) load_preferences(settings);

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
    // folder with it selected.
    if (settings.MAME_Exe.empty()) {
        const std::string found = find_mame_in(options.mame_search_path);
        const std::string chosen = host.choose_open_file(
            "Select MAME Executable", found.empty() ? std::string(mame_default_name) : found,
            mame_filter);
        if (chosen.empty()) return exit_now;
        const Status applied =
            apply_chosen_mame(settings, host, chosen, options.version_timeout_ms);
        if (applied.is(FailureKind::Cancelled)) return exit_now;
        if (!applied)
            host.message("Save Failed", "Settings Not Saved!\n" + std::string(applied.message()),
                         Buttons::Ok, Icon::Warning);
    }

    // MAME's configuration, read from its folder.
    if (const Status config = discover_mame_config(settings, paths, options.cc_timeout_ms); !config)
        host.message("MAME Configuration", config.message(), Buttons::Ok, Icon::Warning);
    return result;
}

} // namespace orvel
