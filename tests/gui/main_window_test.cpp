#include "app/startup.h"
#include "database/database_file.h"
#include "filters/filter_table.h"
#include "gui/about_window.h"
#include "gui/commands.h"
#include "gui/desktop_start.h"
#include "gui/filter_tree_view.h"
#include "gui/gui_support.h"
#include "gui/icon_set.h"
#include "gui/machine_info_window.h"
#include "gui/machine_list_model.h"
#include "gui/machine_list_view.h"
#include "gui/main_window.h"
#include "gui/preferences_window.h"
#include "gui/screen_fit.h"
#include "gui/splash_window.h"
#include "gui/status_strip.h"
#include "gui/toolbar_strip.h"
#include "platform/files.h"
#include "settings/mame_config.h"
#include "settings/preferences.h"
#include "support/scripted_host.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include <gtest/gtest.h>

#include <functional>

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
    m.isavailable = true;
    m.commandlines.push_back(default_commandline());
    return m;
}

MachineList sample_machines() {
    MachineList list;
    list.push_back(machine("pacman", "Pac-Man (Midway)", "Namco (Midway license)", "1980"));
    list.push_back(machine("puckman", "Puck Man (Japan set 1)", "Namco", "1980"));
    list.back().cloneof = "pacman";
    list.back().isavailable = false;
    list.push_back(machine("dkong", "Donkey Kong (US set 1)", "Nintendo of America", "1981"));
    list.back().driver_status = "imperfect";
    list.push_back(machine("galaga", "Galaga (Namco rev. B)", "Namco", "1981"));
    list.push_back(machine("neogeo", "Neo-Geo MV-6F", "SNK", "1990"));
    list.back().isbios = true;
    list.push_back(machine("z80", "Zilog Z80", "", ""));
    list.back().runnable = false;
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
        set_default_settings(session.whole_state().settings, dir.path(), 1600, 1200);
        session.whole_state().machines = sample_machines();
        reset_view_list(session.whole_state().machines, session.whole_state().view);
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
            if (session.whole_state()
                    .machines[static_cast<std::size_t>(window->model()->position(row))]
                    .name == name)
                return row;
        return -1;
    }
};

TEST(DesktopStart, FromPreferencesAndDatabaseToAShownMainWindow) {
    test::TempDir dir;
    guitest::ScriptedQtHost qt_host;
    ScriptedHost& host = qt_host.script;
    // A first start has chosen the fake MAME and saved a database.
    Settings first;
    set_default_settings(first, dir.path());
    ASSERT_TRUE(apply_chosen_mame(first, host, ORVEL_FAKE_MAME));
    MamePaths first_paths; // and MAME's configuration exists, as after that start
    (void)discover_mame_config(first, first_paths);
    bool changed = false;
    ASSERT_TRUE(save_database(sample_machines(), first, changed, host).ok());

    Session session;
    DesktopStartOptions desktop;
    desktop.startup.emplace();
    desktop.startup->start_directory = dir.path();
    desktop.startup->desktop_width = 1600;
    desktop.startup->desktop_height = 1000;
    std::unique_ptr<MainWindow> window = guitest::start_and_wait(session, qt_host, desktop);
    ASSERT_NE(window, nullptr);
    QApplication::processEvents();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Orvel V0.050 Alpha"));
    // Half the desktop, never below the minimum, unless the screen has less room.
    const QRect area = available_area(window.get());
    EXPECT_EQ(window->height(), 600);
    EXPECT_GE(window->width(), std::min(800, area.width() - 8));
    EXPECT_TRUE(area.contains(window->frameGeometry()));
    EXPECT_EQ(window->model()->rowCount(), 5); // the non-runnable machine is filtered out
    EXPECT_EQ(window->list()->selected_row(), 0);
    EXPECT_EQ(window->status_strip()->field(0), QStringLiteral("Showing: 5 of 6"));
    EXPECT_TRUE(host.messages().empty());
}

// What a menu shows for an action: its caption, and after a tab the shortcut text the menu
// bar draws at the right.
QString shown_text(const QAction* item, bool with_keys) {
    if (item->isSeparator()) return QStringLiteral("-");
    if (!with_keys || item->shortcut().isEmpty()) return item->text();
    return item->text() + QLatin1Char('\t') + item->shortcut().toString(QKeySequence::NativeText);
}

