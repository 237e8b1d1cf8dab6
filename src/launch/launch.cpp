#include "launch/launch.h"

#include "database/played.h"
#include "launch/arguments.h"
#include "platform/files.h"
#include "platform/mame_folders.h"
#include "platform/process.h"
#include "platform/text.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <optional>

namespace orvel {

namespace {

constexpr std::string_view console_title = "MAME Output";
constexpr std::string_view key_prompt = "Press A Key To Exit";

// MAME writes 8-bit text; UTF-8 is kept, anything else is read as Latin-1.
std::string to_utf8(std::string_view line) {
    return is_valid_utf8(line) ? std::string(line) : latin1_to_utf8(line);
}

// raw: the output in pieces as it arrives, for a caller that cuts it into lines itself.
bool start_mame(ChildProcess& child, const MameCommand& command,
                const std::vector<std::string>& args, bool raw = false) {
    if (command.program.empty()) return false;
    ChildProcess::Options options;
    options.working_folder = command.working_folder;
    options.capture_output = true;
    options.raw_stdout = raw;
    options.raw_stderr = raw;
    options.own_group = command.own_group;
    return child.start(command.program, args, options);
}

// A run that failed keeps its console until the user has read it: MAME's reason ("Required
// files are missing") would otherwise vanish with the window. A run the user stopped asks
// nothing more.
void finish_console(const MameCommand& command, bool failed, Host& host) {
    if (!host.stop_requested() && (command.pause_on_exit || (failed && command.pause_on_failure)))
        host.console_wait_for_key(key_prompt);
    host.console_close();
}

// Reads MAME's output until both streams end, or ends MAME (and what it started) once the
// user asks the run to stop.
template <typename Sink>
void read_until_end(ChildProcess& child, Host& host, const Sink& on_out, const Sink& on_err,
                    const std::function<void()>& after_read = {}) {
    while (child.poll_output(30, on_out, on_err)) {
        if (after_read) after_read();
        if (host.stop_requested()) {
            child.stop();
            // What the group wrote before it ended is still read; its pipes are closed now.
            while (child.poll_output(30, on_out, on_err)) {
            }
            return;
        }
        host.keep_alive();
    }
}

// The lines of one of MAME's streams as the console shows them. A line longer than a
// screenful is cut, with its full length told, so that a MAME printing megabytes on one line
// costs neither memory nor the console's time.
class ShownLines {
  public:
    static constexpr std::size_t limit = 4000; // characters

    explicit ShownLines(Host& host) : host_(host) {}
    void feed(std::string_view data) {
        splitter_.feed(data, [this](std::string_view piece, bool end) { add(piece, end); });
    }
    void finish() {
        splitter_.finish([this](std::string_view piece, bool end) { add(piece, end); });
    }

  private:
    void add(std::string_view raw, bool end) {
        const std::string piece = to_utf8(raw);
        for (std::size_t i = 0; i < piece.size(); ++i) {
            const bool starts_character = (static_cast<unsigned char>(piece[i]) & 0xC0) != 0x80;
            if (starts_character) ++characters_;
            if (characters_ <= limit) line_ += piece[i];
        }
        if (!end) return;
        if (characters_ > limit) line_ += " ... (" + std::to_string(characters_) + " characters)";
        host_.console_line(line_);
        line_.clear();
        characters_ = 0;
    }

    Host& host_;
    LineSplitter splitter_;
    std::string line_;
    std::size_t characters_ = 0;
};

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
    const bool started = start_mame(child, command, args, true);
    bool failed = false;
    if (started) {
        ShownLines out(host);
        ShownLines err(host);
        const std::function<void(std::string_view)> on_out = [&out](std::string_view data) {
            out.feed(data);
        };
        const std::function<void(std::string_view)> on_err = [&err](std::string_view data) {
            err.feed(data);
        };
        read_until_end(child, host, on_out, on_err);
        out.finish();
        err.finish();
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
    // The files are written as the output arrives, never held whole: a MAME may print
    // gigabytes. Without a private folder the output is read all the same, and dropped.
    const std::string folder = private_temp_folder();
    const int folder_error = errno;
    std::optional<FileReplacement> output;
    std::optional<FileReplacement> errors;
    if (!folder.empty()) {
        run.output_path = folder + "output.txt";
        run.error_path = folder + "error.txt";
        output.emplace(run.output_path);
        errors.emplace(run.error_path);
    }
    const auto write = [](std::optional<FileReplacement>& file, std::string_view text) {
        if (file) file->write(text);
    };
    ChildProcess child;
    const PlayClock clock(command);
    run.started = start_mame(child, command, args, true);
    if (run.started) {
        // Line N of error.txt goes with line N of output.txt: each standard output line takes
        // one standard error line that was waiting for it, or an empty one. The error lines
        // are written as they come; waiting counts those no output line has taken yet, and
        // each output line read in a pass without one leaves an empty line after them.
        std::uint64_t waiting = 0;
        std::uint64_t output_lines = 0;
        LineSplitter out_lines;
        LineSplitter err_lines;
        const auto on_out_piece = [&](std::string_view piece, bool line_end) {
            write(output, to_utf8(piece));
            if (!line_end) return;
            write(output, "\r\n");
            ++output_lines;
        };
        // An error line is waiting once it is complete, or, too long to hold, once its first
        // piece is written out.
        bool err_counted = false;
        const auto on_err_piece = [&](std::string_view piece, bool line_end) {
            if (!err_counted) ++waiting;
            err_counted = !line_end;
            write(errors, to_utf8(piece));
            if (line_end) write(errors, "\r\n");
        };
        const auto pair_lines = [&] {
            const std::uint64_t taken = std::min(waiting, output_lines);
            waiting -= taken;
            for (std::uint64_t i = taken; i < output_lines; ++i)
                write(errors, "\r\n");
            output_lines = 0;
        };
        const std::function<void(std::string_view)> on_out = [&](std::string_view data) {
            out_lines.feed(data, on_out_piece);
        };
        const std::function<void(std::string_view)> on_err = [&](std::string_view data) {
            err_lines.feed(data, on_err_piece);
        };
        read_until_end(child, host, on_out, on_err, pair_lines);
        out_lines.finish(on_out_piece);
        err_lines.finish(on_err_piece);
        pair_lines();
        const std::optional<int> status = child.wait();
        clock.record(host);
        run.exit_status = status.value_or(-1);
        failed = failed_run(status);
    }
    int err = folder_error;
    if (output && errors) {
        run.written = output->commit() && errors->commit();
        err = !output->ok() ? output->error() : errors->error();
    }
    if (!run.written) {
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
    if (!request.process_commandline) return std::vector<std::string>{machine.name};
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
                          const FileOpener& open_file, int* exit_status, CapturedRun* captured) {
    if (!machine && !request.empty_run) return LaunchOutcome::NotStarted;
    if (machine && !machine->isavailable && request.ask_availability &&
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
        CapturedRun run =
            run_mame_captured(run_command, args, host, open_file, request.open_captured);
        started = run.started;
        if (exit_status) *exit_status = run.exit_status;
        if (captured) *captured = std::move(run);
    } else {
        started = run_mame_in_console(run_command, args, host, exit_status);
    }
    return started ? LaunchOutcome::Ran : LaunchOutcome::NotStarted;
}

} // namespace orvel
