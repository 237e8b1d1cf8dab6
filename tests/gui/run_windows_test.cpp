// The software list window, the own image window and the advanced run window against the fake
// MAME: what they show, how their controls change the records, and the runs they start.

#include "app/startup.h"
#include "gui/advanced_run_window.h"
#include "gui/captured_output_window.h"
#include "gui/commands.h"
#include "gui/elided_label.h"
#include "gui/gui_support.h"
#include "gui/machine_list_model.h"
#include "gui/machine_list_view.h"
#include "gui/main_window.h"
#include "gui/own_image_window.h"
#include "gui/qt_text.h"
#include "gui/software_list_model.h"
#include "gui/software_list_window.h"
#include "launch/commandlines.h"
#include "settings/mame_config.h"
#include "settings/settings.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace orvel::gui {
namespace {

using guitest::FakeMameFolder;
using guitest::icons;
using guitest::ScriptedQtHost;

// Runs check on the first shown top-level window of type W once the current call opens it
// (watching for five seconds at most).
template <typename W, typename F> void when_shown(F check) {
    auto* poll = new QTimer;
    poll->setInterval(10);
    auto ticks = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, check, ticks] {
        if (++*ticks > 500) {
            poll->stop();
            poll->deleteLater();
            return;
        }
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* window = qobject_cast<W*>(widget); window && window->isVisible()) {
                poll->stop();
                poll->deleteLater();
                check(window);
                return;
            }
    });
    poll->start();
}

// The fake MAME with the NES list in its hash folder and smb among its romsets, and two
// machines: nes with a list that exists and one that does not, and a BIOS machine.
struct RunWindows : ::testing::Test {
    FakeMameFolder mame;
    ScriptedQtHost host;
    Session session;
    AppState& state = session.whole_state();

    void SetUp() override {
        set_default_settings(state.settings, mame.dir.path(), 1600, 1200);
        ASSERT_TRUE(apply_chosen_mame(state.settings, host.script, mame.exe));
        (void)discover_mame_config(state.settings, state.mame_paths);
        mame.dir.write("mame/hash/nes.xml", test::read_all(test::fixture("softlist/nes.xml")));
        mame.dir.write("mame/roms/nes/smb.zip", "x");

        Machine nes;
        nes.name = "nes";
        nes.description = "Nintendo Entertainment System";
        nes.isavailable = true;
        nes.softwarelists = {"nes", "famicom_flop"};
        nes.commandlines.push_back(default_commandline());
        Machine neogeo;
        neogeo.name = "mslug";
        neogeo.description = "Metal Slug";
        neogeo.isavailable = true;
        neogeo.bios_sets = {{"euro", "Europe MVS"}, {"us", "US MVS"}};
        for (const char* name : {"Default", "Windowed", "Fast"})
            neogeo.commandlines.push_back({name, std::string("-") + name, -1});
        state.machines = {nes, neogeo};
        reset_view_list(state.machines, state.view);
    }
    Machine& nes() { return state.machines[0]; }
    Machine& mslug() { return state.machines[1]; }
    QStringList rows(const SoftwareListWindow& window) const {
        QStringList out;
        for (int row = 0; row < window.model()->rowCount(); ++row)
            out << window.model()->data(window.model()->index(row), Qt::DisplayRole).toString();
        return out;
    }
};

