// Whole flows of the desktop program against the fake MAME: runs from the main window with the
// "MAME Output" console, the first start that builds the database from MAME's listing, and the
// database commands that talk to the user while they work.

#include "app/startup.h"
#include "database/database_file.h"
#include "filters/filter_tree.h"
#include "gui/ansi_text.h"
#include "gui/commands.h"
#include "gui/console_window.h"
#include "gui/desktop_start.h"
#include "gui/filter_tree_view.h"
#include "gui/gui_support.h"
#include "gui/icon_set.h"
#include "gui/machine_list_model.h"
#include "gui/machine_list_view.h"
#include "gui/main_window.h"
#include "gui/qt_host.h"
#include "gui/splash_window.h"
#include "gui/status_strip.h"
#include "gui/toolbar_strip.h"
#include "platform/files.h"
#include "settings/mame_config.h"
#include "support/env_guard.h"
#include "support/lingering_helper.h"
#include "support/scripted_host.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QTreeWidgetItem>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <optional>
#include <thread>
#include <utility>

namespace orvel::gui {
namespace {

using guitest::FakeMameFolder;
using guitest::icons;
using guitest::ScriptedQtHost;
using test::EnvGuard;
using test::ScriptedHost;

// The visible console windows among the top-level windows.
std::vector<ConsoleWindow*> shown_consoles() {
    std::vector<ConsoleWindow*> found;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* console = qobject_cast<ConsoleWindow*>(widget); console && console->isVisible())
            found.push_back(console);
    return found;
}

Machine machine(const char* name, const char* description, bool available) {
    Machine m;
    m.name = name;
    m.description = description;
    m.manufacturer = "Namco";
    m.year = "1980";
    m.driver_status = "good";
    m.isavailable = available;
    m.requires_roms = true;
    m.commandlines.push_back(default_commandline());
    return m;
}

// A main window over three machines, one of whose romsets is missing, with the fake MAME
// chosen as MAME.
struct RunFixture : ::testing::Test {
    FakeMameFolder mame;
    ScriptedQtHost host;
    Session session;
    std::unique_ptr<MainWindow> window;

    void SetUp() override {
        Settings& settings = session.whole_state().settings;
        set_default_settings(settings, mame.dir.path(), 1600, 1200);
        ASSERT_TRUE(apply_chosen_mame(settings, host.script, mame.exe));
        (void)discover_mame_config(settings, session.whole_state().mame_paths);
        session.whole_state().machines.push_back(machine("galaga", "Galaga (Namco rev. B)", true));
        session.whole_state().machines.push_back(machine("pacman", "Pac-Man (Midway)", true));
        session.whole_state().machines.push_back(
            machine("puckman", "Puck Man (Japan set 1)", false));
        reset_view_list(session.whole_state().machines, session.whole_state().view);
        window = std::make_unique<MainWindow>(session, host, icons());
        host.set_main_window(window.get());
        window->show();
        QApplication::processEvents();
    }

    void select(const char* name) {
        for (int row = 0; row < window->model()->rowCount(); ++row)
            if (session.whole_state()
                    .machines[static_cast<std::size_t>(window->model()->position(row))]
                    .name == name) {
                window->list()->select_row(row);
                emit window->list()->rowClicked(row);
                return;
            }
        FAIL() << name;
    }
};

// What the console and the main window looked like while MAME's run waited for its key.
struct PausedRun {
    bool seen = false;
    QString title;
    QString text;
    bool main_enabled = true;
    bool main_minimised = false;
};

// Watches for the paused console, records it and presses a key in it (or closes it).
void answer_paused_console(QTimer& poll, PausedRun& paused, const MainWindow& window,
                           bool close_box = false) {
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&poll, &paused, &window, close_box] {
        for (ConsoleWindow* console : shown_consoles()) {
            if (!console->text().contains(QStringLiteral("Press A Key To Exit"))) continue;
            poll.stop();
            paused.seen = true;
            paused.title = console->windowTitle();
            paused.text = console->text();
            paused.main_enabled = window.isEnabled();
            paused.main_minimised = window.isMinimized();
            if (close_box)
                console->close();
            else
                QTest::keyClick(console->findChild<QPlainTextEdit*>(), Qt::Key_Space);
            return;
        }
    });
    poll.start();
}

