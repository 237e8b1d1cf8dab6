// Orvel, the desktop program. Besides Qt's own options it knows only --help and --version,
// which print and exit without a window (and without a display).

#include "app/startup.h"
#include "gui/desktop_start.h"
#include "gui/icon_set.h"
#include "gui/identity_picture.h"
#include "gui/main_window.h"
#include "gui/qt_host.h"
#include "platform/files.h"
#include "settings/settings.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QScreen>

#include <cstdio>
#include <string_view>

namespace {

constexpr const char* help_text =
    "usage: orvel [--help | --version] [Qt options such as -platform NAME]\n"
    "\n"
    "Orvel, a desktop front end for the MAME arcade emulator. At its first start it asks for\n"
    "the MAME executable; on Debian and Ubuntu, install MAME with: sudo apt install mame\n"
    "\n"
    "  --help     print this text and exit\n"
    "  --version  print the version and exit\n"
    "\n"
    "orvel-cli does the same work from a terminal (orvel-cli --help).\n";

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(help_text, stdout);
            return 0;
        }
        if (arg == "--version") {
            std::fputs(orvel::program_version_statement("orvel").c_str(), stdout);
            return 0;
        }
    }
    QApplication app(argc, argv);
    // What Qt did not take as its own is no option of Orvel's.
    if (argc > 1) {
        std::fprintf(stderr, "orvel: unknown argument '%s' (see orvel --help)\n", argv[1]);
        return 2;
    }
    // The window's class on X11 (WM_CLASS "orvel", "Orvel"): the desktop entry's StartupWMClass.
    app.setApplicationName(QStringLiteral("Orvel"));
    // The installed desktop entry's name (Wayland's app id), so that the desktop shows its icon
    // for the window.
#ifdef ORVEL_APP_ID // none on Windows
    app.setDesktopFileName(QStringLiteral(ORVEL_APP_ID));
#endif
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
    // Dialogs, the splash and the listing's console come and go before the main window: none
    // of them ends the program by closing.
    app.setQuitOnLastWindowClosed(false);
    orvel::gui::DesktopStartOptions desktop;
    desktop.startup = options;
    std::unique_ptr<orvel::gui::MainWindow> window;
    // The start runs as jobs while the application's event loop runs.
    orvel::gui::start_desktop(session, host, icons, desktop,
                              [&window, &app](std::unique_ptr<orvel::gui::MainWindow> shown) {
                                  if (!shown) return QCoreApplication::quit();
                                  window = std::move(shown);
                                  QObject::connect(window.get(),
                                                   &orvel::gui::MainWindow::programEnded, &app,
                                                   &QCoreApplication::quit, Qt::QueuedConnection);
                              });
    return app.exec();
}
