#pragma once
// The host of the desktop program: real dialogs, progress in the splash or the active
// window's title, and the console window. It pumps no events: long work runs as a job.

#include "gui/splash_window.h"
#include "host/host.h"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orvel::gui {

class ConsoleWindow;

class QtHost : public Host {
  public:
    QtHost();
    ~QtHost() override;

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
    // The console's bar shows it.
    void set_progress_count(std::uint64_t done, std::uint64_t total) override;
    void console_open(std::string_view title) override;
    void console_line(std::string_view line) override;
    void console_wait_for_key(std::string_view prompt) override;
    void console_close() override;
    // True once the user pressed Stop (or closed the console, or pressed Escape there) in the
    // console of the job that runs; read from the job's worker thread.
    bool stop_requested() override { return stop_.load(); }
    void request_stop();
    void clear_stop() { stop_ = false; }
    // The lines a job's console gets at once; dropped: lines left out before them, as the
    // console keeps the last console_line_limit lines only.
    void console_lines(const std::vector<std::string>& lines, std::uint64_t dropped);
    // Shows the prompt in the console and returns at once; pressed runs once a key is pressed
    // there or the console is closed.
    void console_ask_key(std::string_view prompt, std::function<void()> pressed);
    static constexpr std::size_t console_line_limit = 10000;
    // Long work does not come here: it runs as a job (start_job), whose worker has a host of
    // its own. Should some come all the same, it runs here, with a warning.
    void run_job(const std::function<void(Host& progress)>& job) override;

    // While a splash is set, progress goes to its status line.
    void set_splash(SplashWindow* splash) { splash_ = splash; }
    // The Stop of the consoles opened from now on says caption (the listing's Cancel), stopping
    // once pressed, with the tooltip tip; an empty caption gives the run's Stop back.
    void set_stop_text(const QString& caption, const QString& stopping, const QString& tip) {
        stop_text_ = {caption, stopping, tip};
    }
    // The window that owns dialogs when no window is active (the main window once shown).
    void set_main_window(QWidget* window) { main_window_ = window; }
    ConsoleWindow* console() const { return console_.get(); }

  private:
    QWidget* dialog_parent() const;

    QPointer<SplashWindow> splash_;
    QPointer<QWidget> main_window_;
    QPointer<QWidget> titled_window_; // the window whose title shows progress
    QString kept_title_;
    QStringList stop_text_; // caption, stopping, tooltip; empty caption: the run's Stop
    std::unique_ptr<ConsoleWindow> console_;
    std::atomic<bool> stop_{false};
};

// "Executable (*.exe)|*.exe|All (*)|*" becomes "Executable (*.exe);;All (*)".
QString dialog_filter(std::string_view filter);

} // namespace orvel::gui