TEST_F(RunFixture, RunMachineShowsMamesLinesWhileTheMainWindowIsSuspended) {
    session.whole_state().pause_on_exit = true;
    select("pacman");
    QTimer poll;
    PausedRun paused;
    answer_paused_console(poll, paused, *window);
    window->dispatch(Command::RunMachine);
    ASSERT_TRUE(guitest::wait_for_jobs());

    EXPECT_EQ(mame.received(), "pacman\n--\n");
    ASSERT_TRUE(paused.seen);
    EXPECT_EQ(paused.title, QStringLiteral("MAME Output"));
    EXPECT_FALSE(paused.main_enabled);
    EXPECT_TRUE(paused.main_minimised);
    // Both of MAME's output streams reach the console, then the prompt.
    for (const char* line : {"fake mame: starting", "fake mame: warning line",
                             "fake mame: running pacman", "fake mame: done"})
        EXPECT_TRUE(paused.text.contains(QLatin1String(line))) << line;
    EXPECT_TRUE(paused.text.endsWith(QStringLiteral("Press A Key To Exit")));

    // The key ended the run: the console is gone and the main window is back.
    EXPECT_TRUE(shown_consoles().empty());
    EXPECT_TRUE(window->isEnabled());
    EXPECT_FALSE(window->isMinimized());
    EXPECT_TRUE(host.script.prompts.empty());
    EXPECT_EQ(window->focusWidget(), window->list());
}

