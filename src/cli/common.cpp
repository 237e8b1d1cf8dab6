#include "cli/common.h"

#include "app/database_save.h"
#include "app/startup_database.h"
#include "platform/files.h"
#include "platform/terminal.h"
#include "settings/mame_config.h"
#include "settings/preferences.h"

#include <iostream>
#include <string>

namespace orvel::cli {

namespace {

// Message texts use CR LF between the lines of a question; on the terminal they become one line.
// A lone line feed (the XML error text) stays a line break.
std::string terminal_text(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            out.push_back(' ');
            ++i;
        } else if (text[i] != '\r') {
            out.push_back(text[i]);
        }
    }
    return out;
}

} // namespace

Answer TerminalHost::message(std::string_view title, std::string_view text, Buttons buttons,
                             Icon /*icon*/) {
    std::cerr << title << ": " << terminal_text(text);
    if (buttons == Buttons::Ok) {
        std::cerr << "\n";
        return Answer::Ok;
    }
    if (buttons == Buttons::ReloadOverwriteCancel) {
        // A script says what it wants beforehand: --yes overwrites, --no keeps the other
        // program's file; without either nothing is written.
        if (answer_ > 0) {
            std::cerr << " [overwrite]\n";
            return Answer::No;
        }
        std::cerr << (answer_ < 0 ? " [kept]\n"
                                  : " [cancelled: --yes overwrites it, --no keeps it]\n");
        return Answer::Cancel;
    }
    if (answer_ != 0) {
        std::cerr << (answer_ > 0 ? " [yes]\n" : " [no]\n");
        return answer_ > 0 ? Answer::Yes : Answer::No;
    }
    const bool cancel = buttons == Buttons::YesNoCancel;
    std::cerr << (cancel ? " [y/n/C] " : " [y/N] ") << std::flush;
    std::string line;
    if (!input_ready(200) || !std::getline(std::cin, line)) {
        std::cerr << (cancel ? "cancel\n" : "no\n");
        return default_answer(buttons);
    }
    if (!line.empty() && (line[0] == 'y' || line[0] == 'Y')) return Answer::Yes;
    if (cancel && (line.empty() || (line[0] != 'n' && line[0] != 'N'))) return Answer::Cancel;
    return Answer::No;
}

// orvel-cli opens no dialogs: a chooser is always cancelled, and commands take files as options.
std::string TerminalHost::choose_open_file(std::string_view, std::string_view, std::string_view) {
    return {};
}
std::string TerminalHost::choose_save_file(std::string_view, std::string_view, std::string_view) {
    return {};
}
std::string TerminalHost::choose_folder(std::string_view, std::string_view) {
    return {};
}
std::optional<std::string> TerminalHost::ask_text(std::string_view, std::string_view,
                                                  std::string_view) {
    return std::nullopt;
}

void TerminalHost::set_progress(std::string_view text) {
    if (!text.empty()) std::cerr << text << "\n";
}

void TerminalHost::console_open(std::string_view title) {
    std::cerr << "== " << title << "\n";
}
void TerminalHost::console_line(std::string_view line) {
    std::cout << line << "\n";
}
void TerminalHost::console_wait_for_key(std::string_view prompt) {
    std::cout << prompt << std::endl;
    // Only a terminal is waited for: without one nobody could press the key.
    if (input_is_terminal()) {
        std::string line;
        std::getline(std::cin, line);
    }
}
void TerminalHost::console_close() {
    std::cout << std::flush;
}

Status load_core_settings(const Options& options, Settings& settings) {
    set_default_settings(settings, current_directory());
    std::string data_folder;
    if (!options.data_folder.empty()) {
        data_folder = options.data_folder;
        if (data_folder.front() != '/') data_folder = join_path(current_directory(), data_folder);
        data_folder = with_separator(data_folder);
        settings.ORVEL_Data = data_folder;
    } else {
        settings.ORVEL_Data = default_data_folder(current_directory(), program_folder());
    }
    Status read = load_preferences(settings);
    // A folder named with --data stays the data folder even when the file it holds was written
    // in another folder (a copied or moved data folder).
    if (!data_folder.empty()) settings.ORVEL_Data = data_folder;
    if (read.is(FailureKind::Missing)) return {};
    return read;
}

void report_mame_config(const MameConfigDiscovery& config) {
    if (!config.status) std::cerr << "orvel-cli: " << config.status.message() << "\n";
    if (!config.created_in.empty())
        std::cerr << "orvel-cli: " << mame_config_created_text(config.created_in) << "\n";
}

bool start_core(const Options& options, AppState& state, Host& /*host*/, std::string& error) {
    if (const Status read = load_core_settings(options, state.settings); !read) {
        error = std::string(read.message());
        return false;
    }
    if (state.settings.MAME_Exe.empty()) {
        error = "no MAME executable has been chosen for " + state.settings.ORVEL_Data +
                " (run 'orvel-cli init --mame EXE' first)";
        return false;
    }
    report_mame_config(discover_mame_config(state.settings, state.mame_paths));
    return true;
}

namespace {
// MAME's console lines of a listing build go to standard error.
class BuildConsoleHost : public ForwardingHost {
  public:
    using ForwardingHost::ForwardingHost;
    void console_open(std::string_view title) override { std::cerr << "== " << title << "\n"; }
    void console_line(std::string_view line) override { std::cerr << line << "\n"; }
    void console_wait_for_key(std::string_view) override {}
    void console_close() override {}
};
} // namespace

bool open_machine_database(AppState& state, Host& host, std::string& error, bool refresh,
                           bool* save_failed) {
    BuildConsoleHost build_host(host);
    const DatabaseStartResult db =
        start_machine_database(state.settings, state.mame_paths, state.machines, state.view,
                               state.database_changed, build_host, refresh);
    if (save_failed) *save_failed = db.problem.is(FailureKind::NotSaved);
    state.database_stamp = db.stamp;
    if (db.built && db.problem.is(FailureKind::Error)) {
        // A failed rebuild keeps the old database, but the command did not do its work.
        error = db.problem.message();
        return false;
    }
    if (db.outcome != DatabaseOutcome::Continue && db.built &&
        db.problem.is(FailureKind::Missing)) {
        error = "MAME listed no machines for \"-listxml\" (" + std::string(db.problem.message()) +
                "); choose another MAME with 'orvel-cli init --mame EXE'";
        return false;
    }
    if (db.outcome != DatabaseOutcome::Continue || state.machines.empty()) {
        error = "no machine database could be loaded or built";
        return false;
    }
    return true;
}

const Machine* open_named_machine(const Options& options, AppState& state, Host& host,
                                  const std::string& command, const std::string& name,
                                  std::string& error) {
    if (!start_core(options, state, host, error) || !open_machine_database(state, host, error))
        return nullptr;
    const std::int64_t position = find_machine(state.machines, name);
    if (position < 0) {
        error = command + ": no machine named '" + name + "'";
        return nullptr;
    }
    return &state.machines[static_cast<std::size_t>(position)];
}

bool save_changed_database(AppState& state, Host& host, std::string& error) {
    const DatabaseSave saved = save_machine_database(state, host);
    switch (saved.outcome) {
    case SaveOutcome::Saved:
        return true;
    case SaveOutcome::Failed:
        error = "the database could not be saved: " + std::string(saved.status.message());
        return false;
    case SaveOutcome::Reloaded:
    case SaveOutcome::Cancelled:
        break;
    }
    error = "the database was changed by another program since it was read; nothing was saved "
            "(--yes overwrites it)";
    return false;
}

} // namespace orvel::cli
