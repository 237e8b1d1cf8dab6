#include "gui/desktop_start.h"

#include "database/database_file.h"
#include "gui/job_runner.h"
#include "gui/main_window.h"
#include "gui/qt_host.h"
#include "gui/splash_window.h"
#include "platform/files.h"

#include <exception>
#include <string>

namespace orvel::gui {

namespace {

// What the start carries from one job to the next; its done callbacks hold it.
struct Start {
    Session& session;
    QtHost& host;
    const IconSet& icons;
    DesktopStartOptions options;
    std::function<void(std::unique_ptr<MainWindow>)> done;
    std::unique_ptr<SplashWindow> splash;
};

using StartPointer = std::shared_ptr<Start>;

void open_database(const StartPointer& start);

void finish(const StartPointer& start, std::unique_ptr<MainWindow> window) {
    const auto done = std::move(start->done);
    if (done) done(std::move(window));
}

// Work that threw is no start; the user hears what went wrong.
bool failed(const StartPointer& start, const std::exception_ptr& failure) {
    if (!failure) return false;
    std::string why = "an unknown error";
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& error) {
        why = error.what();
    } catch (...) {
    }
    start->host.message("Orvel", "Orvel could not start: " + why, Buttons::Ok, Icon::Error);
    finish(start, nullptr);
    return true;
}

void run_checks(const StartPointer& start) {
    auto result = std::make_shared<StartupResult>();
    Start* s = start.get(); // the done callback keeps it alive until the work has ended
    start_job(
        start->host,
        [s, result](Host& worker) { *result = s->session.start(worker, *s->options.startup); },
        [start, result](std::exception_ptr failure) {
            if (failed(start, failure)) return;
            if (result->outcome == StartupOutcome::Exit) return finish(start, nullptr);
            start->options.refresh_database = result->refresh_database;
            open_database(start);
        });
}

void open_database(const StartPointer& start) {
    const Settings& settings = start->session.settings();
    // A build from MAME's listing shows its console first; the splash follows it (the host
    // shows it with the first progress text once no console is open).
    const bool building =
        start->options.refresh_database || file_size(database_path(settings)) <= 0;
    start->splash = std::make_unique<SplashWindow>(settings);
    if (!building) start->splash->show();
    QtHost& host = start->host;
    host.set_splash(start->splash.get());
    host.set_stop_text(QStringLiteral("&Cancel"), QStringLiteral("Cancelling..."),
                       building && file_size(database_path(settings)) > 0
                           ? QStringLiteral("End MAME's listing and keep the old database (Esc)")
                           : QStringLiteral("End MAME's listing; Orvel ends without a "
                                            "database (Esc)"));
    auto outcome = std::make_shared<DatabaseOutcome>(DatabaseOutcome::Exit);
    Start* s = start.get();
    start_job(
        host,
        [s, outcome](Host& worker) {
            *outcome = s->session.open_database(worker, s->options.refresh_database);
        },
        [start, outcome](std::exception_ptr failure) {
            start->host.set_splash(nullptr);
            start->host.set_stop_text({}, {}, {});
            // Later: this may run while the splash is being shown (see QtHost::set_progress).
            start->splash->hide();
            start->splash.release()->deleteLater();
            if (failed(start, failure)) return;
            if (*outcome == DatabaseOutcome::ChooseMame && start->options.startup)
                return run_checks(start);
            if (*outcome != DatabaseOutcome::Continue) return finish(start, nullptr);
            auto window = std::make_unique<MainWindow>(start->session, start->host, start->icons);
            start->host.set_main_window(window.get());
            if (start->options.show_window) {
                window->show();
                window->activateWindow();
            }
            finish(start, std::move(window));
        });
}

} // namespace

void start_desktop(Session& session, QtHost& host, const IconSet& icons,
                   const DesktopStartOptions& options,
                   std::function<void(std::unique_ptr<MainWindow> window)> done) {
    auto start = std::make_shared<Start>(Start{session, host, icons, options, std::move(done), {}});
    if (options.startup)
        run_checks(start);
    else
        open_database(start);
}

} // namespace orvel::gui