TEST_F(RunFixture, CtrlEnterRunsMameWithoutAMachineAndTheCloseBoxEndsThePause) {
    session.whole_state().pause_on_exit = true;
    select("galaga");
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->list()->setFocus();
    QTimer poll;
    PausedRun paused;
    answer_paused_console(poll, paused, *window, true);
    QTest::keyClick(window->list(), Qt::Key_Return, Qt::ControlModifier);
    ASSERT_TRUE(guitest::wait_for_jobs());

    EXPECT_EQ(mame.received(), "--\n");
    ASSERT_TRUE(paused.seen);
    EXPECT_FALSE(paused.main_enabled);
    EXPECT_TRUE(paused.text.contains(QStringLiteral("fake mame: running (no machine)")));
    EXPECT_TRUE(paused.text.contains(QStringLiteral("fake mame: warning line")));
    EXPECT_EQ(host.console_titles, std::vector<std::string>{"MAME Output"});
    EXPECT_EQ(host.console_texts.size(), 1u);
    EXPECT_TRUE(shown_consoles().empty());
    EXPECT_TRUE(window->isEnabled());
    EXPECT_FALSE(window->isMinimized());

    // Enter alone runs the selected machine; without the pause the console closes by itself.
    session.whole_state().pause_on_exit = false;
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->list()->setFocus();
    QTest::keyClick(window->list(), Qt::Key_Return);
    ASSERT_TRUE(guitest::wait_for_jobs());
    EXPECT_EQ(mame.received(), "--\ngalaga\n--\n");
    ASSERT_EQ(host.console_texts.size(), 2u);
    EXPECT_TRUE(host.console_texts[1].contains(QStringLiteral("fake mame: running galaga")));
    EXPECT_FALSE(host.console_texts[1].contains(QStringLiteral("Press A Key To Exit")));
    EXPECT_TRUE(shown_consoles().empty());
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(RunFixture, MissingRomsetAsksFirstAndNoCancelsTheRun) {
    select("puckman");
    host.script.answers = {Answer::No};
    window->dispatch(Command::RunMachine);
    ASSERT_TRUE(guitest::wait_for_jobs());
    EXPECT_EQ(host.script.messages(),
              std::vector<std::string>{"Romset Not Found!: Try Loading Anyway?"});
    EXPECT_EQ(host.script.prompts[0].icon, Icon::Error);
    EXPECT_EQ(mame.received(), "");
    EXPECT_TRUE(host.console_titles.empty());
    EXPECT_TRUE(window->isEnabled());
    EXPECT_FALSE(window->isMinimized());

    // Yes runs it anyway.
    host.script.prompts.clear();
    host.script.answers = {Answer::Yes};
    window->dispatch(Command::RunMachine);
    ASSERT_TRUE(guitest::wait_for_jobs());
    EXPECT_EQ(host.script.messages(),
              std::vector<std::string>{"Romset Not Found!: Try Loading Anyway?"});
    EXPECT_EQ(mame.received(), "puckman\n--\n");
    ASSERT_EQ(host.console_texts.size(), 1u);
    EXPECT_TRUE(host.console_texts[0].contains(QStringLiteral("fake mame: running puckman")));
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(RunFixture, AMameThatCannotStartIsReportedAndTheWindowComesBack) {
    ASSERT_TRUE(delete_file(mame.exe));
    select("pacman");
    window->dispatch(Command::RunMachine);
    ASSERT_TRUE(guitest::wait_for_jobs());
    const std::vector<std::string> expected = {"Run Machine: MAME could not be started.\r\n" +
                                               mame.exe};
    EXPECT_EQ(host.script.messages(), expected);
    EXPECT_EQ(host.script.prompts[0].icon, Icon::Error);
    window->dispatch(Command::RunEmpty);
    ASSERT_TRUE(guitest::wait_for_jobs());
    EXPECT_EQ(host.script.messages().size(), 2u);
    EXPECT_TRUE(shown_consoles().empty());
    EXPECT_TRUE(window->isEnabled());
    EXPECT_FALSE(window->isMinimized());
}

TEST_F(RunFixture, CheckAvailabilityShowsSearchingAndTheResult) {
    // Only Pac-Man's romset is in the ROM folder.
    mame.dir.write("mame/roms/pacman.zip", "x");
    select("pacman");
    window->dispatch(Command::CheckAvailability);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Searching..."));
    ASSERT_TRUE(guitest::wait_for_jobs());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Orvel V0.050 Alpha"));
    EXPECT_FALSE(session.whole_state().machines[0].isavailable); // galaga
    EXPECT_TRUE(session.whole_state().machines[1].isavailable);  // pacman
    EXPECT_FALSE(session.whole_state().machines[2].isavailable); // puckman
    EXPECT_TRUE(session.whole_state().database_changed);
    EXPECT_TRUE(window->isEnabled());
}

// While the scan runs, what must not run is disabled, the close box is ignored and a key is
// taken at once (for nothing) rather than kept to be replayed; the result arrives whole.
TEST_F(RunFixture, CommandsKeysAndTheCloseBoxWaitWhileTheScanRuns) {
    mame.dir.write("mame/roms/pacman.zip", "x");
    select("pacman");
    const std::size_t shown = session.whole_state().view.size();
    window->dispatch(Command::CheckAvailability);
    EXPECT_TRUE(window->busy());
    for (Command command : {Command::ResetDatabase, Command::CheckAvailability, Command::Exit,
                            Command::SaveDatabase, Command::RunMachine}) {
        EXPECT_FALSE(window->action(command)->isEnabled());
        window->dispatch(command);
    }
    QTest::keyClick(window->list(), Qt::Key_Return); // would run pacman
    window->close();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(session.whole_state().machines[0].isavailable); // nothing of the scan shows yet
    ASSERT_TRUE(guitest::wait_for_jobs());
    QTest::qWait(100);
    EXPECT_FALSE(window->busy());
    EXPECT_TRUE(host.script.prompts.empty());
    EXPECT_TRUE(shown_consoles().empty());
    EXPECT_EQ(mame.received(), "");
    ASSERT_EQ(session.whole_state().machines.size(), 3u);
    EXPECT_EQ(session.whole_state().view.size(), shown);
    EXPECT_FALSE(session.whole_state().machines[0].isavailable);
    EXPECT_TRUE(session.whole_state().machines[1].isavailable); // pacman
    EXPECT_FALSE(window->program_ended());
    EXPECT_TRUE(window->action(Command::ResetDatabase)->isEnabled());
    // Afterwards commands work again (the scan changed the database).
    host.script.answers = {Answer::No, Answer::No};
    window->dispatch(Command::Exit);
    EXPECT_EQ(host.script.messages(),
              (std::vector<std::string>{"Save Changes: Update Database?", "Close: Exit Orvel?"}));
}

// A save of a large database runs on a worker: a timer of the window thread stays on time.
// The close box's save goes the same way, and the program ends once it is done.
TEST_F(RunFixture, TheWindowsStayLiveWhileALargeDatabaseSaves) {
    window->model()->refill([&] {
        for (int i = 0; i < 200000; ++i) {
            const std::string name = "m" + std::to_string(i);
            session.whole_state().machines.push_back(
                machine(name.c_str(), "A machine of many", true));
        }
        reset_view_list(session.whole_state().machines, session.whole_state().view);
    });
    session.whole_state().database_changed = true;
    QTimer tick;
    tick.setInterval(50);
    QElapsedTimer since_last, took;
    qint64 worst = 0;
    QObject::connect(&tick, &QTimer::timeout,
                     [&] { worst = std::max(worst, since_last.restart() - 50); });
    since_last.start();
    took.start();
    tick.start();
    host.script.answers = {Answer::Yes, Answer::Yes}; // "Update Database?", "Exit Orvel?"
    window->close();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->busy());
    ASSERT_TRUE(guitest::wait_for_jobs());
    tick.stop();
    EXPECT_LE(worst, 200) << "the save took " << took.elapsed() << " ms";
    EXPECT_EQ(host.script.messages(),
              (std::vector<std::string>{"Save Changes: Update Database?", "Close: Exit Orvel?"}));
    EXPECT_FALSE(session.whole_state().database_changed);
    EXPECT_GT(file_size(database_path(session.whole_state().settings)), 200000);
    EXPECT_TRUE(window->program_ended());
    EXPECT_FALSE(window->isVisible());
}

// The audit and Reset Database run as jobs too; their questions and reports reach the window
// thread, and what they empty or replace is replaced there.
TEST_F(RunFixture, TheAuditAndResetDatabaseRunAsJobs) {
    mame.dir.write("mame/roms/pacman.zip", "x");
    window->dispatch(Command::AuditRomsets); // no ROM data: the database was never built
    EXPECT_TRUE(window->busy());
    ASSERT_TRUE(guitest::wait_for_jobs());
    ASSERT_EQ(host.script.prompts.size(), 1u);
    EXPECT_EQ(host.script.prompts[0].title, "Audit Romsets");
    EXPECT_EQ(host.script.prompts[0].icon, Icon::Error);
    EXPECT_TRUE(window->isVisible());

    host.script.prompts.clear();
    bool saved = false;
    ASSERT_TRUE(save_database(session.whole_state().machines, session.whole_state().settings, saved,
                              host.script));
    host.script.answers = {Answer::Yes, Answer::No}; // "Are You Sure?", "Clear Preferences?"
    window->dispatch(Command::ResetDatabase);
    ASSERT_TRUE(guitest::wait_for_jobs());
    EXPECT_EQ(host.script.prompts.size(), 3u);
    EXPECT_TRUE(session.whole_state().machines.empty());
    EXPECT_EQ(window->model()->rowCount(), 0);
    EXPECT_EQ(file_size(database_path(session.whole_state().settings)), -1);
    EXPECT_TRUE(window->program_ended());
    EXPECT_FALSE(window->isVisible());
}

TEST_F(RunFixture, TheCloseBoxDuringARunIsIgnored) {
    session.whole_state().pause_on_exit = true;
    select("pacman");
    QTimer poll;
    PausedRun paused;
    bool closed_during_run = true;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (ConsoleWindow* console : shown_consoles()) {
            if (!console->text().contains(QStringLiteral("Press A Key To Exit"))) continue;
            poll.stop();
            paused.seen = true;
            window->close(); // the close box, or Alt+F4
            closed_during_run = window->program_ended();
            QTest::keyClick(console->findChild<QPlainTextEdit*>(), Qt::Key_Space);
            return;
        }
    });
    poll.start();
    window->dispatch(Command::RunMachine);
    ASSERT_TRUE(guitest::wait_for_jobs());
    ASSERT_TRUE(paused.seen);
    EXPECT_FALSE(closed_during_run);
    EXPECT_TRUE(host.script.prompts.empty()); // not even "Exit Orvel?"
    EXPECT_FALSE(window->program_ended());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isEnabled());
}

