#include "gui/dat_text_panel.h"
#include "gui/machine_info_window.h"
#include "gui/screen_fit.h"
#include "info/test_pictures.h"
#include "support/scripted_host.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace orvel::gui {
namespace {

// A MAME folder with a title picture, a snapshot in the archive beside its folder, an icon and
// DAT files, and three machines: a parent with all of it, its clone with nothing of its own, and
// a machine with nothing at all.
struct InfoWindow : ::testing::Test {
    test::TempDir dir;
    AppState state;
    Machine parent, clone, bare;

    void SetUp() override {
        state.settings.MAME_Path = dir.path();
        state.mame_paths.titles_directory = "titles";
        state.mame_paths.snapshot_directory = "snap";
        state.mame_paths.icons_directory = "icons";
        state.mame_paths.historypath = "history;dats";
        dir.write("titles/pacman.png", test::make_png(30, 40)); // upright, like a vertical game
        ASSERT_TRUE(test::make_zip(dir.file("snap.zip"), {{"pacman.png", test::make_png(4, 3)}}));
        dir.write("icons/pacman.ico", test::make_png(16, 16));
        dir.write("history/history.dat", "$info=pacman,puckman,\n$bio\n\nPac-Man history.\n$end\n");
        dir.write("dats/story.dat", "$info=pacman\n$story\nHigh scores.\n$end\n");

        parent.name = "pacman";
        parent.description = "Pac-Man (Midway)";
        parent.screen_rotate = "90";
        clone = parent;
        clone.name = "puckman";
        clone.cloneof = "pacman";
        clone.description = "Puck Man (Japan set 1)";
        bare.name = "dkong";
        bare.description = "Donkey Kong (US set 1)";
    }