TEST_F(RunWindows, SoftwareListFilterSearchAndAMissingList) {
    state.software_filter = SoftwareFilter::All;
    SoftwareListWindow window(session, 0, host);
    window.show();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Nintendo Entertainment System"));
    EXPECT_EQ(rows(window), (QStringList{QStringLiteral("Super Mario Bros."),
                                         QStringLiteral("The Legend of Zelda")}));
    EXPECT_EQ(window.status_texts(),
              (QStringList{QStringLiteral("Year: 1985"), QStringLiteral("By: Nintendo"),
                           QStringLiteral("File: smb")}));
    EXPECT_EQ(window.focusWidget(), window.item_list());

    window.filter_box()->setCurrentIndex(2); // Missing
    EXPECT_EQ(state.software_filter, SoftwareFilter::Missing);
    EXPECT_EQ(rows(window), QStringList{QStringLiteral("The Legend of Zelda")});
    EXPECT_EQ(window.status_texts()[2], QStringLiteral("File: zelda"));

    // The search narrows within the filter; nothing shown empties the status fields.
    QTest::keyClicks(window.search_box(), QStringLiteral("mario"));
    EXPECT_TRUE(rows(window).isEmpty());
    EXPECT_EQ(window.status_texts(), (QStringList{QString(), QString(), QString()}));
    EXPECT_EQ(state.software_items.current_item(), nullptr);
    window.filter_box()->setCurrentIndex(0);
    EXPECT_EQ(rows(window), QStringList{QStringLiteral("Super Mario Bros.")});
    window.search_box()->clear();

    // A missing list shows nothing and disables what needs items, but not the list box.
    window.list_box()->setCurrentIndex(1);
    EXPECT_TRUE(rows(window).isEmpty());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Software List (0 Titles)"));
    EXPECT_FALSE(window.start_image_button()->isEnabled());
    EXPECT_FALSE(window.filter_box()->isEnabled());
    EXPECT_TRUE(window.list_box()->isEnabled());
    window.list_box()->setCurrentIndex(0);
    EXPECT_EQ(rows(window).size(), 2);
    EXPECT_TRUE(window.start_image_button()->isEnabled());
    EXPECT_EQ(state.software_filter, SoftwareFilter::All);
    window.close();
}

TEST_F(RunWindows, SoftwareRunsReachMameWithTheItemNothingOrTheOwnImage) {
    state.software_filter = SoftwareFilter::All;
    SoftwareListWindow window(session, 0, host);
    window.show();
    window.start_image(); // smb, available: nothing is asked
    ASSERT_TRUE(guitest::wait_for_jobs());
    EXPECT_EQ(mame.received(), "nes\nnes:smb\n--\n");
    EXPECT_TRUE(host.script.prompts.empty());
    EXPECT_TRUE(window.isEnabled());
    EXPECT_EQ(window.focusWidget(), window.item_list());

    // Enter on zelda, whose file is missing: No cancels the run.
    window.item_list()->setCurrentIndex(window.model()->index(1));
    QTest::keyClick(window.item_list(), Qt::Key_Return);
    ASSERT_TRUE(guitest::wait_for_jobs());
    EXPECT_EQ(host.script.messages(),
              std::vector<std::string>{"File Not Found!: Try Loading Anyway?"});
    EXPECT_EQ(mame.received(), "nes\nnes:smb\n--\n");

    window.start_empty();
    ASSERT_TRUE(guitest::wait_for_jobs());
    EXPECT_EQ(mame.received(), "nes\nnes:smb\n--\nnes\n--\n");
    EXPECT_TRUE(window.isVisible());

    // The own image window: a cancelled chooser keeps Run disabled; flop1 and a file run.
    const std::string image = mame.dir.write("my disk.dsk", "x");
    host.script.files = {"", image};
    bool seen = false;
    when_shown<OwnImageWindow>([&](OwnImageWindow* own) {
        seen = true;
        EXPECT_EQ(own->windowTitle(), QStringLiteral("Own Software"));
        EXPECT_EQ(own->preview()->text(), QStringLiteral("-cart1 \"\""));
        own->select_button()->click();
        EXPECT_FALSE(own->run_button()->isEnabled());
        EXPECT_EQ(own->preview()->text(), QStringLiteral("-cart1 \"\""));
        own->select_button()->click();
        own->media_box()->setCurrentIndex(2);
        EXPECT_EQ(own->preview()->text(),
                  QStringLiteral("-flop1 \"") + qs(image) + QLatin1Char('"'));
        own->run_button()->click();
    });
    window.own_image_button()->click();
    ASSERT_TRUE(guitest::wait_for_jobs());
    EXPECT_TRUE(seen);
    EXPECT_EQ(mame.received(), "nes\nnes:smb\n--\nnes\n--\nnes\n-flop1\n" + image + "\n--\n");
    EXPECT_TRUE(window.isEnabled());
    window.close();
}

