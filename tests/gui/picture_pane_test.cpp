#include "gui/commands.h"
#include "gui/gui_support.h"
#include "gui/machine_list_view.h"
#include "gui/main_window.h"
#include "gui/picture_decode.h"
#include "gui/picture_loader.h"
#include "gui/picture_pane.h"
#include "gui/picture_view.h"
#include "info/test_pictures.h"
#include "platform/files.h"
#include "settings/preferences.h"
#include "support/scripted_host.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

namespace orvel::gui {
namespace {

Machine machine(const char* name, const char* cloneof = "") {
    Machine m;
    m.name = name;
    m.description = name;
    m.cloneof = cloneof;
    m.isavailable = true;
    m.commandlines.push_back(default_commandline());
    return m;
}

// A main window over three machines whose MAME folder holds a title for pacman (a file), none
// for its clone puckman, and an in-game picture for dkong in the archive beside "snap".
struct Pictures : ::testing::Test {
    test::TempDir dir;
    test::ScriptedHost host;
    Session session;
    std::unique_ptr<MainWindow> window;

    void SetUp() override {
        Settings& settings = session.whole_state().settings;
        set_default_settings(settings, dir.path(), 1600, 1200);
        ASSERT_TRUE(create_folders(settings.ORVEL_Data));
        settings.MAME_Path = dir.path();
        session.whole_state().mame_paths.titles_directory = "titles";
        session.whole_state().mame_paths.snapshot_directory = "snap";
        dir.write("titles/pacman.png", test::make_png(30, 40));
        ASSERT_TRUE(test::make_zip(dir.file("snap.zip"), {{"dkong.png", test::make_png(8, 6)}}));
        session.whole_state().machines.push_back(machine("dkong"));
        session.whole_state().machines.push_back(machine("pacman"));
        session.whole_state().machines.push_back(machine("puckman", "pacman"));
        reset_view_list(session.whole_state().machines, session.whole_state().view);
    }
    void open() {
        window = std::make_unique<MainWindow>(session, host, guitest::icons());
        window->show();
        QApplication::processEvents();
    }
    // Selects a row as the keyboard does and waits for its picture.
    void select(int row) {
        window->list()->select_row(row);
        QTest::keyClick(window->list(), Qt::Key_Shift); // any key makes the row's record current
        wait();
    }
    void wait() {
        QElapsedTimer timer;
        timer.start();
        while (window->pictures()->loading() && timer.elapsed() < 10000) {
            window->pictures()->loader()->wait_idle();
            QApplication::processEvents();
        }
        ASSERT_FALSE(window->pictures()->loading());
    }
};

TEST_F(Pictures, PaneFollowsTheSelectionWithTheParentsPictureOrThePlaceholder) {
    session.whole_state().settings.ORVEL_Show_Pictures = 1;
    open();
    PicturePane* pane = window->pictures();
    ASSERT_TRUE(pane->isVisible());
    // Its kept width, but never more than a third of what the tree leaves the list.
    EXPECT_GE(pane->width(), 140);
    EXPECT_GT(window->list()->width(), pane->width());
    EXPECT_TRUE(window->action(Command::ShowPictures)->isChecked());
    wait();
    // Rows by description: dkong, pacman, puckman. dkong has no title.
    EXPECT_TRUE(pane->showing_placeholder());
    EXPECT_FALSE(pane->note()->isVisible());

    select(1);
    EXPECT_FALSE(pane->showing_placeholder());
    EXPECT_EQ(pane->shown_image().size(), QSize(30, 40));
    EXPECT_FALSE(pane->note()->isVisible());

    select(2);
    EXPECT_EQ(pane->shown_image().size(), QSize(30, 40));
    EXPECT_TRUE(pane->note()->isVisible());
    EXPECT_EQ(pane->note()->text(), QStringLiteral("Parent's picture"));
    QDir().mkpath(QStringLiteral(ORVEL_GUI_SHOTS_DIR)); // for people to look at
    EXPECT_TRUE(window->grab().save(QStringLiteral(ORVEL_GUI_SHOTS_DIR "/picture_pane.png")));

    // In-Game: dkong's comes from the archive beside the folder; the choice is kept in the file.
    select(0);
    pane->kind_box()->setCurrentIndex(1);
    emit pane->kind_box()->activated(1);
    wait();
    EXPECT_EQ(pane->shown_image().size(), QSize(8, 6));
    Settings saved;
    set_default_settings(saved, dir.path());
    ASSERT_TRUE(load_preferences(saved));
    EXPECT_EQ(saved.ORVEL_Picture_Kind, 1);
    EXPECT_EQ(saved.ORVEL_Show_Pictures, 1);

    // F9 hides the pane and keeps that too.
    window->action(Command::ShowPictures)->trigger();
    EXPECT_FALSE(pane->isVisible());
    EXPECT_FALSE(window->action(Command::ShowPictures)->isChecked());
    ASSERT_TRUE(load_preferences(saved));
    EXPECT_EQ(saved.ORVEL_Show_Pictures, 0);
}

TEST_F(Pictures, PaneIsHiddenByDefaultAndF9ShowsIt) {
    open();
    EXPECT_FALSE(window->pictures()->isVisible());
    EXPECT_EQ(window->action(Command::ShowPictures)->shortcut(), QKeySequence(Qt::Key_F9));
    QTest::keyClick(window->list(), Qt::Key_F9);
    EXPECT_TRUE(window->pictures()->isVisible());
    EXPECT_GE(window->pictures()->width(), 140);
    EXPECT_GT(window->list()->width(), window->pictures()->width());
}

// An 8000 x 8000 title is decoded at the size the pane shows, never whole.
TEST_F(Pictures, AHugePictureIsDecodedAtTheShownSize) {
    const std::string huge = test::make_big_png(8000);
    ASSERT_LT(huge.size(), 400000u);
    const QImage fitted = decode_picture(huge, QSize(300, 200));
    EXPECT_EQ(fitted.size(), QSize(200, 200));
    EXPECT_EQ(fitted.pixelColor(100, 100), QColor(0x40, 0x40, 0x40));

    ASSERT_TRUE(test::make_zip(dir.file("titles.zip"), {{"dkong.png", huge}}));
    std::filesystem::remove_all(dir.file("titles"));
    session.whole_state().settings.ORVEL_Show_Pictures = 1;
    open();
    wait();
    PicturePane* pane = window->pictures();
    ASSERT_FALSE(pane->showing_placeholder());
    const QSize shown = pane->view()->shown_size();
    EXPECT_LE(pane->shown_image().width(), shown.width());
    EXPECT_LE(pane->shown_image().height(), shown.height());
    EXPECT_GE(std::max(pane->shown_image().width(), pane->shown_image().height()),
              std::min(shown.width(), shown.height()) - 1);
}

} // namespace
} // namespace orvel::gui
