#pragma once
// The host: how core workflows talk to the user. The desktop program answers with real
// dialogs, orvel-cli on the terminal, tests with a scripted fake that records every prompt.
// It sits below every subsystem, so workflows in any of them may use it.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace orvel {

// ReloadOverwriteCancel: a file changed since it was read; Yes reloads it, No overwrites it.
enum class Buttons { Ok, YesNo, YesNoCancel, ReloadOverwriteCancel };
enum class Icon { None, Information, Warning, Error };
enum class Answer { Ok, Yes, No, Cancel };

class Host {
  public:
    virtual ~Host();

    // A message box; returns the button pressed (Ok for an OK box).
    virtual Answer message(std::string_view title, std::string_view text, Buttons buttons,
                           Icon icon = Icon::None) = 0;
    // File-open and file-save dialogs; filter is "Description (*.ext)|*.ext". default_name is a
    // file name, or a full path: the dialog then opens in its folder with the file selected.
    // Empty: cancelled.
    virtual std::string choose_open_file(std::string_view title, std::string_view default_name,
                                         std::string_view filter) = 0;
    virtual std::string choose_save_file(std::string_view title, std::string_view default_name,
                                         std::string_view filter) = 0;
    // Folder chooser; empty: cancelled.
    virtual std::string choose_folder(std::string_view title, std::string_view start_folder) = 0;
    // The one-line text input window; std::nullopt when cancelled.
    virtual std::optional<std::string> ask_text(std::string_view title, std::string_view prompt,
                                                std::string_view initial) = 0;

    // Progress text: the splash status line during start-up, otherwise the active window's
    // title. An empty text puts the previous title back.
    virtual void set_progress(std::string_view text) = 0;
    // Lets the window system repaint during long work on the calling thread. May be called
    // very often; implementations throttle it.
    virtual void keep_alive() = 0;
    // How far the step the progress text names has come: done of total (total 0: the end is
    // not known). Shown where the host has room for it (a bar in the listing's console).
    virtual void set_progress_count(std::uint64_t done, std::uint64_t total);

    // The console of a MAME run or of the listing build: opened with a title, shown lines as
    // they arrive, and closed. wait_for_key shows the prompt and waits for a key press.
    virtual void console_open(std::string_view title) = 0;
    virtual void console_line(std::string_view line) = 0;
    virtual void console_wait_for_key(std::string_view prompt) = 0;
    virtual void console_close() = 0;
    // True once the user asked the work in progress to stop (the Stop button of a run's
    // console, the Cancel of the listing). Long work checks it between steps.
    virtual bool stop_requested();

    // Long work that asks no questions (the listing's parse, the availability scan): returns
    // once job has run. job reports through progress (progress texts, console lines,
    // keep_alive) and touches nothing the caller may change meanwhile; its result goes
    // wherever the caller's lambda put it. Here it runs on the calling thread with this host
    // as its progress; the desktop runs it on a worker thread while its windows stay live.
    virtual void run_job(const std::function<void(Host& progress)>& job);
};

// The answer of a box closed without a choice.
inline Answer default_answer(Buttons buttons) {
    switch (buttons) {
    case Buttons::YesNo:
        return Answer::No;
    case Buttons::YesNoCancel:
    case Buttons::ReloadOverwriteCancel:
        return Answer::Cancel;
    case Buttons::Ok:
        break;
    }
    return Answer::Ok;
}

// A host that shows nothing and gives every question its default answer: OK for an OK box,
// No for a Yes/No box, Cancel for a Yes/No/Cancel box, cancel for the choosers. Derive from it to
// watch one kind of call.
class SilentHost : public Host {
  public:
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
    void keep_alive() override;
    void console_open(std::string_view title) override;
    void console_line(std::string_view line) override;
    void console_wait_for_key(std::string_view prompt) override;
    void console_close() override;
};

// Passes every call on to another host. Derive from it to change one kind of call.
class ForwardingHost : public Host {
  public:
    explicit ForwardingHost(Host& inner) : inner_(inner) {}
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
    void keep_alive() override;
    void set_progress_count(std::uint64_t done, std::uint64_t total) override;
    void console_open(std::string_view title) override;
    void console_line(std::string_view line) override;
    void console_wait_for_key(std::string_view prompt) override;
    void console_close() override;
    bool stop_requested() override;
    // run_job is not passed on: the job runs on the calling thread with this host as its
    // progress, so what a derived host changes applies to the job's reports too.

  private:
    Host& inner_;
};

} // namespace orvel