// A MAME that hangs is ended from its console, with what it started, and no key is asked for.
TEST_F(RunFixture, AHungMameIsStoppedFromItsConsoleAndLeavesNothingBehind) {
    session.whole_state().pause_on_exit = true;
    test::LingeringHelpers helpers(mame.dir);
    const EnvGuard hang("ORVEL_FAKE_HANG", "1");
    select("pacman");
    window->dispatch(Command::RunMachine);
    // The window thread is free while MAME hangs: the test waits in its own event loop.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return helpers.alive() == 1 && !shown_consoles().empty(); }, 10000));
    ASSERT_EQ(shown_consoles().size(), 1u);
    ConsoleWindow* console = shown_consoles().front();
    EXPECT_FALSE(window->isEnabled());
    EXPECT_TRUE(console->stop_button()->isVisibleTo(console));
    const auto start = std::chrono::steady_clock::now();
    console->stop_button()->click();
    ASSERT_TRUE(guitest::wait_for_jobs(10000));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_TRUE(QTest::qWaitFor([&] { return helpers.alive() == 0; }, 5000));
    EXPECT_TRUE(shown_consoles().empty());
    ASSERT_EQ(host.console_texts.size(), 1u);
    EXPECT_FALSE(host.console_texts[0].contains(QStringLiteral("Press A Key To Exit")));
    EXPECT_TRUE(window->isEnabled());

    // Escape and the close box ask the same.
    for (const bool close_box : {false, true}) {
        window->dispatch(Command::RunMachine);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return helpers.pids().size() == (close_box ? 3u : 2u) && !shown_consoles().empty();
            },
            10000));
        ASSERT_EQ(shown_consoles().size(), 1u);
        if (close_box)
            shown_consoles().front()->close();
        else
            QTest::keyClick(shown_consoles().front()->findChild<QPlainTextEdit*>(), Qt::Key_Escape);
        ASSERT_TRUE(guitest::wait_for_jobs(10000)) << close_box;
        EXPECT_TRUE(QTest::qWaitFor([&] { return helpers.alive() == 0; }, 5000)) << close_box;
    }
}

