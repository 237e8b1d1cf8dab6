#pragma once
// A host for tests: records every prompt and answers from a queue, so that a workflow's
// questions and texts can be asserted exactly.

#include "host/host.h"

#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

namespace orvel::test {

struct Prompt {
    std::string kind; // "message", "open", "save", "folder", "text"
    std::string title;
    std::string text;
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
};

class ScriptedHost : public Host {
  public:
    // Queued answers, taken in order by the prompts of their kind. A message box with no
    // queued answer answers No (Yes/No), Cancel (Yes/No/Cancel) or Ok; a chooser with none is
    // cancelled.
    std::deque<Answer> answers;
    std::deque<std::string> files;                // open, save and folder choosers
    std::deque<std::optional<std::string>> texts; // ask_text

    std::vector<Prompt> prompts;
    std::vector<std::string> progress;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> counts; // done, total
    std::vector<std::string> console; // "open:TITLE", lines, "key:PROMPT", "close"
    long keep_alive_calls = 0;
    // The work is asked to stop once so many counted progress reports have come (0: never).
    std::size_t stop_after_counts = 0;

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
    void keep_alive() override { ++keep_alive_calls; }
    void set_progress_count(std::uint64_t done, std::uint64_t total) override {
        counts.emplace_back(done, total);
    }
    void console_open(std::string_view title) override;
    void console_line(std::string_view line) override;
    void console_wait_for_key(std::string_view prompt) override;
    void console_close() override;
    bool stop_requested() override {
        return stop_after_counts > 0 && counts.size() >= stop_after_counts;
    }

    // "TITLE: TEXT" of every message box, in order.
    std::vector<std::string> messages() const;
};

// A fresh empty folder under the temporary folder, removed with everything in it on
// destruction. path() ends in the separator.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    // The path of a file below the folder; a "/" in name becomes the system's own separator.
    std::string file(const std::string& name) const;
    // Writes bytes to a file below the folder (creating sub-folders); returns its path.
    std::string write(const std::string& name, const std::string& bytes) const;

  private:
    std::string path_;
};

// The file name a MAME folder of a test's own gives the fake MAME: start-up and a run look for
// "mame.exe" on Windows.
#ifdef _WIN32
inline const std::string exe_suffix = ".exe";
#else
inline const std::string exe_suffix;
#endif
inline const std::string mame_file = "mame" + exe_suffix;
// What separates the folders of PATH.
#ifdef _WIN32
inline const std::string path_list = ";";
#else
inline const std::string path_list = ":";
#endif

// What the system says when a folder stands where a file is to be read.
#ifdef _WIN32
inline const std::string folder_read_reason = "Permission denied";
#else
inline const std::string folder_read_reason = "Is a directory";
#endif

// A path written with "/" in the system's own separators.
std::string native(std::string path);

std::string read_all(const std::string& path);
std::string fixture(const std::string& name); // path of a file under tests/fixtures

} // namespace orvel::test
