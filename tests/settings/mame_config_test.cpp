#include "platform/files.h"
#include "settings/mame_config.h"
#include "support/env_guard.h"
#include "support/scripted_host.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

using namespace orvel;
using namespace orvel::test;

namespace {
std::string line(const std::string& key, const std::string& value) {
    std::string l = key;
    l.resize(std::max<size_t>(26, key.size()), ' ');
    return l + value + "\r\n";
}
} // namespace

TEST(MameConfig, ColumnSplitCommentsAndExactKeys) {
    MamePaths p;
    parse_mame_config(
        p, "#\n# CORE SEARCH PATH OPTIONS\n#\n" + line("rompath", "roms;/srv/roms  ") +
               "#hashpath                 hidden\n" + line("  samplepath", "spaced key") +
               line("ARTPATH", "upper") + "ctrlrpath ctrl\n" + line("cheatpath", "\"my cheats\"") +
               line("fontpath", "\tfonts") + "inipath                   \n" +
               line("homepath", "."));
    EXPECT_EQ(p.rompath, "roms;/srv/roms");
    EXPECT_EQ(p.hashpath, "");
    EXPECT_EQ(p.samplepath, "spaced key");
    EXPECT_EQ(p.artpath, "");                // keys are case significant
    EXPECT_EQ(p.ctrlrpath, "");              // too short for MAME's layout
    EXPECT_EQ(p.cheatpath, "\"my cheats\""); // quotes are kept
    EXPECT_EQ(p.fontpath, "\tfonts");        // only spaces are trimmed
    EXPECT_EQ(p.inipath, "");
}

TEST(MameConfig, LastOccurrenceWinsAndByteOrderMarksAreDecoded) {
    MamePaths p;
    parse_mame_config(p, line("rompath", "first") + line("rompath", "second"));
    EXPECT_EQ(p.rompath, "second");

    const std::string text =
        line("historypath", "h\xC3\xA9story") + line("icons_directory", "icons");
    std::string utf16 = "\xFF\xFE";
    for (char32_t c : std::u32string{
             U"historypath               h\u00E9story\r\nicons_directory           icons\r\n"}) {
        utf16.push_back(static_cast<char>(c & 0xFF));
        utf16.push_back(static_cast<char>(c >> 8));
    }
    MamePaths wide;
    parse_mame_config(wide, utf16);
    EXPECT_EQ(wide.historypath, "h\xC3\xA9story");
    EXPECT_EQ(wide.icons_directory, "icons");
    MamePaths bom;
    parse_mame_config(bom, "\xEF\xBB\xBF" + text);
    EXPECT_EQ(bom.historypath, "h\xC3\xA9story");
}

TEST(MameConfig, BinaryAndMissingFilesChangeNothing) {
    MamePaths p;
    p.rompath = "kept";
    EXPECT_TRUE(read_mame_config(p, "/no/such/mame.ini")); // nothing to tell
    std::string noise;
    for (int i = 0; i < 4096; ++i)
        noise.push_back(static_cast<char>((i * 37) & 0xFF));
    parse_mame_config(p, noise);
    EXPECT_EQ(p.rompath, "kept");
}

#ifndef _WIN32 // links to a device
TEST(MameConfig, EndlessAndHugeIniFilesAreRefusedByName) {
    TempDir dir;
    dir.write("mame.ini", line("rompath", "roms2"));
    std::filesystem::create_symlink("/dev/zero", dir.file("ui.ini"));
    Settings settings;
    settings.MAME_Path = dir.path();
    MamePaths p;
    const MameConfigDiscovery found = discover_mame_config(settings, p);
    EXPECT_EQ(found.status.message(),
              "MAME's ini file is too large to be read (more than 4 MB): " + dir.file("ui.ini"));
    EXPECT_EQ(p.rompath, "roms2"); // what could be read counts

    dir.write("big.ini", std::string(max_ini_file_bytes + 1, '#'));
    EXPECT_TRUE(read_mame_config(p, dir.file("big.ini")).is(FailureKind::Refused));
    EXPECT_EQ(p.rompath, "roms2");
}
#endif