    std::unique_ptr<MachineInfoWindow> open(const Machine& machine) {
        auto window = std::make_unique<MachineInfoWindow>(machine, nullptr);
        EXPECT_EQ(window->windowTitle(), QStringLiteral("Loading Data..."));
        window->load(state.mame_paths, state.settings.MAME_Path, state.dat_cache);
        return window;
    }
    static QString cell(const MachineInfoWindow& window, int row, int column) {
        return window.attribute_table()->item(row, column)->text();
    }
    static QStringList lines(const MachineInfoWindow& window) {
        QStringList out;
        for (int i = 0; i < window.text_list()->count(); ++i)
            out << window.text_list()->item(i)->text();
        return out;
    }
    static std::vector<bool> dat_enabled(const MachineInfoWindow& window) {
        std::vector<bool> out;
        for (int kind = 1; kind <= dat_kind_count; ++kind)
            out.push_back(window.dat_action(kind)->isEnabled());
        return out;
    }
};

TEST_F(InfoWindow, ParentShowsItsRowsTitlePictureIconAndHistory) {
    const auto window = open(parent);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Pac-Man (Midway)"));
    // 600 x 600, a little wider only where the wrapped lines would not fit beside the scroll bar.
    EXPECT_EQ(window->height(),
              std::min(600, available_area().height() - frame_allowance(window.get()).height()));
    EXPECT_GE(window->width(), 600);
    EXPECT_LE(window->width(), 640);
    EXPECT_FALSE(window->windowIcon().isNull());

    QTableWidget* table = window->attribute_table();
    ASSERT_EQ(table->rowCount(), 17);
    EXPECT_EQ(cell(*window, 4, 0), QStringLiteral("Set Type"));
    EXPECT_EQ(cell(*window, 4, 1), QStringLiteral("Parent"));
    EXPECT_EQ(cell(*window, 11, 1), QStringLiteral("Vertical (90\u00B0)"));
    EXPECT_EQ(table->item(0, 0)->background().color(), QColor(0xF9, 0xF9, 0xF9));
    EXPECT_EQ(table->item(1, 1)->background().style(), Qt::NoBrush);
    EXPECT_EQ(table->font().family(), QStringLiteral("Arial"));

    // The title picture first, kept whole (30 x 40); both pictures can be chosen.
    EXPECT_EQ(window->title_location().source, PictureSource::Folder);
    EXPECT_FALSE(window->showing_placeholder());
    EXPECT_EQ(window->shown_image().size(), QSize(30, 40));
    EXPECT_TRUE(window->titles_action()->isChecked());
    EXPECT_TRUE(window->titles_action()->isEnabled());
    EXPECT_TRUE(window->in_game_action()->isEnabled());
    window->in_game_action()->trigger();
    EXPECT_EQ(window->snapshot_location().source, PictureSource::ArchiveBeside);
    EXPECT_EQ(window->shown_image().size(), QSize(4, 3));
    EXPECT_TRUE(window->in_game_action()->isChecked());
    EXPECT_FALSE(window->titles_action()->isChecked());

    // Only History and Story have text: History is shown, Story can be chosen.
    EXPECT_EQ(dat_enabled(*window), (std::vector<bool>{false, true, false, false, false, true}));
    EXPECT_EQ(window->shown_dat(), 2);
    EXPECT_TRUE(window->dat_action(2)->isChecked());
    EXPECT_EQ(lines(*window), (QStringList{QStringLiteral("###- history.dat -###"), QString(),
                                           QStringLiteral("Pac-Man history.")}));
    window->dat_action(6)->trigger();
    EXPECT_EQ(window->shown_dat(), 6);
    EXPECT_FALSE(window->dat_action(2)->isChecked());
    EXPECT_EQ(lines(*window).last(), QStringLiteral("High scores."));
    EXPECT_EQ(window->text_list()->font().styleHint(), QFont::Monospace);
}

TEST_F(InfoWindow, CloneShowsEighteenRowsAndItsParentsPictureAndText) {
    dir.write("dats/mameinfo.dat", "$info=pacman\n$mame\nNotes.\n$end\n");
    const auto window = open(clone);
    ASSERT_EQ(window->attribute_table()->rowCount(), 18);
    EXPECT_EQ(cell(*window, 4, 1), QStringLiteral("Clone"));
    EXPECT_EQ(cell(*window, 5, 0), QStringLiteral("Clone Of"));
    EXPECT_EQ(cell(*window, 5, 1), QStringLiteral("pacman"));
    EXPECT_TRUE(window->title_location().from_parent);
    EXPECT_EQ(window->shown_image().size(), QSize(30, 40));
    // Mameinfo comes first once it has text.
    EXPECT_EQ(window->shown_dat(), 1);
    EXPECT_EQ(lines(*window).last(), QStringLiteral("Notes."));
}

TEST_F(InfoWindow, MachineWithoutPicturesOrTextsShowsThePlaceholderAndNoInformation) {
    const auto window = open(bare);
    EXPECT_TRUE(window->showing_placeholder());
    EXPECT_EQ(window->shown_image().size(), QSize(208, 192));
    EXPECT_FALSE(window->titles_action()->isEnabled());
    EXPECT_FALSE(window->in_game_action()->isEnabled());
    EXPECT_TRUE(window->titles_action()->isChecked());
    EXPECT_TRUE(window->windowIcon().isNull() ||
                window->windowIcon().cacheKey() == QApplication::windowIcon().cacheKey());
    EXPECT_EQ(dat_enabled(*window), std::vector<bool>(6, false));
    EXPECT_EQ(window->shown_dat(), 0);
    EXPECT_EQ(lines(*window), QStringList{QStringLiteral("No Information")});
}

TEST_F(InfoWindow, IndexesAreKeptBetweenOpenings) {
    open(parent);
    const std::uint64_t builds = state.dat_cache.index_builds();
    EXPECT_GT(builds, 0u);
    open(clone);
    EXPECT_EQ(state.dat_cache.index_builds(), builds);
}

TEST_F(InfoWindow, DatTextIsLaidOutWhenShownOnceAndCanBeCopiedAndSearched) {
    std::string bio = "$info=pacman,\n$bio\n\n";
    for (int i = 0; i < 3000; ++i)
        bio += "Line " + std::to_string(i) + " of a long history.\n";
    dir.write("history/history.dat", bio + "The last word.\n$end\n");
    open(parent);
    // History is shown and laid out; Story waits until it is chosen; a second opening lays out
    // nothing again.
    EXPECT_EQ(state.dat_cache.text_wraps(), 1u);
    const auto window = open(parent);
    EXPECT_EQ(state.dat_cache.text_wraps(), 1u);
    window->dat_action(6)->trigger();
    window->dat_action(2)->trigger();
    EXPECT_EQ(state.dat_cache.text_wraps(), 2u);

    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QListWidget* list = window->text_list();
    list->setFocus();
    QTest::keyClick(list, Qt::Key_F, Qt::ControlModifier);
    auto* find = window->findChild<DatTextPanel*>()->find_box();
    EXPECT_TRUE(find->isVisible());
    QTest::keyClicks(find, QStringLiteral("LAST WORD"));
    QTest::keyClick(find, Qt::Key_Return);
    EXPECT_EQ(list->currentItem()->text(), QStringLiteral("The last word."));
    QTest::keyClick(find, Qt::Key_Escape);
    EXPECT_FALSE(find->isVisible());
    EXPECT_TRUE(window->isVisible());

    list->setCurrentRow(2, QItemSelectionModel::ClearAndSelect);
    list->setCurrentRow(3, QItemSelectionModel::Select);
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QStringLiteral("Line 0 of a long history.\nLine 1 of a long history."));
}

TEST_F(InfoWindow, Screenshot) {
    QDir().mkpath(QStringLiteral(ORVEL_GUI_SHOTS_DIR));
    std::string bio = "$info=pacman,\n$bio\n\n";
    for (int i = 0; i < 8; ++i)
        bio += "A yellow circle eats dots in a maze while four ghosts chase it; eating a power "
               "pill turns the tables for a few seconds.\n\n";
    dir.write("history/history.dat", bio + "$end\n");
    const auto window = open(parent);
    window->show();
    QApplication::processEvents();
    EXPECT_TRUE(window->grab().save(QStringLiteral(ORVEL_GUI_SHOTS_DIR "/machine_info.png")));
    // No wrapped line needs the horizontal scroll bar.
    EXPECT_FALSE(window->text_list()->horizontalScrollBar()->isVisible());
}

} // namespace
} // namespace orvel::gui
