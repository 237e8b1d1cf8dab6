#pragma once
// The host of the desktop program: real dialogs, progress in the splash or the active
// window's title, a throttled event pump and the console window.

#include "gui/splash_window.h"
#include "host/host.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>

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
    void console_open(std::string_view title) override;
    void console_line(std::string_view line) override;
    void console_wait_for_key(std::string_view prompt) override;
    void console_close() override;
    // The job runs on a worker thread; its reports reach this host on the window thread by
    // queued calls, in order. The windows stay live meanwhile (whoever starts a job keeps
    // commands away from what it reads, with a busy guard) and a busy cursor shows.
    void run_job(const std::function<void(Host& progress)>& job) override;

    // While a splash is set, progress goes to its status line.
    void set_splash(SplashWindow* splash) { splash_ = splash; }
    // The window that owns dialogs when no window is active (the main window once shown).
    void set_main_window(QWidget* window) { main_window_ = window; }
    ConsoleWindow* console() const { return console_.get(); }

  private:
    QWidget* dialog_parent() const;

    QPointer<SplashWindow> splash_;
    QPointer<QWidget> main_window_;
    QPointer<QWidget> titled_window_; // the window whose title shows progress
    QString kept_title_;
    std::unique_ptr<ConsoleWindow> console_;
    QElapsedTimer pump_clock_;
};

// "Executable (*.exe)|*.exe|All (*)|*" becomes "Executable (*.exe);;All (*)".
QString dialog_filter(std::string_view filter);

} // namespace orvel::gui