// Keys pressed while MAME runs reach disabled windows or a console that is not yet asking, and
// are never replayed afterwards: the pause of the run still waits for its own key.
TEST_F(RunFixture, KeysPressedDuringARunDoNothingAfterIt) {
    session.whole_state().pause_on_exit = true;
    const EnvGuard slow("ORVEL_FAKE_RUN_MS", "600");
    select("pacman");
    window->dispatch(Command::RunMachine);
    ASSERT_TRUE(QTest::qWaitFor([] { return !shown_consoles().empty(); }, 5000));
    QTest::keyClick(shown_consoles().front()->findChild<QPlainTextEdit*>(), Qt::Key_Space);
    QTest::keyClick(window->list(), Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor(
        [] {
            return !shown_consoles().empty() &&
                   shown_consoles().front()->text().endsWith(QStringLiteral("Press A Key To Exit"));
        },
        10000));
    QTest::qWait(200);
    ASSERT_EQ(shown_consoles().size(), 1u); // still asking
    EXPECT_EQ(running_jobs(), 1);
    QTest::keyClick(shown_consoles().front()->findChild<QPlainTextEdit*>(), Qt::Key_Space);
    ASSERT_TRUE(guitest::wait_for_jobs());
    QTest::qWait(100);
    EXPECT_EQ(running_jobs(), 0);
    EXPECT_EQ(mame.received(), "pacman\n--\n"); // one run only
}

// A flood of output keeps the windows live: a timer of the window thread is never much late,
// a line of megabytes is shown cut with its length and only the last lines are kept.
TEST_F(RunFixture, AFloodOfOutputKeepsTheWindowsResponsive) {
    const EnvGuard long_line("ORVEL_FAKE_LONG_LINE", "3145728");
    const EnvGuard lines("ORVEL_FAKE_LINES", "1000000");
    select("pacman");
    QTimer tick;
    tick.setInterval(50);
    QElapsedTimer since_last;
    qint64 worst = 0;
    QObject::connect(&tick, &QTimer::timeout,
                     [&] { worst = std::max(worst, since_last.restart() - 50); });
    since_last.start();
    tick.start();
    window->dispatch(Command::RunMachine);
    ASSERT_TRUE(guitest::wait_for_jobs(120000));
    tick.stop();
    EXPECT_LE(worst, 200);
    ASSERT_EQ(host.console_texts.size(), 1u);
    const QString& text = host.console_texts[0];
    EXPECT_TRUE(text.contains(QStringLiteral("xxxx ... (3145728 characters)")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("fake mame: done")));
    EXPECT_TRUE(text.contains(QStringLiteral("fake mame: line 1000000\nxxxx")));
    EXPECT_LE(text.count(QLatin1Char('\n')), 10000);
}

TEST_F(RunFixture, AFailedRunKeepsItsConsoleUntilAKeyAndShowsNoEscapes) {
    const EnvGuard failing("ORVEL_FAKE_EXIT", "2");
    select("pacman");
    QTimer poll;
    PausedRun paused;
    answer_paused_console(poll, paused, *window);
    window->dispatch(Command::RunMachine); // no pause asked for: only the failure keeps it
    ASSERT_TRUE(guitest::wait_for_jobs());
    ASSERT_TRUE(paused.seen);
    EXPECT_TRUE(paused.text.contains(
        QStringLiteral("Required files are missing, the machine cannot be run.")));
    EXPECT_FALSE(paused.text.contains(QChar(0x1b)));
    EXPECT_TRUE(paused.text.endsWith(QStringLiteral("Press A Key To Exit")));
    EXPECT_TRUE(shown_consoles().empty());
    EXPECT_TRUE(window->isEnabled());
}

