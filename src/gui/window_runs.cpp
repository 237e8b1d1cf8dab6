#include "gui/window_runs.h"

#include <QCoreApplication>
#include <QVariant>
#include <QWidget>

namespace orvel::gui {

namespace {
constexpr const char* was_maximised = "orvelWasMaximised";
}

void suspend_window(QWidget* window) {
    if (!window) return;
    QCoreApplication::processEvents();
    window->activateWindow();
    window->setProperty(was_maximised, window->isMaximized());
    QCoreApplication::processEvents();
    window->showMinimized();
    QCoreApplication::processEvents();
    window->setEnabled(false);
}

void resume_window(QWidget* window) {
    if (!window) return;
    QCoreApplication::processEvents();
    window->setEnabled(true);
    QCoreApplication::processEvents();
    if (window->property(was_maximised).toBool())
        window->showMaximized();
    else
        window->showNormal();
    QCoreApplication::processEvents();
    window->raise();
    window->activateWindow();
}

void report_not_started(Host& host, LaunchOutcome outcome, const MameCommand& command) {
    if (outcome == LaunchOutcome::NotStarted)
        host.message("Run Machine", "MAME could not be started.\r\n" + command.program, Buttons::Ok,
                     Icon::Error);
}

} // namespace orvel::gui
