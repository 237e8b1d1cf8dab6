#include "settings/mame_config.h"

#include "platform/files.h"
#include "platform/mame_folders.h"
#include "platform/process.h"
#include "platform/text.h"

namespace orvel {

namespace {
// MAME pads every key to this many columns.
constexpr size_t key_columns = 26;
} // namespace

void parse_mame_config(MamePaths& paths, std::string_view bytes) {
    const std::string text = decode_text(bytes, TextFallback::Utf8OrLatin1);
    for (std::string_view line : split_lines(text)) {
        if (!line.empty() && line.front() == '#') continue;
        // Keys are ASCII, so counting bytes counts the columns of any line whose key can match.
        const std::string_view key = trim(line.substr(0, key_columns), " ");
        if (std::string* slot = paths.find(key)) {
            const std::string_view value = line.size() > key_columns
                                               ? trim(line.substr(key_columns), " ")
                                               : std::string_view{};
            *slot = std::string(value);
        }
    }
}

Status read_mame_config(MamePaths& paths, const std::string& file) {
    const Result<std::string> bytes = read_file(file, max_ini_file_bytes, "MAME's ini file");
    if (bytes.is(FailureKind::Missing)) return {};
    if (!bytes) return bytes.status();
    parse_mame_config(paths, *bytes);
    return {};
}

namespace {

// What "-showconfig" reports: the settings in effect and MAME's ini path. Not answered (empty
// ini path) by a MAME that does not know the switch.
struct ShownConfig {
    MamePaths paths;
    std::string inipath;
    bool timed_out = false;
};

ShownConfig show_config(const std::string& exe, const std::string& folder, int timeout_ms) {
    ShownConfig shown;
    std::string output;
    const RunResult run = run_captured(
        exe, "-showconfig", folder,
        [&output](std::string_view line) {
            output.append(line);
            output.push_back('\n');
        },
        {}, {}, timeout_ms);
    shown.timed_out = run.timed_out;
    if (!run.started || run.timed_out || run.exit_code != 0) return shown;
    parse_mame_config(shown.paths, output);
    // The ini path is no MAME path of ours: its line is read on its own.
    for (std::string_view line : split_lines(output)) {
        if (line.size() > key_columns && trim(line.substr(0, key_columns), " ") == "inipath")
            shown.inipath = std::string(trim(line.substr(key_columns), " "));
    }
    return shown;
}

// The first folder of the ini path that holds the named file (as MAME searches it), or empty.
std::string find_on_ini_path(const std::string& inipath, const std::string& mame_folder,
                             const char* name) {
    for (const std::string& folder : resolve_mame_folder_list(inipath, mame_folder))
        if (file_size(join_path(folder, name)) > 0) return join_path(folder, name);
    return {};
}

} // namespace

std::string mame_config_created_text(const std::string& folder) {
    return "MAME had no configuration of its own (no mame.ini on its ini path), so it wrote its "
           "default files (mame.ini, ui.ini and the like) in " +
           folder + ".";
}

MameConfigDiscovery discover_mame_config(const Settings& settings, MamePaths& paths,
                                         int cc_timeout_ms) {
    MameConfigDiscovery result;
    const std::string& folder = settings.MAME_Path;
    auto in_folder = [&folder](const char* name) {
        return folder.empty() ? std::string(name) : join_path(folder, name);
    };
    const std::string mame_ini = in_folder("mame.ini");
    // The first failure is the one told; the files that could be read still count.
    auto note = [&result](Status status) {
        if (result.status && !status) result.status = std::move(status);
    };
    // The files of MAME's own folder, ui.ini's values over mame.ini's.
    auto read_own = [&] {
        note(read_mame_config(paths, mame_ini));
        note(read_mame_config(paths, in_folder("ui.ini")));
    };
    if (settings.MAME_Exe.empty()) {
        read_own();
        return result;
    }
    // MAME looks in its own folder first (the first entry of its ini path, "." or ~/.mame), so
    // a mame.ini there is the one in effect and is read without starting MAME.
    if (file_size(mame_ini) > 0) {
        read_own();
        return result;
    }
    const std::string exe = mame_executable_path(settings.MAME_Exe, folder);

    // The settings in effect, whichever mame.ini MAME reads them from. MAME's files are only
    // read: a system-wide mame.ini keeps applying to this user.
    const ShownConfig shown = show_config(exe, folder, cc_timeout_ms);
    if (shown.timed_out) {
        result.status =
            failure("MAME did not answer \"-showconfig\" within " + seconds_text(cc_timeout_ms) +
                    " and was ended; its folders are not known.");
        read_own();
        return result;
    }
    if (!shown.inipath.empty()) {
        const std::string found = find_on_ini_path(shown.inipath, folder, "mame.ini");
        if (!found.empty()) {
            paths = shown.paths;
            const std::string ui_ini = find_on_ini_path(shown.inipath, folder, "ui.ini");
            if (!ui_ini.empty()) note(read_mame_config(paths, ui_ini));
            return result;
        }
    }

    // No configuration at all: MAME writes its defaults into its working folder. Its output is
    // not read; a MAME that hangs is ended after the timeout.
    {
        ChildProcess child;
        ChildProcess::Options options;
        options.working_folder = folder;
        options.discard_output = true;
        if (child.start(exe, split_arguments(" -cc"), options)) {
            if (!child.wait(cc_timeout_ms)) {
                child.kill();
                result.status = failure("MAME did not write its configuration (\"-cc\") within " +
                                        seconds_text(cc_timeout_ms) +
                                        " and was ended; its folders are not known.");
            } else if (file_size(mame_ini) > 0) {
                result.created_in = folder;
            }
        }
    }
    read_own();
    return result;
}

} // namespace orvel