// Runs also start from modal windows; a console outside the modal chain would be blocked and its
// pause could never be answered.
TEST(ConsoleOverModalWindow, ThePausedConsoleTakesTheInput) {
    QDialog modal;
    bool on_top = false;
    QTimer::singleShot(0, &modal, [&] {
        auto* console = new ConsoleWindow(QStringLiteral("MAME Output"));
        console->show();
        console->ask_key(QStringLiteral("Press A Key To Exit"), [&modal, console] {
            console->deleteLater();
            modal.reject();
        });
        QTimer::singleShot(20, console, [&on_top, console] {
            on_top = QApplication::activeModalWidget() == console;
            console->close();
        });
    });
    modal.exec();
    EXPECT_TRUE(on_top);
}

TEST(ConsoleColours, SequencesBecomeColoursOrVanish) {
    struct Case {
        const char* line;
        std::vector<std::pair<const char*, int>> runs; // text, palette colour (-1: default)
        bool bold_first;
    };
    const Case cases[] = {
        {"plain line", {{"plain line", -1}}, false},
        {"\x1b[1;31mmissing\x1b[0m rest", {{"missing", 1}, {" rest", -1}}, true},
        {"a\x1b[33mb\x1b[39mc", {{"a", -1}, {"b", 3}, {"c", -1}}, false},
        {"\x1b[2Kcleared\x1b[94m!", {{"cleared", -1}, {"!", 12}}, false}, // not a colour: dropped
        {"cut\x1b[", {{"cut", -1}}, false},                               // unfinished: dropped
        {"", {{"", -1}}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const std::vector<AnsiRun> runs = parse_ansi(QString::fromLatin1(c.line));
        ASSERT_EQ(runs.size(), c.runs.size());
        for (std::size_t i = 0; i < runs.size(); ++i) {
            EXPECT_EQ(runs[i].text, QString::fromLatin1(c.runs[i].first));
            EXPECT_EQ(runs[i].colour.isValid(), c.runs[i].second >= 0);
        }
        EXPECT_EQ(runs.front().bold, c.bold_first);
    }
    // The console shows the text without the escapes and keeps the colour.
    ConsoleWindow console(QStringLiteral("MAME Output"));
    console.append_line(QStringLiteral("\x1b[1;31mRequired files are missing\x1b[0m."));
    EXPECT_EQ(console.text(), QStringLiteral("Required files are missing."));
    const QTextCharFormat look =
        console.findChild<QPlainTextEdit*>()->document()->begin().begin().fragment().charFormat();
    EXPECT_EQ(look.foreground().color(), parse_ansi(QStringLiteral("\x1b[31mx")).front().colour);
}

TEST_F(RunFixture, SaveFolderIniWritesTheShownListAndTheTreeShowsTheNewFolder) {
    window->toolbar()->search_box()->setText(QStringLiteral("man")); // Pac-Man and Puck Man
    ASSERT_EQ(window->model()->rowCount(), 2);
    host.script.texts = {std::string("My Picks")};
    const std::string folders = mame.folder + "folders/";
    ASSERT_TRUE(create_folder(folders));
    host.script.files = {folders};
    window->dispatch(Command::SaveFolderIni);

    EXPECT_EQ(host.script.messages(),
              std::vector<std::string>{"Success!: " + folders + "My Picks.ini Created"});
    const std::string written = test::read_all(folders + "My Picks.ini");
    EXPECT_NE(written.find("[ROOT_FOLDER]\r\n"), std::string::npos);
    EXPECT_NE(written.find("pacman\r\n"), std::string::npos);
    EXPECT_NE(written.find("puckman\r\n"), std::string::npos);
    EXPECT_EQ(written.find("galaga"), std::string::npos);

    const TreeItemList& items = session.whole_state().tree;
    const std::size_t root = find_tree_child(items, kind_folders, "My Picks", "Root");
    ASSERT_NE(root, std::size_t(-1));
    ASSERT_NE(window->tree(), nullptr);
    QTreeWidgetItem* shown = window->tree()->item_at_position(root);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->text(0), QStringLiteral("Root"));
    ASSERT_NE(shown->parent(), nullptr);
    EXPECT_EQ(shown->parent()->text(0), QStringLiteral("My Picks"));

    // Choosing the new folder lists the machines it was saved from.
    window->tree()->setCurrentItem(shown);
    emit window->tree()->itemClicked(shown, 0);
    window->toolbar()->search_box()->clear();
    EXPECT_EQ(window->model()->rowCount(), 2);
}

