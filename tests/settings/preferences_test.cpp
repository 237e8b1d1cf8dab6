#include "platform/files.h"
#include "settings/preferences.h"
#include "support/scripted_host.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace orvel;
using namespace orvel::test;

namespace {
#ifdef _WIN32
const std::string start_folder = "C:\\start\\";
const std::string data_folder = "C:\\start\\ORVEL_Data\\";
#else
const std::string start_folder = "/start/";
const std::string data_folder = "/start/ORVEL_Data/";
#endif

Settings defaults() {
    Settings s;
    set_default_settings(s, start_folder, 1920, 1080);
    return s;
}
} // namespace

TEST(Preferences, DefaultsBuildTheDataFolderFromTheStartDirectory) {
    const Settings s = defaults();
    EXPECT_EQ(s.ORVEL_Data, data_folder);
    EXPECT_EQ(preferences_path(s), data_folder + "ORVEL.prefs");
    EXPECT_EQ(s.window_width, 960);
    EXPECT_EQ(s.window_height, 540);
}

TEST(Preferences, DefaultFileExactBytes) {
    const std::string expected = "\xEF\xBB\xBF\r\n"
                                 "; Orvel Configuration File\r\n"
                                 "; Orvel V0.050 Alpha\r\n"
                                 "; \r\n"
                                 "[MAME Info]\r\n"
                                 "MAME_Exe = \r\n"
                                 "MAME_Path = \r\n"
                                 "MAME_Size = \r\n"
                                 "MAME_Date = \r\n"
                                 "MAME_Version = \r\n"
                                 "; \r\n"
                                 "[ORVEL Folders]\r\n"
                                 "ORVEL_Data = " +
                                 data_folder +
                                 "\r\n"
                                 "; \r\n"
                                 "[ORVEL Font]\r\n"
                                 "ORVEL_Font_Name = Arial\r\n"
                                 "ORVEL_Font_Size = 10\r\n"
                                 "ORVEL_Font_Style = 0\r\n"
                                 "ORVEL_Font_Colour = 0\r\n"
                                 "ORVEL_Back_Colour = 16777215\r\n"
                                 "; \r\n"
                                 "[ORVEL Options]\r\n"
                                 "ORVEL_DB_Backup = 0\r\n"
                                 "ORVEL_Check_Avail = 0\r\n"
                                 "ORVEL_Sort_Type = 0\r\n"
                                 "; \r\n"
                                 "[ORVEL Window]\r\n"
                                 "ORVEL_Win_Max = 0\r\n"
                                 "ORVEL_Show_Pictures = 0\r\n"
                                 "ORVEL_Picture_Kind = 0\r\n"
                                 "ORVEL_Picture_Width = 320\r\n"
                                 "; \r\n"
                                 "; End of file\r\n";
    TempDir dir;
    ASSERT_TRUE(save_preferences(defaults(), dir.file("ORVEL.prefs")));
    EXPECT_EQ(read_all(dir.file("ORVEL.prefs")), expected);
}

TEST(Preferences, SaveAndLoadRoundTripEveryField) {
    TempDir dir;
    Settings s = defaults();
    s.ORVEL_Data = dir.path();
    s.MAME_Exe = "mame";
    s.MAME_Path = "/home/ü ser/my mame/";
    s.MAME_Size = "356894752";
    s.MAME_Date = "30/12/2022";
    s.MAME_Version = "0.251";
    s.ORVEL_Font_Name = "DejaVu Sans";
    s.ORVEL_Font_Size = 12;
    s.ORVEL_Font_Style = 256 + 512;
    s.ORVEL_Font_Colour = -1;
    s.ORVEL_Back_Colour = 0x123456;
    s.ORVEL_DB_Backup = 1;
    s.ORVEL_Check_Avail = 1;
    s.ORVEL_Sort_Type = 1;
    s.ORVEL_Win_Max = 1;
    s.ORVEL_Show_Pictures = 1;
    s.ORVEL_Picture_Kind = 2;
    s.ORVEL_Picture_Width = 411;
    ASSERT_TRUE(save_preferences(s, preferences_path(s)));
    EXPECT_NE(read_all(preferences_path(s)).find("ORVEL_Font_Colour = -1\r\n"), std::string::npos);

    Settings loaded = defaults();
    loaded.ORVEL_Data = dir.path();
    ASSERT_TRUE(load_preferences(loaded));
    EXPECT_EQ(preference_entries(loaded).size(), 18u);
    for (size_t i = 0; i < 18; ++i) {
        EXPECT_EQ(preference_entries(loaded)[i].key, preference_entries(s)[i].key);
        EXPECT_EQ(preference_entries(loaded)[i].value, preference_entries(s)[i].value);
    }
}

