#pragma once
// What every orvel-cli command shares: the terminal host and the start of the core.

#include "app/app_state.h"
#include "cli/cli.h"
#include "host/host.h"
#include "platform/failure.h"
#include "settings/mame_config.h"

#include <string>

namespace orvel::cli {

// The host on a terminal: questions are answered by --yes / --no, or asked on standard input
// when neither was given (end of input answers No); progress goes to standard error; the
// console prints MAME's lines on standard output. It never blocks without a terminal.
class TerminalHost : public Host {
  public:
    explicit TerminalHost(int answer) : answer_(answer) {}
    Answer message(std::string_view title, std::string_view text, Buttons buttons,
                   Icon icon) override;
    std::string choose_open_file(std::string_view title, std::string_view default_name,
                                 std::string_view filter) override;
    std::string choose_save_file(std::string_view title, std::string_view default_name,
                                 std::string_view filter) override;
    std::string choose_folder(std::string_view title, std::string_view start_folder) override;
    std::optional<std::string> ask_text(std::string_view title, std::string_view prompt,
                                        std::string_view initial) override;
    void set_progress(std::string_view text) override;
    void keep_alive() override {}
    void console_open(std::string_view title) override;
    void console_line(std::string_view line) override;
    void console_wait_for_key(std::string_view prompt) override;
    void console_close() override;

  private:
    int answer_;
};

// The start of start-up: settings defaults (ORVEL_Data from --data, made absolute, or the
// program's default data folder: see default_data_folder) and the preferences file of that
// folder. A folder named with --data stays the data folder even when the file names another one.
// Fails, naming the file and the system's reason, when the preferences file is there but cannot
// be read or is too large (no file is no failure).
Status load_core_settings(const Options& options, Settings& settings);

// Does what start-up does before a command's own work: settings defaults (ORVEL_Data from
// --data or the default data folder), the preferences file of the data folder and MAME
// configuration discovery (MAME writes its files only when it has none). Never opens a dialog.
// False, with a one-line reason in error, when the preferences file cannot be read or no MAME
// has been chosen yet (the settings are loaded all the same).
bool start_core(const Options& options, AppState& state, Host& host, std::string& error);

// Tells on standard error what MAME configuration discovery has to say: a MAME that did not
// answer in time, or the default configuration MAME wrote because it had none.
void report_mame_config(const MameConfigDiscovery& config);

// The machine database as start-up makes it: loaded, or built from MAME's listing when the
// database file is missing or empty (refresh: rebuilt keeping favourites and stored command
// lines). A build's console lines go to standard error, so that standard output stays the
// command's own. False, with a one-line reason in error, when there is no machine;
// save_failed (when given) tells whether a built database could not be saved.
bool open_machine_database(AppState& state, Host& host, std::string& error, bool refresh = false,
                           bool* save_failed = nullptr);

// Saves the changed machine database; false, with the message in error, when it could not be
// saved or when another program saved the file since it was read and the options did not say
// to overwrite it (--yes).
bool save_changed_database(AppState& state, Host& host, std::string& error);
// start_core, open_machine_database, then the machine with this short name. Null, with a
// one-line reason in error ("COMMAND: no machine named 'NAME'"), when any step fails.
const Machine* open_named_machine(const Options& options, AppState& state, Host& host,
                                  const std::string& command, const std::string& name,
                                  std::string& error);

} // namespace orvel::cli
