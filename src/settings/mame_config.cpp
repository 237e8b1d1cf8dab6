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

void read_mame_config(MamePaths& paths, const std::string& file) {
    const auto bytes = read_file(file);
    if (!bytes) return;
    parse_mame_config(paths, *bytes);
}

Status discover_mame_config(const Settings& settings, MamePaths& paths, int cc_timeout_ms) {
    Status result;
    const std::string& folder = settings.MAME_Path;
    auto in_folder = [&folder](const char* name) {
        return folder.empty() ? std::string(name) : join_path(folder, name);
    };
    const std::string mame_ini = in_folder("mame.ini");
    if (file_size(mame_ini) <= 0 && !settings.MAME_Exe.empty()) {
        // MAME writes its default configuration into its working folder. Its output is not
        // read; a MAME that hangs is ended after the timeout.
        ChildProcess child;
        ChildProcess::Options options;
        options.working_folder = folder;
        options.discard_output = true;
        if (child.start(mame_executable_path(settings.MAME_Exe, folder), split_arguments(" -cc"),
                        options)) {
            if (!child.wait(cc_timeout_ms)) {
                child.kill();
                result = failure("MAME did not write its configuration (\"-cc\") within " +
                                 seconds_text(cc_timeout_ms) +
                                 " and was ended; its folders are not known.");
            }
        }
    }
    read_mame_config(paths, mame_ini);
    read_mame_config(paths, in_folder("ui.ini"));
    return result;
}

} // namespace orvel
