#include "app/startup.h"
#include "database/database_file.h"
#include "gui/about_window.h"
#include "gui/command_table.h"
#include "gui/desktop_start.h"
#include "gui/filter_tree_view.h"
#include "gui/gui_support.h"
#include "gui/icon_set.h"
#include "gui/machine_list_model.h"
#include "gui/machine_list_view.h"
#include "gui/main_window.h"
#include "gui/splash_window.h"
#include "gui/status_strip.h"
#include "gui/toolbar_strip.h"
#include "platform/files.h"
#include "support/scripted_host.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QMenuBar>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace orvel::gui {
namespace {

using test::ScriptedHost;

Machine machine(const char* name, const char* description, const char* manufacturer,
                const char* year) {
    Machine m;
    m.name = name;
    m.description = description;
    m.manufacturer = manufacturer;
    m.year = year;
    m.driver_status = "good";
    m.isavailable = "yes";
    m.commandlines.push_back(default_commandline());
    return m;
}

MachineList sample_machines() {
    MachineList list;
    list.push_back(machine("pacman", "Pac-Man (Midway)", "Namco (Midway license)", "1980"));
    list.push_back(machine("puckman", "Puck Man (Japan set 1)", "Namco", "1980"));
    list.back().cloneof = "pacman";
    list.back().isavailable = "";
    list.push_back(machine("dkong", "Donkey Kong (US set 1)", "Nintendo of America", "1981"));
    list.back().driver_status = "imperfect";
    list.push_back(machine("galaga", "Galaga (Namco rev. B)", "Namco", "1981"));
    list.push_back(machine("neogeo", "Neo-Geo MV-6F", "SNK", "1990"));
    list.back().isbios = "yes";
    list.push_back(machine("z80", "Zilog Z80", "", ""));
    list.back().runnable = "no";
    return list;
}

using guitest::icons;

// A main window over the sample machines, shown on the offscreen platform.
struct Fixture : ::testing::Test {
    test::TempDir dir;
    ScriptedHost host;
    Session session;
    std::unique_ptr<MainWindow> window;

    void SetUp() override {
        set_default_settings(session.state.settings, dir.path(), 1600, 1200);
        session.state.machines = sample_machines();
        reset_view_list(session.state.machines, session.state.view);
        window = std::make_unique<MainWindow>(session, host, icons());
        window->show();
        QApplication::processEvents();
    }