TEST_F(Fixture, MenusContextMenusAndToolbarShareOneActionPerCommand) {
    QStringList seen;
    for (QAction* menu : window->menuBar()->actions()) {
        seen << QStringLiteral("[") + menu->text() + QStringLiteral("]");
        for (QAction* item : menu->menu()->actions())
            seen << shown_text(item, true);
    }
    const QStringList expected = {QStringLiteral("[&System]"),
                                  QStringLiteral("Run Machine\tEnter"),
                                  QStringLiteral("Run (Advanced)\tShift+Enter"),
                                  QStringLiteral("Run (Empty)\tCtrl+Enter"),
                                  QStringLiteral("-"),
                                  QStringLiteral("Machine Info\tCtrl+I"),
                                  QStringLiteral("-"),
                                  QStringLiteral("Preferences\tCtrl+P"),
                                  QStringLiteral("-"),
                                  QStringLiteral("Exit\tCtrl+Q"),
                                  QStringLiteral("[&Database]"),
                                  QStringLiteral("Add Favourite\tCtrl+F"),
                                  QStringLiteral("Remove Favourite\tShift+F"),
                                  QStringLiteral("-"),
                                  QStringLiteral("Check Availability\tCtrl+A"),
                                  QStringLiteral("Audit Romsets\tCtrl+U"),
                                  QStringLiteral("-"),
                                  QStringLiteral("Save Folder Ini\tCtrl+S"),
                                  QStringLiteral("Copy List To Clipboard\tCtrl+C"),
                                  QStringLiteral("-"),
                                  QStringLiteral("Save Database\tCtrl+D"),
                                  QStringLiteral("-"),
                                  QStringLiteral("Reset Database\tCtrl+B"),
                                  QStringLiteral("[&Filter]"),
                                  QStringLiteral("Reset Filter\tCtrl+R"),
                                  QStringLiteral("[&View]"),
                                  QStringLiteral("Toggle Filter\tF12"),
                                  QStringLiteral("Toggle Toolbar/Menu\tF10"),
                                  QStringLiteral("-"),
                                  QStringLiteral("Show Pictures\tF9"),
                                  QStringLiteral("[&Help]"),
                                  QStringLiteral("About")};
    EXPECT_EQ(seen, expected);

    // Context menus show the captions alone, through the very same actions.
    QStringList list_items, tree_items;
    for (QAction* item : window->list_menu()->actions())
        list_items << shown_text(item, item->isShortcutVisibleInContextMenu());
    for (QAction* item : window->tree_menu()->actions())
        tree_items << shown_text(item, item->isShortcutVisibleInContextMenu());
    EXPECT_EQ(list_items.join(QLatin1Char('|')),
              QStringLiteral("Run Machine|Run (Advanced)|Run (Empty)|-|Add Favourite|"
                             "Remove Favourite|-|Machine Info"));
    EXPECT_EQ(tree_items.join(QLatin1Char('|')),
              QStringLiteral("Expand Tree|Close Tree|-|Reset Filter"));
    EXPECT_EQ(window->list_menu()->actions().front(), window->action(Command::RunMachine));
    EXPECT_EQ(window->tree_menu()->actions().back(), window->action(Command::ResetFilter));

    // Every command's action comes from its one table entry: caption, tooltip, enabled state;
    // the toolbar's buttons are those actions' buttons.
    for (const CommandEntry& entry : command_table()) {
        QAction* action = window->action(entry.command);
        ASSERT_NE(action, nullptr) << entry.caption;
        EXPECT_EQ(action->text(), QString::fromLatin1(entry.caption));
        EXPECT_EQ(action->toolTip(), QString::fromLatin1(entry.caption));
        EXPECT_EQ(action->isEnabled(), entry.enabled) << entry.caption;
        EXPECT_EQ(&command_entry(entry.command), &entry);
        QToolButton* button = window->toolbar()->button(action);
        EXPECT_EQ(button != nullptr, entry.picture != 0) << entry.caption;
        if (button) {
            EXPECT_EQ(button->defaultAction(), action);
            EXPECT_EQ(button->isEnabled(), entry.enabled) << entry.caption;
            EXPECT_EQ(button->toolTip(), QString::fromLatin1(entry.caption));
        }
    }
    for (Command enabled : {Command::RunAdvanced, Command::MachineInfo, Command::Preferences})
        EXPECT_TRUE(window->action(enabled)->isEnabled());
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
    EXPECT_TRUE(session.whole_state()
                    .machines[static_cast<std::size_t>(session.whole_state().current_machine)]
                    .isfavourite);
    QTest::keyClick(window->list(), Qt::Key_F, Qt::ShiftModifier);
    EXPECT_FALSE(session.whole_state()
                     .machines[static_cast<std::size_t>(session.whole_state().current_machine)]
                     .isfavourite);
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
    EXPECT_EQ(session.whole_state().filter.f_search, 0);
}

