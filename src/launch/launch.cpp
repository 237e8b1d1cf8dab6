#include "launch/launch.h"

#include "database/played.h"
#include "launch/arguments.h"
#include "platform/files.h"
#include "platform/mame_folders.h"
#include "platform/process.h"
#include "platform/text.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <deque>
#include <optional>

namespace orvel {

namespace {

constexpr std::string_view console_title = "MAME Output";
constexpr std::string_view key_prompt = "Press A Key To Exit";

// MAME writes 8-bit text; UTF-8 is kept, anything else is read as Latin-1.
std::string to_utf8(std::string_view line) {
    return is_valid_utf8(line) ? std::string(line) : latin1_to_utf8(line);
}

bool start_mame(ChildProcess& child, const MameCommand& command,
                const std::vector<std::string>& args) {
    if (command.program.empty()) return false;
    ChildProcess::Options options;
    options.working_folder = command.working_folder;
    options.capture_output = true;
    return child.start(command.program, args, options);
}

// A run that failed keeps its console until the user has read it: MAME's reason ("Required
// files are missing") would otherwise vanish with the window.
void finish_console(const MameCommand& command, bool failed, Host& host) {
    if (command.pause_on_exit || failed) host.console_wait_for_key(key_prompt);
    host.console_close();
}

// Times a run from MAME's start to its end and adds it to the play record. A record that
// cannot be saved is reported, the run itself stands.
class PlayClock {
  public:
    explicit PlayClock(const MameCommand& command) : command_(command) {}
    void record(Host& host) const {
        if (command_.machine.empty() || command_.data_folder.empty()) return;
        const auto ran = std::chrono::steady_clock::now() - began_;
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(ran).count();
        const Result<PlayRecord> saved =
            record_play(command_.data_folder, command_.machine, start_time_, seconds);
        if (!saved)
            host.message("Play Record", saved.failure().message, Buttons::Ok, Icon::Warning);
    }

