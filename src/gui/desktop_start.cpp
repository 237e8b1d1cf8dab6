#include "gui/desktop_start.h"

#include "app/startup_database.h"
#include "filters/folders.h"
#include "gui/busy_guard.h"
#include "gui/main_window.h"
#include "gui/qt_host.h"
#include "gui/splash_window.h"
#include "platform/files.h"

#include <QCoreApplication>

namespace orvel::gui {

std::unique_ptr<MainWindow> start_desktop(Session& session, Host& host, const IconSet& icons,
                                          const DesktopStartOptions& options) {
    AppState& state = session.state;
    {
        SplashWindow splash(state.settings);
        // A build from MAME's listing shows its console first; the splash follows it (the host
        // shows it with the first progress text once no console is open).
        const bool building =
            options.refresh_database || file_size(database_path(state.settings)) <= 0;
        if (!building || !options.qt_host) {
            splash.show();
            splash.repaint();
            flush_events();
        }
        if (options.qt_host) options.qt_host->set_splash(&splash);

        const DatabaseStartResult database =
            start_machine_database(state.settings, state.mame_paths, state.machines, state.view,
                                   state.database_changed, host, options.refresh_database);
        if (options.choose_mame)
            *options.choose_mame = database.outcome == DatabaseOutcome::ChooseMame;
        if (database.outcome != DatabaseOutcome::Continue) {
            if (options.qt_host) options.qt_host->set_splash(nullptr);
            return nullptr;
        }
        state.database_stamp = database.stamp;
        splash.set_status(QStringLiteral("Loading Folders..."));
        load_folders(state.mame_paths.categorypath, state.settings.MAME_Path, state.machines,
                     session.state.folders);
        if (options.qt_host) options.qt_host->set_splash(nullptr);
    }
    auto window = std::make_unique<MainWindow>(session, host, icons);
    if (options.qt_host) options.qt_host->set_main_window(window.get());
    if (options.show_window) {
        window->show();
        window->activateWindow();
    }
    return window;
}

} // namespace orvel::gui
