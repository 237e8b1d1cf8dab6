// Every window opens inside the screen's usable area and stays usable there. These tests run on
// the default offscreen screen, and again (see CMakeLists.txt) on an 800 x 600 screen with window
// frames and on a 1600 x 1000 screen at a scale of 2.

#include "app/startup.h"
#include "gui/captured_output_window.h"
#include "gui/gui_support.h"
#include "gui/machine_info_window.h"
#include "gui/machine_list_view.h"
#include "gui/main_window.h"
#include "gui/screen_fit.h"
#include "gui/software_list_window.h"
#include "settings/mame_config.h"

#include <QApplication>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace orvel::gui {
namespace {

using guitest::icons;

// The window wholly inside the usable area, frame included.
::testing::AssertionResult inside_screen(const QWidget& window) {
    const QRect area = available_area(&window);
    if (area.contains(window.frameGeometry()) && window.frameGeometry().top() >= area.top())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << window.metaObject()->className() << " at (" << window.frameGeometry().x() << ", "
           << window.frameGeometry().y() << ") " << window.frameGeometry().width() << " x "
           << window.frameGeometry().height() << " outside (" << area.x() << ", " << area.y()
           << ") " << area.width() << " x " << area.height();
}

// A widget of the window shows whole inside the window's contents.
bool shown_whole(const QWidget& window, const QWidget& part) {
    return part.isVisible() &&
           window.rect().contains(QRect(part.mapTo(&window, QPoint(0, 0)), part.size()));
}

Machine sample_machine() {
    Machine m;
    m.name = "nes";
    m.description = "Nintendo Entertainment System";
    m.manufacturer = "Nintendo";
    m.year = "1985";
    m.isavailable = true;
    m.softwarelists = {"nes"};
    m.commandlines.push_back(default_commandline());
    return m;
}

TEST(ScreenFit, TheMainWindowOpensInsideTheScreen) {
    Session session;
    session.whole_state().machines = {sample_machine()};
    reset_view_list(session.whole_state().machines, session.whole_state().view);
    test::ScriptedHost host;
    MainWindow window(session, host, icons());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_TRUE(inside_screen(window));
    EXPECT_TRUE(shown_whole(window, *window.list()));
}

TEST(ScreenFit, TheInformationWindowFitsWithItsTextInSight) {
    QWidget main_window;
    main_window.show();
    const Machine machine = sample_machine();
    MachineInfoWindow window(machine, &main_window);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_TRUE(inside_screen(window));
    EXPECT_TRUE(shown_whole(window, *window.text_list()));
    EXPECT_GE(window.text_list()->height(), 64);
}

TEST(ScreenFit, TheSoftwareListAndCapturedOutputWindowsFit) {
    guitest::FakeMameFolder mame;
    guitest::ScriptedQtHost host;
    Session session;
    AppState& state = session.whole_state();
    set_default_settings(state.settings, mame.dir.path(), 1600, 1200);
    ASSERT_TRUE(apply_chosen_mame(state.settings, host.script, mame.exe));
    (void)discover_mame_config(state.settings, state.mame_paths);
    mame.dir.write("mame/hash/nes.xml", test::read_all(test::fixture("softlist/nes.xml")));
    state.machines = {sample_machine()};
    bool checked = false;
    QTimer::singleShot(0, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* window = qobject_cast<SoftwareListWindow*>(widget)) {
                checked = true;
                EXPECT_TRUE(inside_screen(*window));
                for (const QLabel* field : window->findChildren<QLabel*>())
                    EXPECT_TRUE(shown_whole(*window, *field)) << field->text().toStdString();
                window->reject();
            }
    });
    open_software_list_window(session, 0, host, nullptr);
    EXPECT_TRUE(checked);

    CapturedOutputWindow output(CapturedRun{}, host);
    output.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&output));
    EXPECT_TRUE(inside_screen(output));
}

TEST(ScreenFit, QuestionBoxesAreWideEnoughForTheirTitles) {
    QtHost host;
    const std::string title = "File Not Found! The Title Of A Question Box";
    int width = 0, title_width = 0;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            width = box->width();
            title_width = box->fontMetrics().horizontalAdvance(box->windowTitle());
            box->reject();
        }
    });
    host.message(title, "Go on?", Buttons::YesNo, Icon::Warning);
    EXPECT_GT(title_width, 0);
    EXPECT_GE(width, std::min(title_width + 100, available_area().width() - 20));
}

} // namespace
} // namespace orvel::gui