TEST(Preferences, GroupsAndKeysIgnoreCaseAndSpacing) {
    Settings s = defaults();
    parse_preferences(s, "  [orvel font]\n"
                         "\torvel_font_size=14\n"
                         "ORVEL_FONT_NAME   =  \tCourier New \t \n"
                         "[ORVEL OPTIONS]\r\n"
                         "  ; ORVEL_Sort_Type = 5\r\n"
                         "ORVEL_Sort_Type = 3 \r\n");
    EXPECT_EQ(s.ORVEL_Font_Size, 14);
    EXPECT_EQ(s.ORVEL_Font_Name, "Courier New");
    EXPECT_EQ(s.ORVEL_Sort_Type, 3);
}

TEST(Preferences, KeysAreLookedUpOnlyInTheirOwnGroup) {
    Settings s = defaults();
    parse_preferences(s, "[MAME Info]\nORVEL_Font_Size = 20\nMAME_Exe = mame\n"
                         "ORVEL_Font_Name = Wrong\n"
                         "[ORVEL Window]\nORVEL_Win_Max = 1\n");
    // The font group is missing: the font keeps its defaults while other groups are read.
    EXPECT_EQ(s.ORVEL_Font_Size, 10);
    EXPECT_EQ(s.ORVEL_Font_Name, "Arial");
    EXPECT_EQ(s.ORVEL_Back_Colour, 16777215);
    EXPECT_EQ(s.MAME_Exe, "mame");
    EXPECT_EQ(s.ORVEL_Win_Max, 1);
    EXPECT_EQ(s.ORVEL_Data, data_folder);
}

TEST(Preferences, NumbersAreReadFromTheStartOfTheValue) {
    Settings s = defaults();
    parse_preferences(s, "[ORVEL Font]\nORVEL_Font_Size = large\nORVEL_Font_Style = 512px\n"
                         "ORVEL_Font_Colour = -1\nORVEL_Back_Colour = +255\n"
                         "[ORVEL Options]\nORVEL_DB_Backup = 257\nORVEL_Check_Avail = 256\n"
                         "ORVEL_Sort_Type = -9223372036854775808\n"
                         "[ORVEL Window]\nORVEL_Win_Max = 1.9\n");
    EXPECT_EQ(s.ORVEL_Font_Size, 0); // a word reads as 0, not as the default
    EXPECT_EQ(s.ORVEL_Font_Style, 512);
    EXPECT_EQ(s.ORVEL_Font_Colour, -1);
    EXPECT_EQ(s.ORVEL_Back_Colour, 255);
    EXPECT_EQ(s.ORVEL_DB_Backup, 1); // flags keep the low byte
    EXPECT_EQ(s.ORVEL_Check_Avail, 0);
    EXPECT_EQ(s.ORVEL_Sort_Type, INT64_MIN);
    EXPECT_EQ(s.ORVEL_Win_Max, 1);
}

TEST(Preferences, EncodingFollowsTheByteOrderMark) {
    Settings latin = defaults();
    parse_preferences(latin, "[MAME Info]\nMAME_Path = /jeux/\xE9mu/\n");
    EXPECT_EQ(latin.MAME_Path, "/jeux/\xC3\xA9mu/");
    Settings utf8 = defaults();
    parse_preferences(utf8, "\xEF\xBB\xBF\r\n[MAME Info]\r\nMAME_Path = /jeux/\xC3\xA9mu/\r\n");
    EXPECT_EQ(utf8.MAME_Path, "/jeux/\xC3\xA9mu/");
}

TEST(Preferences, DamagedFilesAreReadAsFarAsPossible) {
    Settings s = defaults();
    std::string garbage = "[ORVEL Font\nORVEL_Font_Size = 11\n";
    for (int i = 0; i < 256; ++i)
        garbage.push_back(static_cast<char>(i));
    garbage += "\n[ORVEL Window]\nno equals sign here\nORVEL_Win_Max = 1";
    parse_preferences(s, garbage);
    // "[ORVEL Font" without "]" still names the group.
    EXPECT_EQ(s.ORVEL_Font_Size, 11);
    EXPECT_EQ(s.ORVEL_Win_Max, 1);

    Settings untouched = defaults();
    untouched.ORVEL_Data = "/no/such/folder/";
    EXPECT_TRUE(load_preferences(untouched).is(FailureKind::Missing));
    EXPECT_EQ(untouched.ORVEL_Font_Name, "Arial");

    // A file that is there but cannot be read is named with the system's reason (a folder in
    // its place cannot be read even by root).
    TempDir dir;
    Settings unreadable = defaults();
    unreadable.ORVEL_Data = dir.path();
    ASSERT_TRUE(create_folder(preferences_path(unreadable)));
    const Status read = load_preferences(unreadable);
    EXPECT_TRUE(read.is(FailureKind::Error));
    EXPECT_EQ(read.message(), "The preferences file could not be read: " +
                                  preferences_path(unreadable) + " (" + folder_read_reason + ")");
}

