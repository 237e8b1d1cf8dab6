#include "gui/list_look.h"
#include "gui/preferences_window.h"
#include "platform/files.h"
#include "settings/preferences.h"
#include "support/scripted_host.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace orvel::gui {
namespace {

using test::read_all;
using test::ScriptedHost;

// The window over settings whose data folder exists and holds a saved preferences file; the
// font and colour dialogs answer from queues (an empty queue cancels).
struct Preferences : ::testing::Test {
    test::TempDir dir;
    ScriptedHost host;
    Settings settings;
    std::vector<std::optional<QColor>> colours;
    std::vector<std::optional<QFont>> fonts;
    std::unique_ptr<PreferencesWindow> window;

    void SetUp() override {
        set_default_settings(settings, dir.path(), 1600, 1000);
        settings.MAME_Path = dir.file("mame/");
        ASSERT_TRUE(create_folder(settings.ORVEL_Data));
        ASSERT_TRUE(save_preferences(settings, preferences_path(settings)));
        PreferenceChoosers choosers;
        choosers.colour = [this](const QColor&, const QString&, QWidget*) { return take(colours); };
        choosers.font = [this](const QFont&, QWidget*) { return take(fonts); };
        window = std::make_unique<PreferencesWindow>(settings, host, nullptr, choosers);
        window->show();
        QApplication::processEvents();
    }
    template <class T> static std::optional<T> take(std::vector<std::optional<T>>& queue) {
        if (queue.empty()) return std::nullopt;
        std::optional<T> next = queue.front();
        queue.erase(queue.begin());
        return next;
    }
    void click(const char* name) { window->button(QString::fromLatin1(name))->click(); }
    std::string saved_value(const std::string& path, const std::string& key) {
        Settings read;
        parse_preferences(read, read_all(path));
        for (const PreferenceEntry& e : preference_entries(read))
            if (e.key == key) return e.value;
        return "<none>";
    }
};

TEST_F(Preferences, ElementsShowTheSettings) {
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Preferences"));
    EXPECT_GE(window->width(), 328);
    EXPECT_GE(window->height(), 296);
    EXPECT_EQ(window->data_path()->text().toStdString(), settings.ORVEL_Data);
    EXPECT_EQ(window->mame_path()->text().toStdString(), settings.MAME_Path);
    EXPECT_EQ(window->example()->text(), QStringLiteral("List Example..."));
    EXPECT_EQ(window->sort()->itemText(1), QStringLiteral("Driver Name"));
    EXPECT_EQ(window->sort()->itemText(2), QStringLiteral("Last Played"));
    EXPECT_EQ(window->button(QStringLiteral("Back"))->toolTip(),
              QStringLiteral("Background Colour"));
    EXPECT_FALSE(window->changes_made());
}

TEST_F(Preferences, EscapeAfterAChangeAsksAndSavesIntoATypedDataFolder) {
    // A folder typed without the final separator still gets "/ORVEL.prefs" after it.
    ASSERT_TRUE(create_folder(dir.file("other")));
    window->data_path()->selectAll();
    QTest::keyClicks(window->data_path(), QString::fromStdString(dir.file("other")));
    EXPECT_EQ(settings.ORVEL_Data, dir.file("other"));
    EXPECT_TRUE(window->changes_made());
    host.answers = {Answer::Yes};
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_EQ(host.messages(),
              (std::vector<std::string>{"Changes Made: Save Changes?", "Success: Settings Saved"}));
    EXPECT_EQ(host.prompts[0].icon, Icon::Warning);
    EXPECT_EQ(saved_value(dir.file("other/ORVEL.prefs"), "ORVEL_Data"), dir.file("other"));
    EXPECT_TRUE(window->rebuild_needed());
    EXPECT_FALSE(window->isVisible());
}

TEST_F(Preferences, AFailedSaveShowsTheReasonAndKeepsTheWindowOpen) {
    window->data_path()->setText(QString::fromStdString(dir.file("missing/")));
    emit window->data_path()->textEdited(window->data_path()->text());
    host.answers = {Answer::Yes};
    click("Close");
    ASSERT_EQ(host.prompts.size(), 2u);
    EXPECT_EQ(host.prompts[1].title, "Save Failed");
    EXPECT_NE(host.prompts[1].text.find("does not exist"), std::string::npos);
    EXPECT_EQ(host.prompts[1].icon, Icon::Error);
    EXPECT_TRUE(window->changes_made());
    EXPECT_TRUE(window->isVisible());

    // Save As to a folder that does not exist fails the same way.
    host.prompts.clear();
    host.files = {dir.file("nowhere/x.prefs")};
    click("Save As");
    ASSERT_EQ(host.messages().size(), 1u);
    EXPECT_EQ(host.messages()[0].substr(0, 12), "Save Failed:");
    EXPECT_TRUE(window->changes_made());
}

TEST_F(Preferences, SaveAsWritesTheChosenFileAndClearsTheFlag) {
    window->backup_database()->click();
    EXPECT_EQ(settings.ORVEL_DB_Backup, 1);
    const std::string chosen = dir.file("mine.prefs");
    host.files = {chosen};
    click("Save As");
    EXPECT_EQ(host.messages(), std::vector<std::string>{"Success: Settings Updated"});
    EXPECT_EQ(saved_value(chosen, "ORVEL_DB_Backup"), "1");
    EXPECT_FALSE(window->changes_made());
    host.prompts.clear();
    click("Close");
    EXPECT_TRUE(host.messages().empty());
    EXPECT_FALSE(window->rebuild_needed());
}

TEST_F(Preferences, ColoursFontAndDefaults) {
    // A cancelled colour dialog changes nothing; a chosen one is stored as 0x00BBGGRR.
    click("Text");
    EXPECT_EQ(settings.ORVEL_Font_Colour, 0);
    EXPECT_FALSE(window->changes_made());
    colours = {QColor(0x11, 0x22, 0x33)};
    click("Back");
    EXPECT_EQ(settings.ORVEL_Back_Colour, 0x332211);
    EXPECT_EQ(window->example()->palette().color(QPalette::Base), QColor(0x11, 0x22, 0x33));
    QFont chosen(QStringLiteral("DejaVu Serif"), 14);
    chosen.setBold(true);
    chosen.setItalic(true);
    fonts = {chosen};
    click("Font");
    EXPECT_EQ(settings.ORVEL_Font_Name, "DejaVu Serif");
    EXPECT_EQ(settings.ORVEL_Font_Size, 14);
    EXPECT_EQ(settings.ORVEL_Font_Style, font_bold | font_italic);
    EXPECT_TRUE(window->example()->font().italic());

    // Defaults (what they reset is the preference edit's): the window shows the result.
    window->start_maximised()->click();
    EXPECT_EQ(settings.ORVEL_Win_Max, 1);
    window->mame_path()->setText(QStringLiteral("/elsewhere/"));
    emit window->mame_path()->textEdited(window->mame_path()->text());
    EXPECT_EQ(settings.MAME_Path, "/elsewhere/");
    click("Defaults");
    EXPECT_EQ(window->mame_path()->text().toStdString(), dir.file("mame/"));
    EXPECT_TRUE(window->start_maximised()->isChecked());
    EXPECT_EQ(window->example()->palette().color(QPalette::Text), QColor(Qt::black));
}

TEST_F(Preferences, LoadReadsAChosenFileIntoTheSettingsInEffect) {
    Settings other = settings;
    other.ORVEL_Sort_Type = 1;
    other.ORVEL_Check_Avail = 1;
    other.ORVEL_Font_Name = "DejaVu Sans";
    const std::string path = dir.file("other.prefs");
    ASSERT_TRUE(save_preferences(other, path));
    const std::string startup_file = read_all(preferences_path(settings));
    host.files = {path};
    click("Load");
    EXPECT_EQ(settings.ORVEL_Sort_Type, 1);
    EXPECT_EQ(window->sort()->currentIndex(), 1);
    EXPECT_TRUE(window->check_availability()->isChecked());
    EXPECT_EQ(window->example()->font().family(), QStringLiteral("DejaVu Sans"));
    EXPECT_TRUE(window->changes_made());
    EXPECT_EQ(read_all(preferences_path(settings)), startup_file);
}

TEST_F(Preferences, LoadThenSaveWritesTheProgramsOwnFileAndKeepsWhatTheLoadedOneLeftEmpty) {
    // A file saved elsewhere, before its MAME was chosen, naming a data folder of its own.
    test::TempDir elsewhere;
    Settings other;
    set_default_settings(other, elsewhere.path(), 1600, 1000);
    other.ORVEL_Font_Size = 14;
    ASSERT_TRUE(create_folder(other.ORVEL_Data));
    const std::string other_file = preferences_path(other);
    ASSERT_TRUE(save_preferences(other, other_file));
    const std::string other_bytes = read_all(other_file);
    settings.MAME_Exe = "/usr/games/mame";
    host.files = {other_file};
    click("Load");
    host.answers = {Answer::Yes};
    click("Close");
    EXPECT_EQ(read_all(other_file), other_bytes);
    EXPECT_EQ(settings.ORVEL_Data, dir.file("ORVEL_Data/"));
    const std::string own = preferences_path(settings);
    EXPECT_EQ(saved_value(own, "ORVEL_Font_Size"), "14");
    EXPECT_EQ(saved_value(own, "MAME_Exe"), "/usr/games/mame");
    EXPECT_EQ(saved_value(own, "MAME_Path"), dir.file("mame/"));
}

TEST_F(Preferences, TheCloseBoxClosesWithoutAQuestion) {
    window->check_availability()->click();
    window->close();
    EXPECT_TRUE(host.prompts.empty());
    EXPECT_FALSE(window->rebuild_needed());
    EXPECT_EQ(settings.ORVEL_Check_Avail, 1); // kept in memory
    EXPECT_EQ(saved_value(preferences_path(settings), "ORVEL_Check_Avail"), "0");
}

} // namespace
} // namespace orvel::gui
