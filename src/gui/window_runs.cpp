#include "gui/window_runs.h"

#include "gui/job_runner.h"
#include "platform/process.h"

#include <QPointer>
#include <QVariant>
#include <QWidget>

#include <exception>

namespace orvel::gui {

namespace {
constexpr const char* was_maximised = "orvelWasMaximised";
}

void suspend_window(QWidget* window) {
    if (!window) return;
    window->setProperty(was_maximised, window->isMaximized());
    window->showMinimized();
    window->setEnabled(false);
}

void resume_window(QWidget* window) {
    if (!window) return;
    window->setEnabled(true);
    if (window->property(was_maximised).toBool())
        window->showMaximized();
    else
        window->showNormal();
    window->raise();
    window->activateWindow();
}

void run_with_windows_suspended(Host& host, const std::vector<QWidget*>& windows,
                                std::function<void(Host& host)> work, std::function<void()> after) {
    std::vector<QPointer<QWidget>> suspended;
    for (QWidget* window : windows) {
        suspend_window(window);
        suspended.emplace_back(window);
    }
    auto resume = [suspended, after = std::move(after)] {
        for (auto it = suspended.rbegin(); it != suspended.rend(); ++it)
            resume_window(*it);
        if (after) after();
    };
    run_as_job(host, std::move(work), [resume = std::move(resume)](std::exception_ptr failure) {
        resume();
        if (failure) std::rethrow_exception(failure);
    });
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