TEST(Preferences, NoValueCanStartLinesOfItsOwn) {
    TempDir dir;
    Settings s = defaults();
    s.ORVEL_Data = dir.path();
    const std::string path = dir.write("ORVEL.prefs", "old");
    s.ORVEL_Font_Name = "Arial\r\n[MAME Info]\r\nMAME_Exe = /tmp/evil\x1b";
    const Status saved = save_preferences(s, path);
    EXPECT_TRUE(saved.is(FailureKind::Refused));
    EXPECT_NE(saved.message().find("ORVEL_Font_Name"), std::string::npos) << saved.message();
    EXPECT_EQ(read_all(path), "old");
    // The bytes themselves never carry the value's control characters either.
    Settings reread = defaults();
    parse_preferences(reread, format_preferences(s));
    EXPECT_EQ(reread.ORVEL_Font_Name, "Arial[MAME Info]MAME_Exe = /tmp/evil");
    EXPECT_EQ(reread.MAME_Exe, "");
    // Nor does what is read from a damaged file: it is written back as it was read.
    Settings damaged = defaults();
    parse_preferences(damaged,
                      std::string("[MAME Info]\nMAME_Exe = \x01 /usr/games/\0mame\x7f\n", 43));
    EXPECT_EQ(damaged.MAME_Exe, "/usr/games/mame");
    EXPECT_FALSE(is_storable_preference_value("a\tb"));
    EXPECT_TRUE(is_storable_preference_value("Jingūkan /x"));
}

#ifndef _WIN32 // a sparse file and a link to a device
TEST(Preferences, HugeAndEndlessFilesAreRefusedQuicklyByName) {
    TempDir dir;
    Settings s = defaults();
    s.ORVEL_Data = dir.path();
    const std::string path = preferences_path(s);
    std::filesystem::create_symlink("/dev/zero", path);
    Status loaded = load_preferences(s);
    EXPECT_EQ(loaded.message(),
              "The preferences file is too large to be read (more than 16 MB): " + path);
    std::filesystem::remove(path);
    { std::ofstream(path) << "[ORVEL Font]\r\nORVEL_Font_Size = 30\r\n"; }
    std::filesystem::resize_file(path, std::uintmax_t(2) << 30); // 2 GB, taking no room
    loaded = load_preferences(s);
    EXPECT_TRUE(loaded.is(FailureKind::Refused));
    EXPECT_EQ(s.ORVEL_Font_Size, defaults().ORVEL_Font_Size);
}
#endif

TEST(Preferences, AFailedSaveKeepsTheOldFile) {
    TempDir dir;
    Settings s = defaults();
    EXPECT_FALSE(save_preferences(s, dir.file("missing/ORVEL.prefs")));
    const std::string path = dir.write("ORVEL.prefs", "old");
    s.ORVEL_Data = dir.path();
    ASSERT_TRUE(save_preferences(s, path));
    EXPECT_EQ(read_all(path).substr(0, 5), "\xEF\xBB\xBF\r\n");
}

TEST(Preferences, SetOneKeyByNameWithTheFileReadingRules) {
    Settings s = defaults();
    EXPECT_TRUE(set_preference(s, "orvel_font_size", " 12pt"));
    EXPECT_TRUE(set_preference(s, "ORVEL_Font_Name", "DejaVu Sans \t"));
    EXPECT_TRUE(set_preference(s, "ORVEL_Win_Max", "257")); // a flag keeps the low byte
    EXPECT_TRUE(set_preference(s, "ORVEL_Back_Colour", "-1"));
    EXPECT_FALSE(set_preference(s, "ORVEL_Font", "3"));
    EXPECT_FALSE(set_preference(s, "product_name", "x")); // never saved, so no key
    EXPECT_EQ(s.ORVEL_Font_Size, 12);
    EXPECT_EQ(s.ORVEL_Font_Name, "DejaVu Sans");
    EXPECT_EQ(s.ORVEL_Win_Max, 1);
    EXPECT_EQ(s.ORVEL_Back_Colour, -1);
    EXPECT_EQ(s.product_name, "Orvel");
}

// A file of an older version lacks the picture pane's keys (their defaults hold); keys of a newer
// version are written back where they were, in their groups.
TEST(Preferences, OlderFilesLoadAndUnknownKeysAreKept) {
    Settings s = defaults();
    parse_preferences(s, "[ORVEL Window]\r\nORVEL_Win_Max = 1\r\nORVEL_Future = wide open\r\n"
                         "orvel_win_max = 0\r\n"
                         "[Plugins]\r\nLoader = fast\r\nloader = slow\r\n");
    EXPECT_EQ(s.ORVEL_Win_Max, 1);
    EXPECT_EQ(s.ORVEL_Show_Pictures, 0);
    EXPECT_EQ(s.ORVEL_Picture_Kind, 0);
    EXPECT_EQ(s.ORVEL_Picture_Width, 320);
    const std::string saved = format_preferences(s);
    EXPECT_NE(saved.find("ORVEL_Picture_Width = 320\r\nORVEL_Future = wide open\r\n; \r\n"
                         "[Plugins]\r\nLoader = fast\r\n; \r\n; End of file"),
              std::string::npos)
        << saved;
    Settings again = defaults();
    parse_preferences(again, saved);
    EXPECT_EQ(format_preferences(again), saved);
}