TEST(DesktopFirstStart, BuildsTheDatabaseFromMamesListingAndOpensTheMainWindow) {
    FakeMameFolder mame;
    const EnvGuard listing("ORVEL_FAKE_LISTING", test::fixture("database/listing.xml"));
    ScriptedQtHost host;
    {
        Settings first;
        set_default_settings(first, mame.dir.path());
        ASSERT_TRUE(apply_chosen_mame(first, host.script, mame.exe));
    }
    Session session;
    StartupOptions options;
    options.start_directory = mame.dir.path();
    options.desktop_width = 1600;
    options.desktop_height = 1000;
    ASSERT_EQ(
        run_startup(session.whole_state().settings, session.whole_state().mame_paths, host, options)
            .outcome,
        StartupOutcome::Continue);
    ASSERT_EQ(file_size(database_path(session.whole_state().settings)), -1);

    std::unique_ptr<MainWindow> window = guitest::start_and_wait(session, host);
    ASSERT_NE(window, nullptr);

    // The build ran in its own console, which showed the banner and was closed.
    EXPECT_EQ(host.console_titles, std::vector<std::string>{"Starting Orvel..."});
    ASSERT_EQ(host.console_texts.size(), 1u);
    const QString& banner = host.console_texts[0];
    for (const char* line : {"║  Found Mame Version 0.251   ║", "║  Generating Mame XML File.  ║",
                             "║       Please Wait...        ║", "║ This May Take A Few Minutes ║",
                             "╔═════════════════════════════╗"})
        EXPECT_TRUE(banner.contains(QString::fromUtf8(line))) << line;
    EXPECT_TRUE(shown_consoles().empty());
    // The console came first, alone; the splash followed it with the later steps.
    EXPECT_FALSE(host.splash_beside_console);
    ASSERT_FALSE(host.progress_splash.empty());
    EXPECT_TRUE(host.progress_splash.back().second) << host.progress_splash.back().first;
    const std::vector<std::string>& steps = host.script.progress;
    for (const char* step : {"Loading XML Data...", "Checking ROM Availability...",
                             "Sorting Database...", "Saving Quickload File..."})
        EXPECT_NE(std::find(steps.begin(), steps.end(), step), steps.end()) << step;
    // MAME had no configuration of its own: it wrote its defaults, and that was all the user
    // was told.
    EXPECT_EQ(host.script.messages(),
              std::vector<std::string>{
                  "MAME Configuration: " +
                  mame_config_created_text(session.whole_state().settings.MAME_Path)});

    // The database was saved and the main window lists the listing's runnable machines.
    EXPECT_GT(file_size(database_path(session.whole_state().settings)), 0);
    EXPECT_EQ(session.whole_state().machines.size(), 9u);
    EXPECT_TRUE(window->isVisible());
    QStringList shown;
    for (int row = 0; row < window->model()->rowCount(); ++row)
        shown << window->model()->data(window->model()->index(row, 0), Qt::DisplayRole).toString();
    // Sorted by title without regard to case; the two devices that cannot run are left out.
    const QStringList expected = {QStringLiteral("Atari 2600 (NTSC) & friends"),
                                  QStringLiteral("Cube Quest (01/04/84)"),
                                  QStringLiteral("Killer Instinct (v1.3)"),
                                  QStringLiteral("killer instinct (v1.5d)"),
                                  QStringLiteral("Metal Slug - Super Vehicle-001"),
                                  QStringLiteral("Neo-Geo MV-6F"),
                                  QStringLiteral("Pinball <Mechanical>")};
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(window->status_strip()->field(0), QStringLiteral("Showing: 7 of 9"));
}