TEST_F(RunWindows, AdvancedWindowWithoutBiosOrSoftwareLists) {
    Machine& m = nes();
    AdvancedRunWindow window(session, 0, host, icons(), nullptr);
    window.show();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Running Nintendo Entertainment System"));
    EXPECT_EQ(window.bios_box()->count(), 1);
    EXPECT_EQ(window.bios_box()->currentText(), QStringLiteral("None"));
    EXPECT_FALSE(window.bios_box()->isEnabled());
    EXPECT_FALSE(window.use_bios_box()->isEnabled());
    EXPECT_TRUE(window.software_button()->isEnabled());
    EXPECT_TRUE(window.process_box()->isChecked());
    EXPECT_FALSE(window.capture_box()->isChecked());
    EXPECT_EQ(window.status_text(), qs(mame.exe) + QStringLiteral(" nes "));
    m.softwarelists.clear();
    AdvancedRunWindow plain(session, 0, host, icons(), nullptr);
    EXPECT_FALSE(plain.software_button()->isEnabled());
}

TEST_F(RunWindows, AdvancedWindowManagesCommandLinesAndTheirBios) {
    state.selected_commandline = 1; // as a software list run from this window would leave it
    AdvancedRunWindow window(session, 1, host, icons(), nullptr);
    window.show();
    Machine& m = mslug();
    EXPECT_EQ(window.commandline_box()->currentText(), QStringLiteral("Windowed"));
    EXPECT_EQ(window.commandline_field()->text(), QStringLiteral("-Windowed"));
    EXPECT_FALSE(state.database_changed);

    // Add while the second of three is selected: the new one is third everywhere.
    host.script.texts = {std::string("Scanlines")};
    window.add_commandline();
    EXPECT_EQ(host.script.prompts.back().title, "Add Commandline");
    EXPECT_EQ(host.script.prompts.back().text, " Please enter a name.|"); // prompt|default
    ASSERT_EQ(m.commandlines.size(), 4u);
    EXPECT_EQ(m.commandlines[2].commandline_name, "Scanlines");
    EXPECT_EQ(window.commandline_box()->itemText(2), QStringLiteral("Scanlines"));
    EXPECT_EQ(window.commandline_box()->currentIndex(), 2);
    EXPECT_EQ(state.selected_commandline, 2);
    EXPECT_TRUE(window.commandline_field()->text().isEmpty());
    EXPECT_TRUE(state.database_changed);

    // Typing edits the record; choosing the second BIOS stores 1, unchecking stores -1.
    QTest::keyClicks(window.commandline_field(), QStringLiteral("-nowindow"));
    EXPECT_EQ(m.commandlines[2].commandline_string, "-nowindow");
    window.use_bios_box()->click();
    EXPECT_TRUE(window.bios_box()->isEnabled());
    window.bios_box()->setCurrentIndex(1);
    emit window.bios_box()->activated(1);
    EXPECT_EQ(m.commandlines[2].commandline_bios, 1);
    EXPECT_TRUE(window.status_text().endsWith(QStringLiteral(" mslug -bios us -nowindow")));
    window.use_bios_box()->click();
    EXPECT_EQ(m.commandlines[2].commandline_bios, -1);
    EXPECT_FALSE(window.bios_box()->isEnabled());
    EXPECT_EQ(window.bios_box()->currentIndex(), 0);
    window.use_bios_box()->click();
    window.bios_box()->setCurrentIndex(1);
    emit window.bios_box()->activated(1);

    // Another line shows its own BIOS state; back again shows the choice.
    emit window.commandline_box()->activated(0);
    EXPECT_FALSE(window.use_bios_box()->isChecked());
    EXPECT_EQ(window.commandline_field()->text(), QStringLiteral("-Default"));
    emit window.commandline_box()->activated(2);
    EXPECT_TRUE(window.use_bios_box()->isChecked());
    EXPECT_EQ(window.bios_box()->currentIndex(), 1);

    // Remove the first of the lines: the former second is shown; the last one stays.
    emit window.commandline_box()->activated(0);
    host.script.answers = {Answer::Yes, Answer::Yes, Answer::Yes, Answer::Yes};
    window.remove_commandline();
    EXPECT_EQ(window.commandline_box()->currentText(), QStringLiteral("Windowed"));
    EXPECT_EQ(window.commandline_field()->text(), QStringLiteral("-Windowed"));
    EXPECT_TRUE(window.status_text().endsWith(QStringLiteral(" mslug -Windowed")));
    window.remove_commandline();
    window.remove_commandline();
    EXPECT_EQ(m.commandlines.size(), 1u);
    window.remove_commandline();
    EXPECT_EQ(host.script.messages().back(), "Error: Cannot delete last command!");
    EXPECT_EQ(m.commandlines.size(), 1u);
    EXPECT_EQ(window.commandline_box()->count(), 1);

    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(state.selected_commandline, 0);
}

