#pragma once
// What the desktop tests share: the prepared icons, the desktop host answered by a script, and
// a MAME folder holding the fake MAME.

#include "gui/console_window.h"
#include "gui/desktop_start.h"
#include "gui/icon_set.h"
#include "gui/job_runner.h"
#include "gui/main_window.h"
#include "gui/qt_host.h"
#include "gui/splash_window.h"
#include "platform/files.h"
#include "support/env_guard.h"
#include "support/scripted_host.h"

#include <QApplication>
#include <QPointer>
#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace orvel::gui::guitest {

inline const IconSet& icons() {
    static const IconSet set = [] {
        IconSet s;
        s.prepare();
        return s;
    }();
    return set;
}

// The desktop host with its real console window and progress titles, whose questions and
// choosers are answered by a script (so a flow's questions can be asserted exactly).
class ScriptedQtHost : public QtHost {
  public:
    orvel::test::ScriptedHost script;
    std::vector<std::string> console_titles; // every console opened
    std::vector<QString> console_texts;      // the console's text as it was closed
    bool splash_beside_console = false;      // a splash was visible while a console line arrived
    std::vector<std::pair<std::string, bool>> progress_splash; // progress text, splash shown

    Answer message(std::string_view title, std::string_view text, Buttons buttons,
                   Icon icon) override {
        return script.message(title, text, buttons, icon);
    }
    std::string choose_open_file(std::string_view title, std::string_view name,
                                 std::string_view filter) override {
        return script.choose_open_file(title, name, filter);
    }
    std::string choose_save_file(std::string_view title, std::string_view name,
                                 std::string_view filter) override {
        return script.choose_save_file(title, name, filter);
    }
    std::string choose_folder(std::string_view title, std::string_view start) override {
        return script.choose_folder(title, start);
    }
    std::optional<std::string> ask_text(std::string_view title, std::string_view prompt,
                                        std::string_view initial) override {
        return script.ask_text(title, prompt, initial);
    }
    void set_progress(std::string_view text) override {
        script.set_progress(text);
        QtHost::set_progress(text);
        progress_splash.emplace_back(text, splash_visible());
    }
    void console_line(std::string_view line) override {
        splash_beside_console = splash_beside_console || splash_visible();
        QtHost::console_line(line);
    }
    static bool splash_visible() {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (qobject_cast<SplashWindow*>(widget) && widget->isVisible()) return true;
        return false;
    }
    void console_open(std::string_view title) override {
        console_titles.emplace_back(title);
        QtHost::console_open(title);
    }
    void console_close() override {
        if (console()) console_texts.push_back(console()->text());
        QtHost::console_close();
    }
};

// Lets the event loop run until every job started so far has ended (a MAME run, the listing).
inline bool wait_for_jobs(int timeout_ms = 30000) {
    return QTest::qWaitFor([] { return running_jobs() == 0; }, timeout_ms);
}

// Starts the desktop and lets the event loop run until the start has ended; returns its main
// window (null: the program would end).
inline std::unique_ptr<MainWindow> start_and_wait(Session& session, QtHost& host,
                                                  const DesktopStartOptions& options = {}) {
    bool ended = false;
    std::unique_ptr<MainWindow> started;
    start_desktop(session, host, icons(), options, [&](std::unique_ptr<MainWindow> window) {
        started = std::move(window);
        ended = true;
    });
    if (!QTest::qWaitFor([&] { return ended; }, 30000)) ADD_FAILURE() << "the start never ended";
    return started;
}

// A MAME folder of the test's own holding the fake MAME as "mame".
struct FakeMameFolder {
    orvel::test::TempDir dir;
    std::string folder = dir.file("mame/");
    std::string exe = folder + "mame";
    orvel::test::EnvGuard log{"ORVEL_FAKE_LOG", dir.file("args.log")};

    FakeMameFolder() {
        create_folder(folder);
        std::filesystem::copy_file(ORVEL_FAKE_MAME, exe);
    }
    std::string received() const {
        return file_size(dir.file("args.log")) < 0 ? std::string()
                                                   : orvel::test::read_all(dir.file("args.log"));
    }
};

} // namespace orvel::gui::guitest