// A first start whose listing is broken or empty ends with the user told, leaving no window
// (for an empty one, once the user declines to choose another MAME).
TEST(DesktopFirstStart, ABrokenOrEmptyListingEndsTheProgramWithAMessage) {
    FakeMameFolder mame;
    const std::string broken = mame.dir.write(
        "broken.xml", "<?xml version=\"1.0\"?>\n<mame build=\"0.251\">\n<machine name=\"a\">\n");
    const std::string empty = mame.dir.write("empty.xml", "");
    for (const std::string& listing_file : {broken, empty}) {
        SCOPED_TRACE(listing_file);
        const EnvGuard listing("ORVEL_FAKE_LISTING", listing_file);
        ScriptedQtHost host;
        Session session;
        set_default_settings(session.whole_state().settings, mame.dir.path(), 1600, 1000);
        ASSERT_TRUE(apply_chosen_mame(session.whole_state().settings, host.script, mame.exe));
        (void)discover_mame_config(session.whole_state().settings,
                                   session.whole_state().mame_paths);
        EXPECT_EQ(guitest::start_and_wait(session, host), nullptr);
        const std::vector<std::string> messages = host.script.messages();
        ASSERT_EQ(messages.size(), 1u);
        if (listing_file == broken)
            EXPECT_EQ(messages[0].rfind("Error: ", 0), 0u) << messages[0];
        else // answered No: the program ends
            EXPECT_EQ(messages[0].rfind("No Machines: ", 0), 0u) << messages[0];
        EXPECT_EQ(host.console_texts.size(), 1u);
        EXPECT_EQ(file_size(database_path(session.whole_state().settings)), -1);
        for (QWidget* widget : QApplication::topLevelWidgets())
            EXPECT_FALSE(widget->isVisible()) << widget->metaObject()->className();
    }
}

// A rebuild whose listing the user cancels from its console: the bar counted the machines read
// against the old database, MAME ended, and the main window lists the old database, whose file
// is unchanged.
TEST(DesktopFirstStart, CancellingTheListingKeepsTheOldDatabase) {
    FakeMameFolder mame;
    const EnvGuard listing("ORVEL_FAKE_LISTING", test::fixture("database/listing.xml"));
    const EnvGuard slow("ORVEL_FAKE_LX_DELAY_MS", "400");
    ScriptedQtHost host;
    Session session;
    Settings& settings = session.whole_state().settings;
    set_default_settings(settings, mame.dir.path(), 1600, 1000);
    ASSERT_TRUE(apply_chosen_mame(settings, host.script, mame.exe));
    (void)discover_mame_config(settings, session.whole_state().mame_paths);
    MachineList old;
    old.push_back(machine("galaga", "Galaga (Namco rev. B)", true));
    old.push_back(machine("pacman", "Pac-Man (Midway)", true));
    ASSERT_TRUE(
        save_database(old, settings, session.whole_state().database_changed, host.script).ok());
    const std::string before = test::read_all(database_path(settings));

    QTimer poll;
    poll.setInterval(10);
    int counted = 0;
    QString caption;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        const std::vector<ConsoleWindow*> consoles = shown_consoles();
        if (consoles.empty() || consoles.front()->count_bar()->value() < 2) return;
        poll.stop();
        counted = consoles.front()->count_bar()->maximum();
        caption = consoles.front()->stop_button()->text();
        QTest::keyClick(consoles.front()->findChild<QPlainTextEdit*>(), Qt::Key_Escape);
    });
    poll.start();
    DesktopStartOptions desktop;
    desktop.refresh_database = true;
    const std::unique_ptr<MainWindow> window = guitest::start_and_wait(session, host, desktop);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(counted, 2);
    EXPECT_EQ(caption, QStringLiteral("&Cancel"));
    EXPECT_TRUE(shown_consoles().empty());
    EXPECT_EQ(window->model()->rowCount(), 2);
    EXPECT_EQ(test::read_all(database_path(settings)), before);
    EXPECT_FALSE(file_exists(join_path(settings.MAME_Path, "orvel.tmp")));
    EXPECT_TRUE(host.script.messages().empty());
}

// The real message box shows every line break of a message (CR LF or a line feed) as a line of
// its own.
TEST(QtHostMessage, LineBreaksOfEitherKindBecomeLines) {
    QtHost host;
    QString shown;
    QTimer::singleShot(0, [&shown] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shown = box->text();
        box->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(host.message("Error", "Error in the XML file:\nMessage: x\r\nLine: 3", Buttons::YesNo,
                           Icon::Error),
              Answer::Yes);
    EXPECT_EQ(shown, QStringLiteral("Error in the XML file:\nMessage: x\nLine: 3"));
}

} // namespace
} // namespace orvel::gui