TEST_F(Fixture, TreeChoiceMovesTheMarkerAndRefills) {
    FilterTreeView* tree = window->tree();
    ASSERT_NE(tree, nullptr);
    TreeItemList& items = session.whole_state().tree;
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
              icons().icon(icon::chosen, tree->iconSize().width()).pixmap(16).toImage());
}

TEST_F(Fixture, EveryFilterGroupShowsItsOwnPicture) {
    const TreeItemList& items = session.whole_state().tree;
    auto shown = [&](std::size_t position) {
        return window->tree()->item_at_position(position)->icon(0).pixmap(16).toImage();
    };
    for (const FilterGroup& group : filter_groups()) {
        SCOPED_TRACE(std::string(group.caption));
        const std::size_t position =
            group_of(items, find_tree_child(items, kind_filters, group.caption, "All"));
        ASSERT_LT(position, items.size());
        ASSERT_FALSE(icons().image(group.picture).isNull());
        EXPECT_EQ(
            shown(position),
            icons().icon(group.picture, window->tree()->iconSize().width()).pixmap(16).toImage());
    }
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
    // The fields are wide enough for their texts once the bar is laid out (before it paints).
    QApplication::processEvents();
    for (int field = 0; field < 4; ++field) {
        const QLabel* label = window->status_strip()->field_label(field);
        EXPECT_GE(label->contentsRect().width(),
                  label->fontMetrics().horizontalAdvance(label->text()))
            << field;
    }
}

TEST_F(Fixture, KeyboardInTheTreeTheListAndTheSearchBox) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    FilterTreeView* tree = window->tree();
    TreeItemList& items = session.whole_state().tree;

    // Enter on a child chooses it as a click does, and does not start MAME; Space as well.
    for (const auto& [child, key] :
         {std::pair{"Is BIOS", Qt::Key_Return}, std::pair{"Non BIOS", Qt::Key_Space},
          std::pair{"All", Qt::Key_Enter}}) {
        SCOPED_TRACE(child);
        const std::size_t position = find_tree_child(items, kind_filters, "BIOS", child);
        tree->setFocus();
        tree->setCurrentItem(tree->item_at_position(position));
        QTest::keyClick(tree, key);
        EXPECT_TRUE(items[position].chosen());
        EXPECT_TRUE(host.prompts.empty());
    }
    EXPECT_EQ(rows(), 5);
    // On a group, Enter opens and closes it.
    const std::size_t group = group_of(items, find_tree_child(items, kind_filters, "Year", "All"));
    tree->setFocus();
    tree->setCurrentItem(tree->item_at_position(group));
    QTest::keyClick(tree, Qt::Key_Return);
    EXPECT_TRUE(tree->item_at_position(group)->isExpanded());
    QTest::keyClick(tree, Qt::Key_Return);
    EXPECT_FALSE(tree->item_at_position(group)->isExpanded());

    // Home and End go to the first and last machine, and the status bar follows.
    window->list()->setFocus();
    QTest::keyClick(window->list(), Qt::Key_End);
    EXPECT_EQ(window->list()->selected_row(), rows() - 1);
    EXPECT_EQ(window->status_strip()->field(1),
              QStringLiteral("Driver: ") +
                  QString::fromStdString(
                      session.whole_state()
                          .machines[static_cast<std::size_t>(window->model()->position(rows() - 1))]
                          .name));
    QTest::keyClick(window->list(), Qt::Key_Home);
    EXPECT_EQ(window->list()->selected_row(), 0);

    // Ctrl+C in the search box: the selected text when there is some, else the list.
    QLineEdit* search = window->toolbar()->search_box();
    search->setFocus();
    QTest::keyClicks(search, QStringLiteral("ga"));
    search->selectAll();
    QTest::keyClick(search, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("ga"));
    search->deselect();
    QTest::keyClick(search, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("galaga\n"));
    search->setFocus(); // a command gives the list the focus
    // Ctrl+A selects the text and Shift+F types a capital letter, as in any text box.
    QTest::keyClick(search, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(search->selectedText(), QStringLiteral("ga"));
    EXPECT_FALSE(session.whole_state().database_changed); // not Check Availability
    search->end(false);
    QTest::keyClick(search, 'F', Qt::ShiftModifier);
    EXPECT_EQ(search->text(), QStringLiteral("gaF"));
}