TEST_F(RunWindows, AdvancedRunsWithAndWithoutTheCommandLineAndCaptured) {
    mslug().commandlines[1].commandline_bios = 1;
    state.selected_commandline = 1;
    AdvancedRunWindow window(session, 1, host, icons(), nullptr);
    std::vector<std::string> opened;
    window.set_file_opener([&](const std::string& path) {
        opened.push_back(path);
        return true;
    });
    window.show();
    window.run_machine();
    ASSERT_TRUE(guitest::wait_for_jobs());
    EXPECT_EQ(mame.received(), "mslug\n-bios\nus\n-Windowed\n--\n");
    EXPECT_EQ(host.console_titles, std::vector<std::string>{"MAME Output"});

    window.process_box()->click();
    window.run_machine();
    ASSERT_TRUE(guitest::wait_for_jobs());
    EXPECT_EQ(mame.received(), "mslug\n-bios\nus\n-Windowed\n--\nmslug\n--\n");

    // A captured run shows both texts in a window of its own; its button opens the files.
    test::TempDir tmp;
    const test::EnvGuard tmpdir("TMPDIR", tmp.path());
    window.capture_box()->click();
    bool seen = false;
    when_shown<CapturedOutputWindow>([&](CapturedOutputWindow* output) {
        seen = true;
        EXPECT_TRUE(output->output_pane()->toPlainText().contains(
            QStringLiteral("fake mame: running mslug")));
        EXPECT_TRUE(output->error_pane()->toPlainText().contains(
            QStringLiteral("fake mame: warning line")));
        output->open_button()->click();
        output->accept();
    });
    window.run_machine();
    ASSERT_TRUE(guitest::wait_for_jobs());
    ASSERT_TRUE(seen);
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_NE(test::read_all(opened[0]).find("fake mame: running mslug"), std::string::npos);
    EXPECT_TRUE(window.isEnabled());

    window.help();
    EXPECT_TRUE(opened.back().ends_with("commandline-all.html"));
    host.script.files = {""};
    window.edit_ini(); // cancelled: nothing opened
    EXPECT_EQ(opened.size(), 3u);
    host.script.texts = {std::string("mslug.ini")};
    host.script.answers = {Answer::Yes};
    window.create_ini(); // copy, but the file chooser is cancelled: nothing is written
    EXPECT_EQ(host.script.messages().back(), "File Type...: Copy existing ini file?");
    EXPECT_EQ(host.script.prompts.back().title, "Select File");
}