    int rows() const { return window->model()->rowCount(); }
    QString cell(int row, int column) const {
        return window->model()
            ->data(window->model()->index(row, column), Qt::DisplayRole)
            .toString();
    }
    int row_of(const char* name) const {
        for (int row = 0; row < rows(); ++row)
            if (session.state.machines[static_cast<std::size_t>(window->model()->position(row))]
                    .name == name)
                return row;
        return -1;
    }
};

TEST(DesktopStart, FromPreferencesAndDatabaseToAShownMainWindow) {
    test::TempDir dir;
    ScriptedHost host;
    // A first start has chosen the fake MAME and saved a database.
    Settings first;
    set_default_settings(first, dir.path());
    ASSERT_TRUE(apply_chosen_mame(first, host, ORVEL_FAKE_MAME));
    bool changed = false;
    ASSERT_TRUE(save_database(sample_machines(), first, changed, host).ok);

    Session session;
    StartupOptions options;
    options.start_directory = dir.path();
    options.desktop_width = 1600;
    options.desktop_height = 1000;
    ASSERT_EQ(run_startup(session.state.settings, session.state.mame_paths, host, options).outcome,
              StartupOutcome::Continue);
    std::unique_ptr<MainWindow> window = start_desktop(session, host, icons(), {});
    ASSERT_NE(window, nullptr);
    QApplication::processEvents();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Orvel V0.050 Alpha"));
    EXPECT_EQ(window->size(), QSize(800, 600)); // half the desktop, never below the minimum
    EXPECT_EQ(window->model()->rowCount(), 5);  // the non-runnable machine is filtered out
    EXPECT_EQ(window->list()->selected_row(), 0);
    EXPECT_EQ(window->status_strip()->field(0), QStringLiteral("Showing: 5 of 6"));
    EXPECT_TRUE(host.messages().empty());
}

TEST_F(Fixture, MenuTextsInOrderAndUnavailableCommandsDisabled) {
    QStringList seen;
    for (QAction* menu : window->menuBar()->actions()) {
        seen << QStringLiteral("[") + menu->text() + QStringLiteral("]");
        for (QAction* item : menu->menu()->actions())
            seen << (item->isSeparator() ? QStringLiteral("-") : item->text());
    }
    const QStringList expected = {QStringLiteral("[System]"),
                                  QStringLiteral("Run Machine\tEnter"),
                                  QStringLiteral("Run (Advanced)\tShift+Enter"),
                                  QStringLiteral("Run (Empty)\tCtrl+Enter"),
                                  QStringLiteral("-"),
                                  QStringLiteral("Machine Info\tCtrl+I"),
                                  QStringLiteral("-"),
                                  QStringLiteral("Preferences\tCtrl+P"),
                                  QStringLiteral("-"),
                                  QStringLiteral("Exit\tCtrl+Q"),
                                  QStringLiteral("[Database]"),
                                  QStringLiteral("Add Favourite\tCtrl+F"),
                                  QStringLiteral("Remove Favourite\tShift+F"),
                                  QStringLiteral("-"),
                                  QStringLiteral("Check Availability\tCtrl+A"),
                                  QStringLiteral("-"),
                                  QStringLiteral("Save Folder Ini\tCtrl+S"),
                                  QStringLiteral("Copy List To Clipboard\tCtrl+C"),
                                  QStringLiteral("-"),
                                  QStringLiteral("Save Database\tCtrl+D"),
                                  QStringLiteral("-"),
                                  QStringLiteral("Reset Database\tCtrl+B"),
                                  QStringLiteral("[Filter]"),
                                  QStringLiteral("Reset Filter\tCtrl+R"),
                                  QStringLiteral("[View]"),
                                  QStringLiteral("Toggle Filter\tF12"),
                                  QStringLiteral("Toggle Toolbar/Menu\tF10"),
                                  QStringLiteral("[Help]"),
                                  QStringLiteral("About")};
    EXPECT_EQ(seen, expected);
    for (int number : {7, 12}) {
        EXPECT_FALSE(window->action(number)->isEnabled()) << number;
        EXPECT_FALSE(window->toolbar()->button(number)->isEnabled()) << number;
    }
    EXPECT_TRUE(window->action(1)->isEnabled());
    EXPECT_TRUE(window->action(2)->isEnabled());
    EXPECT_TRUE(window->toolbar()->button(2)->isEnabled());
    QStringList list_items, tree_items;
    for (QAction* item : window->list_menu()->actions())
        list_items << (item->isSeparator() ? QStringLiteral("-") : item->text());
    for (QAction* item : window->tree_menu()->actions())
        tree_items << (item->isSeparator() ? QStringLiteral("-") : item->text());
    EXPECT_EQ(list_items.join(QLatin1Char('|')),
              QStringLiteral("Run Machine|Run (Advanced)|Run (Empty)|-|Add Favourite|"
                             "Remove Favourite|-|Machine Info"));
    EXPECT_EQ(tree_items.join(QLatin1Char('|')),
              QStringLiteral("Expand Tree|Close Tree|-|Reset Filter"));
}

TEST_F(Fixture, ShortcutsRaiseTheirOwnCommandsWithTheMenuBarHidden) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->list()->setFocus();
    QTest::keyClick(window->list(), Qt::Key_F10);
    EXPECT_TRUE(window->toolbar_hidden());
    EXPECT_FALSE(window->menuBar()->isVisible());
    // Ctrl+B asks the Reset Database question; Ctrl+R does not.
    QTest::keyClick(window->list(), Qt::Key_R, Qt::ControlModifier);
    EXPECT_TRUE(host.prompts.empty());
    QTest::keyClick(window->list(), Qt::Key_B, Qt::ControlModifier);
    ASSERT_EQ(host.prompts.size(), 1u);
    EXPECT_FALSE(window->program_ended()); // answered No
    // Ctrl+F adds the selected machine to the favourites, Shift+F takes it away again.
    QTest::keyClick(window->list(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(session.state.machines[static_cast<std::size_t>(session.state.current_machine)]
                    .is_favourite());
    QTest::keyClick(window->list(), Qt::Key_F, Qt::ShiftModifier);
    EXPECT_FALSE(session.state.machines[static_cast<std::size_t>(session.state.current_machine)]
                     .is_favourite());
    QTest::keyClick(window->list(), Qt::Key_F10);
    EXPECT_TRUE(window->menuBar()->isVisible());
}

TEST_F(Fixture, SearchFiltersOnEveryKeystrokeAndClearingRestores) {
    QLineEdit* search = window->toolbar()->search_box();
    EXPECT_EQ(search->placeholderText(), QStringLiteral("Search..."));
    EXPECT_EQ(rows(), 5);
    QTest::keyClick(search, Qt::Key_P);
    EXPECT_EQ(rows(), 2); // Pac-Man, Puck Man
    QTest::keyClick(search, Qt::Key_U);
    EXPECT_EQ(rows(), 1);
    EXPECT_EQ(cell(0, 0), QStringLiteral("Puck Man (Japan set 1)"));
    QTest::keyClick(search, Qt::Key_Backspace);
    EXPECT_EQ(rows(), 2);
    search->clear();
    EXPECT_EQ(rows(), 5);
    EXPECT_EQ(session.state.filter.f_search, 0);
}

TEST_F(Fixture, TreeChoiceMovesTheMarkerAndRefills) {
    FilterTreeView* tree = window->tree();
    ASSERT_NE(tree, nullptr);
    TreeItemList& items = session.state.tree;
    const std::size_t bios = find_tree_child(items, kind_filters, "BIOS", "Is BIOS");
    const std::size_t all = find_tree_child(items, kind_filters, "BIOS", "All");
    ASSERT_NE(bios, std::size_t(-1));
    EXPECT_TRUE(items[all].chosen());
    QTreeWidgetItem* item = tree->item_at_position(bios);
    tree->setCurrentItem(item);
    emit tree->itemClicked(item, 0);
    EXPECT_TRUE(items[bios].chosen());
    EXPECT_FALSE(items[all].chosen());
    EXPECT_EQ(rows(), 1);
    EXPECT_EQ(cell(0, 0), QStringLiteral("Neo-Geo MV-6F"));
    // The gadget shows the marker the item list holds.
    EXPECT_EQ(item->icon(0).pixmap(16).toImage(),
              QIcon(QPixmap::fromImage(icons().image(icon::chosen))).pixmap(16).toImage());
}

TEST_F(Fixture, StatusBarDescribesTheListAndTheCurrentMachine) {
    const int row = row_of("puckman");
    window->list()->select_row(row);
    QTest::keyClick(window->list(), Qt::Key_Home); // a key in the list re-reads the row
    window->list()->select_row(row);
    emit window->list()->rowClicked(row);
    EXPECT_EQ(window->status_strip()->field(0), QStringLiteral("Showing: 5 of 6"));
    EXPECT_EQ(window->status_strip()->field(1), QStringLiteral("Driver: puckman"));
    EXPECT_EQ(window->status_strip()->field(2), QStringLiteral("Available: "));
    EXPECT_EQ(window->status_strip()->field(3), QStringLiteral("Clone Of: pacman"));
    EXPECT_EQ(window->status_strip()->field(5), QStringLiteral("Status: "));
    EXPECT_EQ(window->status_strip()->image(), StatusImage::Good);

    window->toolbar()->search_box()->setText(QStringLiteral("no such machine"));
    EXPECT_EQ(rows(), 0);
    EXPECT_EQ(window->list()->selected_row(), -1);
    EXPECT_EQ(window->status_strip()->field(0), QStringLiteral("Showing: 0 of 6"));
    EXPECT_EQ(window->status_strip()->field(1), QStringLiteral("Driver: N/A"));
    EXPECT_EQ(window->status_strip()->field(2), QStringLiteral("Available: N/A"));
    EXPECT_EQ(window->status_strip()->field(3), QStringLiteral("Set Type: N/A"));
    EXPECT_EQ(window->status_strip()->image(), StatusImage::Preliminary);
    EXPECT_EQ(window->status_strip()->field_width(4), window->status_strip()->width() - 670);
}

TEST_F(Fixture, FavouritesAddAndRemove) {
    const int row = row_of("dkong");
    window->list()->select_row(row);
    window->dispatch(command::add_favourite);
    EXPECT_TRUE(session.state.database_changed);
    EXPECT_EQ(window->list()->selected_row(), row);
    EXPECT_EQ(cell(row, 0), QStringLiteral("\u2665 Donkey Kong (US set 1)"));
    EXPECT_EQ(session.state.machines[2].description, "Donkey Kong (US set 1)");
    // A second add changes nothing.
    session.state.database_changed = false;
    window->dispatch(command::add_favourite);
    EXPECT_FALSE(session.state.database_changed);
    window->dispatch(command::remove_favourite);
    EXPECT_TRUE(session.state.database_changed);
    EXPECT_EQ(cell(row, 0), QStringLiteral("Donkey Kong (US set 1)"));
}

TEST_F(Fixture, CopyListPutsTheShownShortNamesOnTheClipboard) {
    window->toolbar()->search_box()->setText(QStringLiteral("a"));
    window->dispatch(command::copy_list);
    // Titles or short names with an "a", sorted by title.
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("galaga\npacman\npuckman\n"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Orvel V0.050 Alpha"));
}

TEST_F(Fixture, ExitAsksToSaveOnlyWhenSomethingChanged) {
    host.answers = {Answer::No};
    window->dispatch(command::exit);
    EXPECT_EQ(host.messages(), std::vector<std::string>{"Close: Exit Orvel?"});
    EXPECT_EQ(host.prompts[0].icon, Icon::Warning);
    EXPECT_FALSE(window->program_ended());

    host.prompts.clear();
    session.state.database_changed = true;
    host.answers = {Answer::Yes, Answer::No};
    window->dispatch(command::exit);
    EXPECT_EQ(host.messages(),
              (std::vector<std::string>{"Save Changes: Update Database?", "Close: Exit Orvel?"}));
    EXPECT_EQ(host.prompts[0].icon, Icon::Information);
    EXPECT_FALSE(session.state.database_changed); // saved, and the program goes on
    EXPECT_GT(file_size(database_path(session.state.settings)), 0);
    EXPECT_FALSE(window->program_ended());

    host.prompts.clear();
    host.answers = {Answer::Yes};
    window->dispatch(command::exit);
    EXPECT_TRUE(window->program_ended());
}

TEST_F(Fixture, CloseBoxAsksTheSameQuestionsAndKeepsTheTitle) {
    session.state.database_changed = true;
    host.answers = {Answer::No, Answer::No};
    window->close();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(host.messages(),
              (std::vector<std::string>{"Save Changes: Update Database?", "Close: Exit Orvel?"}));
    EXPECT_EQ(host.prompts[0].icon, Icon::Warning);
    EXPECT_TRUE(session.state.database_changed);
    EXPECT_EQ(file_size(database_path(session.state.settings)), -1);

    host.prompts.clear();
    host.answers = {Answer::Yes, Answer::No};
    window->close();
    EXPECT_FALSE(session.state.database_changed);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Orvel V0.050 Alpha"));
    EXPECT_TRUE(window->isVisible());

    host.prompts.clear();
    host.answers = {Answer::Yes};
    window->close(); // nothing changed now: only "Exit Orvel?"
    EXPECT_EQ(host.messages(), std::vector<std::string>{"Close: Exit Orvel?"});
    EXPECT_TRUE(window->program_ended());
    EXPECT_FALSE(window->isVisible());
}

TEST_F(Fixture, ToggleFilterAndToolbarLayouts) {
    const QRect list_with_tree = window->list()->geometry();
    EXPECT_EQ(list_with_tree.x(), MainWindow::tree_width);
    EXPECT_EQ(list_with_tree.y(), ToolbarStrip::strip_height);
    EXPECT_EQ(window->tree()->geometry(),
              QRect(0, ToolbarStrip::strip_height, 250, list_with_tree.height()));

    // Open a group and choose a child, then hide and show the panel.
    TreeItemList& items = session.state.tree;
    const std::size_t year = find_tree_child(items, kind_filters, "Year", "1981");
    const std::size_t group = group_of(items, year);
    window->tree()->item_at_position(group)->setExpanded(true);
    EXPECT_EQ(items[group].expanded, 1);
    window->tree()->setCurrentItem(window->tree()->item_at_position(year));
    emit window->tree()->itemClicked(window->tree()->item_at_position(year), 0);
    EXPECT_EQ(rows(), 2);

    window->dispatch(command::toggle_filter);
    EXPECT_EQ(window->tree(), nullptr);
    EXPECT_EQ(window->list()->geometry().x(), 0);
    EXPECT_EQ(window->list()->width(), window->centralWidget()->width());
    EXPECT_EQ(rows(), 2); // the filter stays

    window->dispatch(command::toggle_filter);
    ASSERT_NE(window->tree(), nullptr);
    EXPECT_EQ(window->list()->geometry(), list_with_tree);
    EXPECT_TRUE(window->tree()->item_at_position(group)->isExpanded());
    EXPECT_TRUE(items[year].chosen());

    window->dispatch(command::toggle_toolbar);
    EXPECT_EQ(window->list()->geometry().y(), 0);
    EXPECT_EQ(window->tree()->geometry().y(), 0);
    EXPECT_FALSE(window->toolbar()->isVisible());
    window->dispatch(command::toggle_toolbar);
    EXPECT_EQ(window->list()->geometry(), list_with_tree);

    // The search box keeps its distance from the strip's right end.
    window->resize(1000, 700);
    QApplication::processEvents();
    EXPECT_EQ(window->toolbar()->search_box()->x(), window->toolbar()->width() - 205);
    EXPECT_EQ(window->toolbar()->search_icon()->x(), window->toolbar()->width() - 228);
    EXPECT_EQ(window->list()->columnWidth(0), window->list()->width() - 375);

    // Close Tree leaves the roots open and every group closed.
    window->dispatch(command::close_tree);
    EXPECT_FALSE(window->tree()->item_at_position(group)->isExpanded());
    EXPECT_TRUE(window->tree()->item_at_position(0)->isExpanded());
}

TEST_F(Fixture, AboutClosesOnEscapeAndGivesTheListTheFocus) {
    window->activateWindow();
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* about = qobject_cast<AboutWindow*>(QApplication::activeModalWidget());
        ASSERT_NE(about, nullptr);
        seen = true;
        EXPECT_EQ(about->windowTitle(), QStringLiteral("About ORVEL..."));
        EXPECT_EQ(about->size(), QSize(500, 180));
        QTest::keyClick(about, Qt::Key_Escape);
    });
    window->dispatch(command::about);
    EXPECT_TRUE(seen);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(window->focusWidget(), window->list());
}

TEST_F(Fixture, ScreenshotsOfTheSplashTheMainWindowAndAbout) {
    QDir().mkpath(QStringLiteral(ORVEL_GUI_SHOTS_DIR));
    const QString dir = QStringLiteral(ORVEL_GUI_SHOTS_DIR) + QLatin1Char('/');
    SplashWindow splash(session.state.settings);
    splash.show();
    splash.set_status(QStringLiteral("Loading Database..."));
    EXPECT_EQ(splash.size(), QSize(480, 190));
    EXPECT_TRUE(splash.grab().save(dir + QStringLiteral("splash.png")));

    window->resize(1000, 650);
    window->list()->select_row(row_of("galaga"));
    emit window->list()->rowClicked(row_of("galaga"));
    QApplication::processEvents();
    EXPECT_TRUE(window->grab().save(dir + QStringLiteral("main_window.png")));

    AboutWindow about(session.state.settings, window.get());
    about.show();
    QApplication::processEvents();
    EXPECT_TRUE(about.grab().save(dir + QStringLiteral("about.png")));
}

} // namespace
} // namespace orvel::gui