TEST_F(Fixture, ARightClickSelectsItsRowAndTheStatusBarFollows) {
    const int row = row_of("dkong");
    const QRect cell = window->list()->visualRect(window->model()->index(row, 1));
    QTest::mouseClick(window->list()->viewport(), Qt::RightButton, {}, cell.center());
    EXPECT_EQ(window->list()->selected_row(), row);
    EXPECT_EQ(window->status_strip()->field(1), QStringLiteral("Driver: dkong"));
    EXPECT_EQ(window->status_strip()->image(), StatusImage::Imperfect);
    window->list_menu()->close();
}

TEST_F(Fixture, ACutTitleShowsInFullAsATooltip) {
    session.whole_state().machines[2].description =
        "Donkey Kong (US set 1) with a title far too long to "
        "fit the title column of a window this narrow";
    for (auto& machine : session.whole_state().machines)
        if (machine.name == "galaga") machine.description = "Galaga"; // fits in any font
    window->refill_machine_list();
    window->resize(800, 600);
    QApplication::processEvents();
    MachineListView* list = window->list();
    const auto tip_at = [list](int row) {
        const QPoint at = list->visualRect(list->model()->index(row, 0)).center();
        QHelpEvent help(QEvent::ToolTip, at, list->viewport()->mapToGlobal(at));
        QApplication::sendEvent(list->viewport(), &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    EXPECT_EQ(tip_at(row_of("galaga")), QString()); // it fits: no tooltip
    EXPECT_EQ(tip_at(row_of("dkong")),
              QString::fromStdString(session.whole_state().machines[2].description));
}

TEST_F(Fixture, FavouritesAddAndRemove) {
    const int row = row_of("dkong");
    window->list()->select_row(row);
    window->dispatch(Command::AddFavourite);
    EXPECT_TRUE(session.whole_state().database_changed);
    EXPECT_EQ(window->list()->selected_row(), row);
    EXPECT_EQ(cell(row, 0), QStringLiteral("\u2665 Donkey Kong (US set 1)"));
    EXPECT_EQ(session.whole_state().machines[2].description, "Donkey Kong (US set 1)");
    // A second add changes nothing.
    session.whole_state().database_changed = false;
    window->dispatch(Command::AddFavourite);
    EXPECT_FALSE(session.whole_state().database_changed);
    window->dispatch(Command::RemoveFavourite);
    EXPECT_TRUE(session.whole_state().database_changed);
    EXPECT_EQ(cell(row, 0), QStringLiteral("Donkey Kong (US set 1)"));
}

TEST_F(Fixture, CopyListPutsTheShownShortNamesOnTheClipboard) {
    window->toolbar()->search_box()->setText(QStringLiteral("a"));
    window->dispatch(Command::CopyList);
    // Titles or short names with an "a", sorted by title.
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("galaga\npacman\npuckman\n"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Orvel V0.050 Alpha"));
}

TEST_F(Fixture, ExitAsksToSaveOnlyWhenSomethingChanged) {
    host.answers = {Answer::No};
    window->dispatch(Command::Exit);
    EXPECT_EQ(host.messages(), std::vector<std::string>{"Close: Exit Orvel?"});
    EXPECT_EQ(host.prompts[0].icon, Icon::Warning);
    EXPECT_FALSE(window->program_ended());

    host.prompts.clear();
    session.whole_state().database_changed = true;
    host.answers = {Answer::Yes, Answer::No};
    window->dispatch(Command::Exit);
    EXPECT_EQ(host.messages(),
              (std::vector<std::string>{"Save Changes: Update Database?", "Close: Exit Orvel?"}));
    EXPECT_EQ(host.prompts[0].icon, Icon::Information);
    EXPECT_FALSE(session.whole_state().database_changed); // saved, and the program goes on
    EXPECT_GT(file_size(database_path(session.whole_state().settings)), 0);
    EXPECT_FALSE(window->program_ended());

    host.prompts.clear();
    host.answers = {Answer::Yes};
    window->dispatch(Command::Exit);
    EXPECT_TRUE(window->program_ended());
}

TEST_F(Fixture, CloseBoxAsksTheSameQuestionsAndKeepsTheTitle) {
    session.whole_state().database_changed = true;
    host.answers = {Answer::No, Answer::No};
    window->close();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(host.messages(),
              (std::vector<std::string>{"Save Changes: Update Database?", "Close: Exit Orvel?"}));
    EXPECT_EQ(host.prompts[0].icon, Icon::Warning);
    EXPECT_TRUE(session.whole_state().database_changed);
    EXPECT_EQ(file_size(database_path(session.whole_state().settings)), -1);

    host.prompts.clear();
    host.answers = {Answer::Yes, Answer::No};
    window->close();
    EXPECT_FALSE(session.whole_state().database_changed);
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
    EXPECT_EQ(window->tree()->geometry().topLeft(), QPoint(0, 0));
    EXPECT_EQ(window->tree()->width(), MainWindow::tree_width);
    EXPECT_GE(list_with_tree.x(), MainWindow::tree_width);
    const int below_toolbar = window->centralWidget()->y();
    EXPECT_GE(below_toolbar, window->toolbar()->geometry().bottom());

    // Open a group and choose a child, then hide and show the panel.
    TreeItemList& items = session.whole_state().tree;
    const std::size_t year = find_tree_child(items, kind_filters, "Year", "1981");
    const std::size_t group = group_of(items, year);
    window->tree()->item_at_position(group)->setExpanded(true);
    EXPECT_EQ(items[group].expanded, 1);
    window->tree()->setCurrentItem(window->tree()->item_at_position(year));
    emit window->tree()->itemClicked(window->tree()->item_at_position(year), 0);
    EXPECT_EQ(rows(), 2);

    window->dispatch(Command::ToggleFilter);
    QApplication::processEvents();
    EXPECT_EQ(window->tree(), nullptr);
    EXPECT_EQ(window->list()->geometry().x(), 0);
    EXPECT_EQ(window->list()->width(), window->centralWidget()->width());
    EXPECT_EQ(rows(), 2); // the filter stays

    window->dispatch(Command::ToggleFilter);
    QApplication::processEvents();
    ASSERT_NE(window->tree(), nullptr);
    EXPECT_EQ(window->list()->geometry(), list_with_tree);
    EXPECT_TRUE(window->tree()->item_at_position(group)->isExpanded());
    EXPECT_TRUE(items[year].chosen());

    window->dispatch(Command::ToggleToolbar);
    QApplication::processEvents();
    EXPECT_EQ(window->centralWidget()->y(), 0);
    EXPECT_FALSE(window->toolbar()->isVisible());
    EXPECT_FALSE(window->menuBar()->isVisible());
    window->dispatch(Command::ToggleToolbar);
    QApplication::processEvents();
    EXPECT_EQ(window->centralWidget()->y(), below_toolbar);
    EXPECT_EQ(window->list()->geometry(), list_with_tree);

    // The search box keeps its place at the toolbar's right end; the tree keeps its width and
    // the title column takes what manufacturer and year leave.
    for (const QSize size : {QSize(1000, 700), QSize(1500, 900)}) {
        window->resize(size);
        QApplication::processEvents();
        QLineEdit* search = window->toolbar()->search_box();
        const int right = search->mapTo(window->toolbar(), QPoint(search->width(), 0)).x();
        EXPECT_NEAR(right, window->toolbar()->width() - 5, 4);
        EXPECT_LT(window->toolbar()->search_icon()->mapTo(window->toolbar(), QPoint()).x(),
                  search->mapTo(window->toolbar(), QPoint()).x());
        EXPECT_EQ(window->tree()->width(), MainWindow::tree_width);
        EXPECT_EQ(window->list()->columnWidth(0) + 350, window->list()->viewport()->width());
    }
    // A narrow list narrows manufacturer and year instead of hiding the title.
    window->resize(QSize(640, 600));
    QApplication::processEvents();
    EXPECT_GE(window->list()->columnWidth(0) * 5, window->list()->viewport()->width() * 2 - 5);

    // Close Tree leaves the roots open and every group closed.
    window->dispatch(Command::CloseTree);
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
    window->dispatch(Command::About);
    EXPECT_TRUE(seen);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(window->focusWidget(), window->list());
}

TEST_F(Fixture, MachineInfoOpensWithCtrlIOverADisabledWindowAndClosesOnEscape) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->list()->select_row(row_of("puckman"));
    window->list()->setFocus();
    bool seen = false;
    // The window is looked at once it has loaded and waits for the user.
    std::function<void()> look = [&] {
        auto* info = qobject_cast<MachineInfoWindow*>(QApplication::activeModalWidget());
        ASSERT_NE(info, nullptr);
        if (info->windowTitle() == QStringLiteral("Loading Data...")) {
            QTimer::singleShot(0, look);
            return;
        }
        seen = true;
        EXPECT_EQ(info->windowTitle(), QStringLiteral("Puck Man (Japan set 1)"));
        EXPECT_EQ(info->attribute_table()->rowCount(), 18);
        EXPECT_FALSE(window->isEnabled());
        EXPECT_TRUE(info->isEnabled());
        QTest::keyClick(info, Qt::Key_Escape);
    };
    QTimer::singleShot(0, look);
    QTest::keyClick(window->list(), Qt::Key_I, Qt::ControlModifier);
    EXPECT_TRUE(seen);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(window->focusWidget(), window->list());
}

TEST_F(Fixture, PreferencesRebuildTheListOnlyAfterChangesAndSaveOnlyOnYes) {
    Settings& settings = session.whole_state().settings;
    ASSERT_TRUE(create_folder(settings.ORVEL_Data));
    ASSERT_TRUE(save_preferences(settings, preferences_path(settings)));
    int resets = 0;
    QObject::connect(window->model(), &QAbstractItemModel::modelReset, [&] { ++resets; });
    const int row = row_of("galaga");
    window->list()->select_row(row);

    // Opened and closed untouched: no question, no rebuild, the row still selected.
    auto close_preferences = [&](auto&& change) {
        QTimer::singleShot(0, [&] {
            auto* prefs = qobject_cast<PreferencesWindow*>(QApplication::activeModalWidget());
            ASSERT_NE(prefs, nullptr);
            EXPECT_FALSE(window->isEnabled());
            change(*prefs);
            prefs->button(QStringLiteral("Close"))->click();
        });
        window->dispatch(Command::Preferences);
    };
    close_preferences([](PreferencesWindow&) {});
    EXPECT_TRUE(host.prompts.empty());
    EXPECT_EQ(resets, 0);
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(window->list()->selected_row(), row);
    EXPECT_EQ(window->focusWidget(), window->list());

    // The sort key changed and not saved: the list is sorted by short name, the file is not.
    host.answers = {Answer::No};
    close_preferences([](PreferencesWindow& prefs) {
        prefs.sort()->setCurrentIndex(1);
        emit prefs.sort()->activated(1);
    });
    EXPECT_EQ(host.messages(), std::vector<std::string>{"Changes Made: Save Changes?"});
    EXPECT_GT(resets, 0);
    EXPECT_EQ(settings.ORVEL_Sort_Type, 1);
    EXPECT_EQ(cell(0, 0), QStringLiteral("Donkey Kong (US set 1)")); // dkong sorts first
    Settings saved;
    parse_preferences(saved, test::read_all(preferences_path(settings)));
    EXPECT_EQ(saved.ORVEL_Sort_Type, 0);
    EXPECT_EQ(window->list()->selected_row(), row);
}

// Run once as it is and once more with QT_SCALE_FACTOR=2 (its own CTest entry); the pictures
// of the second run carry "_x2".
TEST_F(Fixture, ScreenshotsOfTheSplashAndTheMainWindow) {
    QDir().mkpath(QStringLiteral(ORVEL_GUI_SHOTS_DIR));
    const QString suffix =
        window->devicePixelRatioF() > 1 ? QStringLiteral("_x2.png") : QStringLiteral(".png");
    const QString dir = QStringLiteral(ORVEL_GUI_SHOTS_DIR) + QLatin1Char('/');
    SplashWindow splash(session.whole_state().settings);
    splash.show();
    splash.set_status(QStringLiteral("Loading Database..."));
    EXPECT_EQ(splash.size(), QSize(480, 190));
    EXPECT_TRUE(splash.grab().save(dir + QStringLiteral("splash") + suffix));

    window->list()->select_row(row_of("galaga"));
    emit window->list()->rowClicked(row_of("galaga"));
    for (const QSize size : {QSize(800, 600), QSize(1600, 1000)}) {
        window->resize(size);
        QApplication::processEvents();
        // The list's rows are as tall as its font, not the style's default.
        EXPECT_LE(window->list()->rowHeight(0), window->list()->fontMetrics().height() + 6);
        const QPixmap shot = window->grab();
        EXPECT_EQ(shot.size(), size * window->devicePixelRatioF());
        EXPECT_TRUE(shot.save(
            dir + QStringLiteral("main_window_%1x%2").arg(size.width()).arg(size.height()) +
            suffix));
    }
}

} // namespace
} // namespace orvel::gui
