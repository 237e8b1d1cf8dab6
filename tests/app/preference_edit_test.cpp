#include "app/preference_edit.h"

#include "platform/files.h"
#include "settings/preferences.h"
#include "support/scripted_host.h"

#include <gtest/gtest.h>

namespace orvel {
namespace {

using test::ScriptedHost;
using test::TempDir;

// Settings whose data folder holds a saved preferences file, edited as the window edits them.
struct PreferenceEditTest : ::testing::Test {
    TempDir dir;
    ScriptedHost host;
    Settings settings;
    std::string own_file;

    void SetUp() override {
        set_default_settings(settings, dir.path(), 1600, 1000);
        settings.MAME_Path = dir.file("mame/");
        ASSERT_TRUE(create_folder(settings.ORVEL_Data));
        own_file = preferences_path(settings);
        ASSERT_TRUE(save_preferences(settings, own_file));
    }
};

TEST_F(PreferenceEditTest, KeysSetThroughTheTableAndOnlyKnownOnes) {
    PreferenceEdit edit(settings);
    EXPECT_FALSE(edit.set("No_Such_Key", "1"));
    EXPECT_FALSE(edit.changes_made());
    EXPECT_TRUE(edit.set("ORVEL_Sort_Type", "2"));
    EXPECT_TRUE(edit.set("orvel_win_max", "1"));
    EXPECT_TRUE(edit.set("ORVEL_Back_Colour", "3351057"));
    EXPECT_EQ(settings.ORVEL_Sort_Type, 2);
    EXPECT_EQ(settings.ORVEL_Win_Max, 1);
    EXPECT_TRUE(settings.window_maximised);
    EXPECT_EQ(settings.ORVEL_Back_Colour, 0x332211);
    EXPECT_TRUE(edit.changes_made());
}

TEST_F(PreferenceEditTest, DefaultsResetTheLookAndTheOpenedFoldersOnly) {
    PreferenceEdit edit(settings);
    edit.set("ORVEL_Font_Name", "DejaVu Serif");
    edit.set("ORVEL_Font_Size", "14");
    edit.set("ORVEL_Font_Style", "3");
    edit.set("ORVEL_Font_Colour", "255");
    edit.set("ORVEL_Back_Colour", "0");
    edit.set("MAME_Path", "/elsewhere/");
    edit.set("ORVEL_Win_Max", "1");
    edit.set("ORVEL_Check_Avail", "1");
    edit.defaults(1920, 1080);
    EXPECT_EQ(settings.ORVEL_Font_Name, "Arial");
    EXPECT_EQ(settings.ORVEL_Font_Size, 10);
    EXPECT_EQ(settings.ORVEL_Font_Style, 0);
    EXPECT_EQ(settings.ORVEL_Font_Colour, 0);
    EXPECT_EQ(settings.ORVEL_Back_Colour, 0xFFFFFF);
    EXPECT_EQ(settings.MAME_Path, dir.file("mame/"));
    // "Start Maximized" and the options stay; the next start opens at half the screen.
    EXPECT_EQ(settings.ORVEL_Win_Max, 1);
    EXPECT_EQ(settings.ORVEL_Check_Avail, 1);
    EXPECT_FALSE(settings.window_maximised);
    EXPECT_EQ(settings.window_width, 960);
    EXPECT_EQ(settings.window_height, 540);
    EXPECT_TRUE(edit.changes_made());
}

TEST_F(PreferenceEditTest, LoadKeepsTheDataFolderAndWritesNothingUntilClosedWithYes) {
    TempDir elsewhere;
    Settings other;
    set_default_settings(other, elsewhere.path(), 1600, 1000);
    other.ORVEL_Sort_Type = 1;
    other.ORVEL_Font_Size = 14;
    other.MAME_Path.clear(); // left empty: the path in effect stays
    const std::string other_file = elsewhere.file("other.prefs");
    ASSERT_TRUE(save_preferences(other, other_file));
    const std::string own_bytes = test::read_all(own_file);

    PreferenceEdit edit(settings);
    host.files = {other_file};
    ASSERT_TRUE(edit.load(host));
    EXPECT_EQ(settings.ORVEL_Sort_Type, 1);
    EXPECT_EQ(settings.ORVEL_Font_Size, 14);
    EXPECT_EQ(settings.ORVEL_Data, dir.file("ORVEL_Data/"));
    EXPECT_EQ(settings.MAME_Path, dir.file("mame/"));
    EXPECT_EQ(test::read_all(own_file), own_bytes);

    host.answers = {Answer::Yes};
    EXPECT_EQ(edit.close(host), PreferencesClose::Rebuild);
    EXPECT_EQ(host.messages(),
              (std::vector<std::string>{"Changes Made: Save Changes?", "Success: Settings Saved"}));
    Settings saved;
    parse_preferences(saved, test::read_all(own_file));
    EXPECT_EQ(saved.ORVEL_Sort_Type, 1);

    // An unreadable file says why and changes nothing.
    host.prompts.clear();
    host.files = {elsewhere.file("missing.prefs")};
    EXPECT_FALSE(edit.load(host));
    ASSERT_EQ(host.messages().size(), 1u);
    EXPECT_EQ(host.messages()[0].substr(0, 34), "Load Failed: Settings Not Loaded!\n");
    EXPECT_EQ(settings.ORVEL_Sort_Type, 1);
}

TEST_F(PreferenceEditTest, AFailedSaveSaysWhyAndKeepsTheWindowOpen) {
    PreferenceEdit edit(settings);
    edit.set("ORVEL_Data", dir.file("missing/"));
    host.answers = {Answer::Yes};
    EXPECT_EQ(edit.close(host), PreferencesClose::Stay);
    ASSERT_EQ(host.prompts.size(), 2u);
    EXPECT_EQ(host.prompts[1].title, "Save Failed");
    EXPECT_NE(host.prompts[1].text.find("does not exist"), std::string::npos);
    EXPECT_TRUE(edit.changes_made());
    // No keeps the changes unsaved but closes for the rebuild.
    host.answers = {Answer::No};
    EXPECT_EQ(edit.close(host), PreferencesClose::Rebuild);
}

} // namespace
} // namespace orvel