  private:
    const MameCommand& command_;
    std::int64_t start_time_ = static_cast<std::int64_t>(std::time(nullptr));
    std::chrono::steady_clock::time_point began_ = std::chrono::steady_clock::now();
};

bool failed_run(const std::optional<int>& exit_code) {
    return !exit_code || *exit_code != 0;
}

} // namespace

MameCommand mame_command(const Settings& settings, bool pause_on_exit) {
    MameCommand command;
    command.program = mame_executable_path(settings.MAME_Exe, settings.MAME_Path);
    command.working_folder = settings.MAME_Path;
    command.pause_on_exit = pause_on_exit;
    command.data_folder = settings.ORVEL_Data;
    return command;
}

bool run_mame_in_console(const MameCommand& command, std::string_view arguments, Host& host,
                         int* exit_status) {
    return run_mame_in_console(command, split_arguments(arguments), host, exit_status);
}

bool run_mame_in_console(const MameCommand& command, const std::vector<std::string>& args,
                         Host& host, int* exit_status) {
    host.console_open(console_title);
    ChildProcess child;
    const PlayClock clock(command);
    const bool started = start_mame(child, command, args);
    bool failed = false;
    if (started) {
        const auto show = [&host](std::string_view line) { host.console_line(to_utf8(line)); };
        while (child.poll_output(30, show, show))
            host.keep_alive();
        const std::optional<int> status = child.wait();
        clock.record(host);
        if (exit_status) *exit_status = status.value_or(-1);
        failed = failed_run(status);
    }
    finish_console(command, failed, host);
    return started;
}

CapturedRun run_mame_captured(const MameCommand& command, std::string_view arguments, Host& host,
                              const FileOpener& open_file, bool open_files) {
    return run_mame_captured(command, split_arguments(arguments), host, open_file, open_files);
}

CapturedRun run_mame_captured(const MameCommand& command, const std::vector<std::string>& args,
                              Host& host, const FileOpener& open_file, bool open_files) {
    CapturedRun run;
    bool failed = false;
    host.console_open(console_title);
    std::string output;
    std::string errors;
    ChildProcess child;
    const PlayClock clock(command);
    run.started = start_mame(child, command, args);
    if (run.started) {
        std::deque<std::string> out_lines;
        std::deque<std::string> err_lines;
        const auto pair_lines = [&] {
            // One standard output line, with it one waiting standard error line or none.
            while (!out_lines.empty()) {
                output += out_lines.front();
                output += "\r\n";
                out_lines.pop_front();
                if (!err_lines.empty()) {
                    errors += err_lines.front();
                    err_lines.pop_front();
                }
                errors += "\r\n";
            }
        };
        const auto on_out = [&](std::string_view line) { out_lines.push_back(to_utf8(line)); };
        const auto on_err = [&](std::string_view line) { err_lines.push_back(to_utf8(line)); };
        while (child.poll_output(30, on_out, on_err)) {
            pair_lines();
            host.keep_alive();
        }
        pair_lines();
        for (const std::string& line : err_lines) {
            errors += line;
            errors += "\r\n";
        }
        const std::optional<int> status = child.wait();
        clock.record(host);
        run.exit_status = status.value_or(-1);
        failed = failed_run(status);
    }
    const std::string folder = private_temp_folder();
    if (!folder.empty()) {
        run.output_path = folder + "output.txt";
        run.error_path = folder + "error.txt";
        run.written =
            write_file_atomic(run.output_path, output) && write_file_atomic(run.error_path, errors);
    }
    if (!run.written) {
        const int err = errno;
        host.message("Error",
                     "MAME's output could not be written to " +
                         (folder.empty() ? std::string("a private temporary folder") : folder) +
                         ": " + std::strerror(err),
                     Buttons::Ok, Icon::Error);
    } else if (open_files) {
        // The files stay in the temporary folder until the next captured run replaces them:
        // the viewer may read them long after it was started.
        const FileOpener& open = open_file ? open_file : FileOpener(open_with_associated_program);
        open(run.output_path);
        open(run.error_path);
    }
    finish_console(command, failed, host);
    return run;
}

Status check_media_file(std::string_view media_file) {
    if (media_file.find('"') == std::string_view::npos) return {};
    return failure("The file name \"" + std::string(media_file) +
                       "\" holds a double quote, which cannot be passed to MAME. Rename the file.",
                   FailureKind::Refused);
}

namespace {

// The software item a run hands MAME: the selected one, unless the run is empty, "Start Empty"
// or an own image run.
const SoftwareItem* software_item_of(const LaunchRequest& request) {
    if (!request.software.window_open || request.empty_run || request.machine_only ||
        !request.media_switch.empty())
        return nullptr;
    return request.software.selected;
}

} // namespace

Result<std::vector<std::string>> launch_arguments(const LaunchRequest& request,
                                                  const Machine& machine,
                                                  std::int64_t selected_commandline) {
    if (request.empty_run) return std::vector<std::string>{};
    // The name is one argument of MAME's; the build leaves out names that are not plain, and a
    // database file edited by hand must not slip one in either.
    if (!is_plain_name(machine.name))
        return failure("The machine name \"" + machine.name +
                           "\" is not a plain MAME short name, so it is not passed to MAME. "
                           "Refresh the database.",
                       FailureKind::Refused);
    std::string media_switch = request.media_switch;
    std::string media_file = request.media_file;
    if (request.machine_only && request.software.window_open) {
        media_switch.clear();
        media_file.clear();
    }
    if (!media_switch.empty())
        if (const Status media = check_media_file(media_file); !media) return media.failure();
    std::string software;
    if (const SoftwareItem* item = software_item_of(request)) {
        Result<std::string> named = software_argument(item->list_name, item->name);
        if (!named) return named.failure();
        software = std::move(*named);
    }
    return build_mame_argument_list(machine, selected_commandline, media_switch, media_file,
                                    software);
}

LaunchOutcome launch_mame(const LaunchRequest& request, const Machine* machine,
                          std::int64_t selected_commandline, const MameCommand& command, Host& host,
                          const FileOpener& open_file, int* exit_status) {
    if (!machine && !request.empty_run) return LaunchOutcome::NotStarted;
    if (machine && !machine->isavailable &&
        host.message("Romset Not Found!", "Try Loading Anyway?", Buttons::YesNo, Icon::Error) !=
            Answer::Yes)
        return LaunchOutcome::Cancelled;
    // Only a run that hands MAME the selected item asks about its file.
    if (const SoftwareItem* item = software_item_of(request);
        item && item->available == SoftwareAvailability::Missing &&
        host.message("File Not Found!", "Try Loading Anyway?", Buttons::YesNo, Icon::Error) !=
            Answer::Yes)
        return LaunchOutcome::Cancelled;

    std::vector<std::string> args;
    if (!request.empty_run) {
        Result<std::vector<std::string>> built =
            launch_arguments(request, *machine, selected_commandline);
        if (!built) {
            host.message("Error", built.message(), Buttons::Ok, Icon::Error);
            return LaunchOutcome::Refused;
        }
        args = std::move(*built);
    }
    MameCommand run_command = command;
    if (!request.empty_run) run_command.machine = machine->name;
    bool started;
    if (request.capture) {
        const CapturedRun run = run_mame_captured(run_command, args, host, open_file);
        started = run.started;
        if (exit_status) *exit_status = run.exit_status;
    } else {
        started = run_mame_in_console(run_command, args, host, exit_status);
    }
    return started ? LaunchOutcome::Ran : LaunchOutcome::NotStarted;
}

} // namespace orvel
