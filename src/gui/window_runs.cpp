#include "gui/window_runs.h"

#include "gui/busy_guard.h"
#include "platform/process.h"

#include <QVariant>
#include <QWidget>

namespace orvel::gui {

namespace {
constexpr const char* was_maximised = "orvelWasMaximised";
}

void suspend_window(QWidget* window) {
    if (!window) return;
    flush_events();
    window->activateWindow();
    window->setProperty(was_maximised, window->isMaximized());
    flush_events();
    window->showMinimized();
    flush_events();
    window->setEnabled(false);
}

void resume_window(QWidget* window) {
    if (!window) return;
    flush_events();
    window->setEnabled(true);
    flush_events();
    if (window->property(was_maximised).toBool())
        window->showMaximized();
    else
        window->showNormal();
    flush_events();
    window->raise();
    window->activateWindow();
}

bool open_or_report(Host& host, const FileOpener& open, const std::vector<std::string>& targets) {
    const FileOpener& opener = open ? open : FileOpener(open_with_associated_program);
    std::string failed;
    for (const std::string& target : targets)
        if (!opener(target)) failed += "\n" + target;
    if (failed.empty()) return true;
    host.message("Cannot Open", "The system could not open:" + failed, Buttons::Ok, Icon::Error);
    return false;
}

void report_not_started(Host& host, LaunchOutcome outcome, const MameCommand& command) {
    if (outcome == LaunchOutcome::NotStarted)
        host.message("Run Machine", "MAME could not be started.\r\n" + command.program, Buttons::Ok,
                     Icon::Error);
}

} // namespace orvel::gui