class Discovery : public ::testing::Test {
  protected:
    const std::string start_cwd = current_directory();
    TempDir dir;
    Settings settings;
    MamePaths paths;
    void SetUp() override {
        set_default_settings(settings, dir.path());
        settings.MAME_Path = dir.file("my mame/");
        ASSERT_TRUE(create_folder(settings.MAME_Path));
        settings.MAME_Exe = "mame";
        std::filesystem::copy_file(ORVEL_FAKE_MAME, settings.MAME_Path + "mame");
    }
};

TEST_F(Discovery, RunsMameWhenMameIniIsMissingOrEmpty) {
    dir.write("my mame/mame.ini", "");
    (void)discover_mame_config(settings, paths);
    EXPECT_GT(file_size(settings.MAME_Path + "mame.ini"), 0);
    EXPECT_EQ(paths.rompath, "roms");
    EXPECT_EQ(paths.historypath, "history;dats;.");
    EXPECT_EQ(current_directory(), start_cwd); // MAME's folder is passed, never entered
}

TEST_F(Discovery, UiIniOverridesAndAnExistingMameIniIsNotRegenerated) {
    dir.write("my mame/mame.ini", line("rompath", "myroms") + line("historypath", "old"));
    (void)discover_mame_config(settings, paths);
    EXPECT_EQ(file_size(settings.MAME_Path + "ui.ini"), -1); // MAME was not run
    EXPECT_EQ(paths.rompath, "myroms");
    EXPECT_EQ(paths.historypath, "old");

    dir.write("my mame/ui.ini", line("historypath", "new"));
    MamePaths again;
    (void)discover_mame_config(settings, again);
    EXPECT_EQ(again.historypath, "new");
    EXPECT_EQ(again.rompath, "myroms");
}

TEST_F(Discovery, AHangingOrSilentMameLeavesThePathsEmpty) {
    {
        EnvGuard hang("ORVEL_FAKE_HANG", "1");
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(discover_mame_config(settings, paths, 300).status.ok());
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    }
    {
        EnvGuard silent("ORVEL_FAKE_NO_CC", "1");
        (void)discover_mame_config(settings, paths);
    }
    settings.MAME_Exe = "missing-mame";
    (void)discover_mame_config(settings, paths);
    EXPECT_EQ(paths.rompath, "");
    EXPECT_EQ(file_size(settings.MAME_Path + "mame.ini"), -1);
}

// MAME's own configuration is left alone: with a mame.ini on its ini path (a system one here),
// the settings in effect and that folder's ui.ini are read and nothing is written. Only a MAME
// with none at all writes its defaults, and the caller hears where.
TEST_F(Discovery, AMameIniOnMamesIniPathIsReadNotRewritten) {
    dir.write("etc/mame.ini",
              line("snapshot_directory", "/srv/snaps") + line("rompath", "$HOME/r"));
    dir.write("etc/ui.ini", line("historypath", "/srv/dats"));
    EnvGuard ini_path("ORVEL_FAKE_INIPATH", ".;" + dir.file("etc"));
    const MameConfigDiscovery found = discover_mame_config(settings, paths);
    EXPECT_TRUE(found.status.ok());
    EXPECT_EQ(found.created_in, "");
    EXPECT_EQ(file_size(settings.MAME_Path + "mame.ini"), -1);
    EXPECT_EQ(file_size(settings.MAME_Path + "ui.ini"), -1);
    EXPECT_EQ(paths.snapshot_directory, "/srv/snaps");
    EXPECT_EQ(paths.rompath, "$HOME/r");
    EXPECT_EQ(paths.historypath, "/srv/dats");
    EXPECT_EQ(paths.hashpath, "hash"); // MAME's default, as -showconfig reports it

    EnvGuard nowhere("ORVEL_FAKE_INIPATH", ".;" + dir.file("nowhere"));
    MamePaths fresh;
    const MameConfigDiscovery created = discover_mame_config(settings, fresh);
    EXPECT_EQ(created.created_in, settings.MAME_Path);
    EXPECT_GT(file_size(settings.MAME_Path + "mame.ini"), 0);
    EXPECT_EQ(fresh.snapshot_directory, "snap");
}