TEST_F(RunWindows, MainWindowOpensTheSoftwareListAndAdvancedWindows) {
    MainWindow main(session, host, icons());
    host.set_main_window(&main);
    main.show();
    for (int row = 0; row < main.model()->rowCount(); ++row)
        if (main.model()->position(row) == 0) main.list()->select_row(row);
    // nes has software lists: Run Machine opens its software list window.
    bool software = false;
    when_shown<SoftwareListWindow>([&](SoftwareListWindow* window) {
        software = true;
        EXPECT_FALSE(main.isEnabled());
        QTest::keyClick(window->item_list(), Qt::Key_Escape);
    });
    main.dispatch(Command::RunMachine);
    ASSERT_TRUE(guitest::wait_for_jobs());
    EXPECT_TRUE(software);
    EXPECT_TRUE(main.isEnabled());
    EXPECT_TRUE(session.whole_state().software_items.items.empty());
    EXPECT_TRUE(mame.received().empty());

    bool advanced = false;
    when_shown<AdvancedRunWindow>([&](AdvancedRunWindow* window) {
        advanced = true;
        EXPECT_TRUE(main.isEnabled());
        QTest::keyClick(window->commandline_field(), Qt::Key_Escape);
    });
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    main.list()->setFocus();
    QTest::keyClick(main.list(), Qt::Key_Return, Qt::ShiftModifier);
    ASSERT_TRUE(guitest::wait_for_jobs());
    EXPECT_TRUE(advanced);
}

TEST_F(RunWindows, StartEmptyBringsTheSoftwareListWindowBack) {
    state.software_filter = SoftwareFilter::All;
    bool back = false;
    when_shown<SoftwareListWindow>([&](SoftwareListWindow* window) {
        const QPointer<SoftwareListWindow> watched(window);
        window->start_empty_button()->click();
        guitest::wait_for_jobs();
        // Seen from the window's own event loop once the run is over.
        QTimer::singleShot(50, window, [watched, &back] {
            back = watched && watched->isVisible() && watched->isEnabled();
            if (watched) watched->reject();
        });
    });
    open_software_list_window(session, 0, host, nullptr);
    EXPECT_EQ(mame.received(), "nes\n--\n");
    EXPECT_TRUE(back);
}

