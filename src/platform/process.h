#pragma once
// Starting other programs (MAME, the associated program of a file). Programs are started
// directly, never through a shell, so quotes, spaces and other odd characters in paths are safe.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvel {

// Splits an argument string the way MAME's command line is written: blanks separate
// arguments, double quotes group text (and are removed), an empty quoted pair is an empty
// argument.
std::vector<std::string> split_arguments(std::string_view arguments);

// One argument as a Windows command line carries it, so that the C runtime of the program
// started reads it back exactly: quoted when it holds blanks or quotes, with the backslashes
// before a quote doubled.
std::string quote_windows_argument(std::string_view arg);

// Finds the program to start: a path with a separator is used as it is; a bare file name is
// looked for in the working folder first and then on PATH (on Windows with ".exe" added when
// it has no extension).
std::string resolve_program(const std::string& program, const std::string& working_folder);

// Cuts a stream of output into lines (LF or CR LF, the line end removed) as it arrives, in time
// linear in its length. What it holds stays bounded: a line longer than max_piece is handed out
// in pieces of about that size, cut between UTF-8 characters and never between CR and LF;
// line_end tells whether a piece ends its line.
class LineSplitter {
  public:
    using Sink = std::function<void(std::string_view piece, bool line_end)>;
    static constexpr std::size_t default_max_piece = 1 << 20;
    explicit LineSplitter(std::size_t max_piece = default_max_piece) : max_piece_(max_piece) {}

    void feed(std::string_view data, const Sink& sink);
    // The end of the stream: a last line without a line end is ended.
    void finish(const Sink& sink);
    // True while the line being read has already been handed out in part.
    bool mid_line() const { return mid_line_; }

  private:
    void end_line(std::string_view rest, const Sink& sink);
    std::string partial_;
    std::size_t max_piece_;
    bool mid_line_ = false;
};

// A running child process.
class ChildProcess {
  public:
    struct Options {
        std::string working_folder;  // empty: the current directory
        std::string stdout_file;     // non-empty: standard output goes to this file
        bool capture_output = false; // standard output and standard error as pipes
        bool raw_stdout = false;     // capture_output: standard output in pieces as it
                                     // arrives, not line by line
        bool raw_stderr = false;     // the same for standard error
        bool discard_output = false; // both streams to /dev/null (NUL on Windows)
        // The child and everything it starts form a group of their own (a process group on
        // POSIX, a job object on Windows), so that stop() ends them all.
        bool own_group = false;
    };
    ChildProcess();
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // False when the program could not be started (missing, not executable, bad folder).
    bool start(const std::string& program, const std::vector<std::string>& args,
               const Options& options);
    bool running();
    // Waits for the end; -1 when the timeout (milliseconds, negative: none) ran out.
    std::optional<int> wait(int timeout_ms = -1);
    void kill();
    // Asks the child (and, with own_group, everything it started) to end: SIGTERM, then SIGKILL
    // once grace_ms have passed without its end (on Windows the whole group is terminated at
    // once). Returns once the child has ended.
    void stop(int grace_ms = 2000);
    // With capture_output: reads what is available on both pipes, waiting at most timeout_ms,
    // and hands complete lines (without line ends; a line too long to hold in pieces, as
    // LineSplitter cuts it) to the callbacks, or the raw pieces for a raw stream. Returns false
    // once both pipes are closed and everything was handed over, or once the child has ended and
    // its pipes, held open by something it started, have been quiet for output_quiet_ms (at most
    // output_linger_ms after its end).
    bool poll_output(int timeout_ms, const std::function<void(std::string_view)>& on_stdout,
                     const std::function<void(std::string_view)>& on_stderr);

    static constexpr int output_quiet_ms = 100;
    static constexpr int output_linger_ms = 2000;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

struct RunResult {
    bool started = false;
    bool timed_out = false;
    int exit_code = -1;
};

// Starts a program with an argument string in a working folder and waits for its end. A
// timeout (milliseconds) ends a child that hangs.
RunResult run_and_wait(const std::string& program, std::string_view arguments,
                       const std::string& working_folder, int timeout_ms = -1);
// The same with standard output written to a file.
RunResult run_redirected(const std::string& program, std::string_view arguments,
                         const std::string& working_folder, const std::string& stdout_file,
                         int timeout_ms = -1);
// The same with both output streams read line by line as they arrive. Both pipes are kept
// drained, so a child that floods one stream never blocks. keep_alive is called between reads.
// A timeout (milliseconds) ends a child that hangs or keeps its streams open.
RunResult run_captured(const std::string& program, std::string_view arguments,
                       const std::string& working_folder,
                       const std::function<void(std::string_view)>& on_stdout,
                       const std::function<void(std::string_view)>& on_stderr,
                       const std::function<void()>& keep_alive = {}, int timeout_ms = -1);

// A time limit as the messages about a program that was given up on name it: "20 seconds",
// "1 second", "0.3 seconds".
std::string seconds_text(int ms);

// Opens a file or web address with the program the desktop associates with it.
bool open_with_associated_program(const std::string& path_or_address);

} // namespace orvel
