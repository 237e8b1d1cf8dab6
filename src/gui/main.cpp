// Orvel, the desktop program. It reads no command-line arguments.

#include "app/startup.h"
#include "gui/desktop_start.h"
#include "gui/icon_set.h"
#include "gui/identity_picture.h"
#include "gui/main_window.h"
#include "gui/qt_host.h"
#include "platform/files.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QScreen>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Orvel"));
    // The installed desktop entry's name, so that the desktop shows its icon for the window.
    app.setDesktopFileName(QStringLiteral(ORVEL_APP_ID));
    QIcon program_icon;
    for (int size : {16, 32, 48, 64, 128})
        program_icon.addPixmap(QPixmap::fromImage(orvel::gui::paint_program_icon(size)));
    app.setWindowIcon(program_icon);
    orvel::gui::QtHost host;
    orvel::gui::Session session;
    orvel::gui::IconSet icons;
    icons.prepare();

    orvel::StartupOptions options =
        orvel::program_startup_options(orvel::current_directory(), orvel::program_folder());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        options.desktop_width = screen->geometry().width();
        options.desktop_height = screen->geometry().height();
    }
    const orvel::StartupResult started =
        orvel::run_startup(session.state.settings, session.state.mame_paths, host, options);
    if (started.outcome == orvel::StartupOutcome::Exit) return 0;

    orvel::gui::DesktopStartOptions desktop;
    desktop.refresh_database = started.refresh_database;
    desktop.qt_host = &host;
    std::unique_ptr<orvel::gui::MainWindow> window =
        orvel::gui::start_desktop(session, host, icons, desktop);
    if (!window) return 0;
    QObject::connect(window.get(), &orvel::gui::MainWindow::programEnded, &app,
                     &QCoreApplication::quit, Qt::QueuedConnection);
    app.setQuitOnLastWindowClosed(false);
    return app.exec();
}