TEST_F(RunWindows, EscapeInTheSoftwareSearchClearsItBeforeClosing) {
    state.software_filter = SoftwareFilter::All;
    SoftwareListWindow window(session, 0, host);
    window.show();
    QTest::keyClicks(window.search_box(), QStringLiteral("zelda"));
    EXPECT_EQ(rows(window).size(), 1);
    QTest::keyClick(window.search_box(), Qt::Key_Escape);
    EXPECT_TRUE(window.search_box()->text().isEmpty());
    EXPECT_EQ(rows(window).size(), 2);
    EXPECT_TRUE(window.isVisible());
    QTest::keyClick(window.search_box(), Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(RunWindows, SoftwareItemsWithoutADescriptionShowTheirName) {
    SoftwareItemList items;
    items.items.resize(2);
    items.items[0].name = "untitled";
    items.items[1].name = "smb";
    items.items[1].description = "Super Mario Bros.";
    SoftwareListModel model(items);
    model.set_view({0, 1});
    EXPECT_EQ(model.data(model.index(0), Qt::DisplayRole).toString(), QStringLiteral("untitled"));
    EXPECT_EQ(model.data(model.index(1), Qt::DisplayRole).toString(),
              QStringLiteral("Super Mario Bros."));
}

TEST_F(RunWindows, ALongStoredCommandLineIsCutInTheStatusLineNotWideningTheWindow) {
    const std::string options = "-" + std::string(3000, 'w');
    mslug().commandlines[0].commandline_string = options;
    AdvancedRunWindow window(session, 1, host, icons(), nullptr);
    window.show();
    EXPECT_LE(window.width(), 800);
    EXPECT_LE(window.minimumSizeHint().width(), 800);
    EXPECT_TRUE(window.status_text().endsWith(qs(options)));
    EXPECT_EQ(window.findChild<ElidedLabel*>()->toolTip(), window.status_text());
}

TEST_F(RunWindows, WhatTheSystemCannotOpenIsReportedWithItsPathOrAddress) {
    AdvancedRunWindow window(session, 1, host, icons(), nullptr);
    window.set_file_opener([](const std::string&) { return false; });
    window.show();
    const std::string ini = mame.dir.write("mame/ini/mslug.ini", "");
    host.script.files = {ini};
    window.edit_ini();
    window.help();
    CapturedRun run;
    run.output_path = mame.dir.file("output.txt");
    run.error_path = mame.dir.file("error.txt");
    CapturedOutputWindow output(run, host, [](const std::string&) { return false; });
    output.open_button()->click();
    EXPECT_EQ(host.script.messages(),
              (std::vector<std::string>{"Cannot Open: The system could not open:\n" + ini,
                                        "Cannot Open: The system could not open:\n" +
                                            std::string(commandline_help_address),
                                        "Cannot Open: The system could not open:\n" +
                                            run.output_path + "\n" + run.error_path}));
    EXPECT_EQ(host.script.prompts.back().icon, Icon::Error);
}

TEST_F(RunWindows, TheCapturedOutputWindowShowsTheStartOfHugeOutput) {
    CapturedRun run;
    const std::string line = std::string(78, 'x') + "\r\n";
    std::string huge;
    while (huge.size() <= (4u << 20))
        huge += line;
    run.output_path = mame.dir.write("output.txt", huge);
    run.error_path = mame.dir.write("error.txt", "bad rom\r\n");
    CapturedOutputWindow output(run, host);
    const QString shown = output.output_pane()->toPlainText();
    EXPECT_LE(shown.size(), 4 << 20);
    EXPECT_TRUE(shown.startsWith(QString(78, QLatin1Char('x')) + QLatin1Char('\n')));
    EXPECT_TRUE(shown.endsWith(QStringLiteral("[Only the first 4 MB are shown here: Open In Text "
                                              "Viewer shows the whole file, 4 MB.]")));
    EXPECT_EQ(output.error_pane()->toPlainText(), QStringLiteral("bad rom\n"));
}

// Its Save Database runs as a job: the window takes no input and cannot be closed meanwhile.
TEST_F(RunWindows, TheAdvancedWindowSavesAsAJob) {
    AdvancedRunWindow window(session, 1, host, icons(), nullptr);
    window.show();
    state.database_changed = true;
    host.script.answers = {Answer::Yes}; // "Save Command Line Data?"
    window.save_database();
    EXPECT_FALSE(window.isEnabled());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Saving..."));
    window.reject(); // Escape or the close box
    ASSERT_TRUE(guitest::wait_for_jobs());
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.isEnabled());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Running Metal Slug"));
    EXPECT_FALSE(state.database_changed);
    EXPECT_GT(file_size(database_path(state.settings)), 0);
}

// The command line field is drawn on black whatever the style's colours.
TEST_F(RunWindows, TheAdvancedRunWindowDrawsItsFieldOnBlack) {
    AdvancedRunWindow advanced(session, 1, host, icons(), nullptr);
    advanced.show();
    QApplication::processEvents();
    const QImage shot = advanced.grab().toImage();
    QDir().mkpath(QStringLiteral(ORVEL_GUI_SHOTS_DIR)); // for people to look at
    shot.save(QStringLiteral(ORVEL_GUI_SHOTS_DIR "/advanced_run.png"));
    const QLineEdit* line = advanced.commandline_field();
    const QRect field(line->mapTo(&advanced, QPoint(0, 0)), line->size());
    // Right of the text, across the field's middle.
    const int from = field.left() + line->fontMetrics().horizontalAdvance(line->text()) + 16;
    ASSERT_LT(from, field.right() - 8);
    for (int x = from; x < field.right() - 8; x += 4) {
        const QPoint at = QPoint(x, field.center().y()) * shot.devicePixelRatio();
        ASSERT_LT(shot.pixelColor(at).lightness(), 40) << x;
    }
}

} // namespace
} // namespace orvel::gui
