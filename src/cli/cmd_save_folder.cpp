// orvel-cli save-folder FILE [list options]: writes a folder file of the rows "list" prints
// with the same options, exactly as "Save Folder Ini" does, with FILE's folder and name as the
// answers to its two questions.

#include "cli/list_common.h"
#include "filters/folders.h"
#include "platform/files.h"

#include <filesystem>

namespace orvel::cli {

namespace {

// Answers "Ini Name" and "Ini Path" from the command line.
class SaveHost : public TerminalHost {
  public:
    SaveHost(int answer, std::string name, std::string folder)
        : TerminalHost(answer), name_(std::move(name)), folder_(std::move(folder)) {}
    std::optional<std::string> ask_text(std::string_view, std::string_view,
                                        std::string_view) override {
        return name_;
    }
    std::string choose_folder(std::string_view, std::string_view) override { return folder_; }

  private:
    std::string name_;
    std::string folder_;
};

} // namespace

int cmd_save_folder(const Options& options, const std::vector<std::string>& args) {
    ListOptions list;
    std::vector<std::string> rest;
    if (const int status = parse_list_options(args, list, &rest); status != ok) return status;
    if (rest.size() != 1) return fail("save-folder needs one FILE", usage_error);
    // FILE is taken from the working directory the command was started in.
    // Its name is UTF-8, kept so through std::filesystem (whose narrow strings are the system's
    // code page on Windows).
    const auto utf8 = [](const std::u8string& s) { return std::string(s.begin(), s.end()); };
    std::error_code ec;
    const std::filesystem::path file =
        std::filesystem::absolute(std::u8string(rest.front().begin(), rest.front().end()), ec);
    if (ec || !file.has_filename())
        return fail("save-folder: '" + rest.front() + "' is not a file name", usage_error);
    SaveHost host(options.answer, utf8(file.filename().u8string()),
                  with_separator(utf8(file.parent_path().u8string())));
    AppState state;
    std::string error;
    if (!load_machines_and_folders(options, state, host, error)) return fail(error);
    if (const int status = apply_list_options(state, list); status != ok) return status;
    const Result<std::string> saved =
        save_folder_ini(host, state.settings.MAME_Path, state.settings.MAME_Version,
                        state.settings.version_text, state.machines, state.view);
    if (!saved)
        return fail("save-folder: " + (saved.message().empty() ? std::string("nothing written")
                                                               : std::string(saved.message())));
    return ok;
}

} // namespace orvel::cli
