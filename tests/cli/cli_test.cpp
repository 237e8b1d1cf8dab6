#include "cli/cli_run.h"
#include "platform/files.h"
#include "settings/mame_paths.h"
#include "support/env_guard.h"
#include "support/scripted_host.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace orvel;
using namespace orvel::test;

namespace {
class Cli : public ::testing::Test {
  protected:
    TempDir dir;
    std::string mame_folder;
    void SetUp() override {
        mame_folder = dir.file("my 'mame' é/");
        ASSERT_TRUE(create_folder(mame_folder));
    }
    // The fake MAME as mame_folder + name (on Windows with ".exe" added).
    std::string install(const std::string& name) {
        EXPECT_TRUE(copy_file(ORVEL_FAKE_MAME, mame_folder + name + exe_suffix));
        return mame_folder + name + exe_suffix;
    }
};
} // namespace

TEST_F(Cli, UsageErrorsAndHelp) {
    EXPECT_EQ(run_cli("--help", dir.path()).status, 0);
    EXPECT_EQ(run_cli("", dir.path()).status, 2);
    EXPECT_EQ(run_cli("frobnicate", dir.path()).status, 2);
    EXPECT_EQ(run_cli("init --mame", dir.path()).status, 2);
    EXPECT_EQ(run_cli("init --frobnicate", dir.path()).status, 2);
    EXPECT_EQ(run_cli("settings extra", dir.path()).status, 2);
    const CliRun missing = run_cli("init --mame nowhere/mame", dir.path());
    EXPECT_EQ(missing.status, 1);
    ASSERT_EQ(missing.err.size(), 1u);
    EXPECT_NE(missing.err[0].find("does not exist"), std::string::npos);
}

// Without a MAME to be found, init says how to get one; a bare name is looked up on PATH; a
// program that is not MAME is refused and nothing saved.
TEST_F(Cli, InitFindsMameOnPathOrSaysHowToGetOne) {
#ifdef _WIN32
    const std::string hint = "download it from the MAME project's site";
#else
    const std::string hint = "sudo apt install mame";
#endif
    {
        EnvGuard path("PATH", dir.file("nowhere"));
        // Without --mame, init also looks in /usr/games, so it is tried only where that has none.
        std::vector<std::string> tries = {"init --mame mame"};
        if (file_size("/usr/games/mame") < 0) tries.emplace_back("init");
        for (const std::string& args : tries) {
            const CliRun r = run_cli(args, dir.path());
            EXPECT_EQ(r.status, 1) << args;
            ASSERT_EQ(r.err.size(), 1u) << args;
            EXPECT_NE(r.err[0].find(hint), std::string::npos) << r.err[0];
        }
    }
    install("mame");
    {
        EnvGuard path("PATH", dir.file("nowhere") + path_list + mame_folder);
        const CliRun r = run_cli("init --mame mame", dir.path());
        ASSERT_EQ(r.status, 0) << (r.err.empty() ? "" : r.err[0]);
        EXPECT_EQ(r.value("MAME_Path"), mame_folder);
        EXPECT_EQ(r.value("MAME_Version"), "0.251");
    }
    const std::string prefs =
        read_file(dir.file("ORVEL_Data/ORVEL.prefs"), no_size_limit).value_or("");
#ifdef _WIN32
    // A program that prints a blank line for "-version".
    EnvGuard blank_version("ORVEL_FAKE_VERSION", " ");
    ASSERT_TRUE(copy_file(ORVEL_FAKE_MAME, dir.file("true.exe")));
#else
    dir.write("true", "#!/bin/sh\nexit 0\n");
    std::filesystem::permissions(dir.file("true"), std::filesystem::perms::owner_all);
#endif
    const CliRun wrong = run_cli("init --mame ./true" + exe_suffix + " --yes", dir.path());
    EXPECT_EQ(wrong.status, 1);
    ASSERT_FALSE(wrong.err.empty()); // after the answered "Unknown MAME Filename" question
    EXPECT_NE(wrong.err.back().find("\"" + dir.file("true" + exe_suffix) + "\" printed no version"),
              std::string::npos)
        << wrong.err.back();
    EXPECT_NE(wrong.err.back().find("choose another MAME"), std::string::npos);
    EXPECT_EQ(read_file(dir.file("ORVEL_Data/ORVEL.prefs"), no_size_limit).value_or(""), prefs);
}

TEST_F(Cli, ConfigBeforeInitFailsWithAReason) {
    const CliRun r = run_cli("config", dir.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.empty());
    ASSERT_EQ(r.err.size(), 1u);
    EXPECT_NE(r.err[0].find("init"), std::string::npos);
    // settings still shows the defaults.
    const CliRun s = run_cli("settings", dir.path());
    EXPECT_EQ(s.status, 0);
    EXPECT_EQ(s.value("ORVEL_Data"), dir.file("ORVEL_Data/"));
    EXPECT_EQ(s.value("MAME_Exe"), "");
}

TEST_F(Cli, InitSettingsAndConfigWithAPortableMame) {
    install("mame");
    // A path relative to the working directory, with quotes and spaces.
    const CliRun init =
        run_cli("--data \"data dir\" init --mame \"my 'mame' é/" + mame_file + "\"", dir.path());
    ASSERT_EQ(init.status, 0) << (init.err.empty() ? "" : init.err[0]);
    EXPECT_GT(file_size(dir.file("data dir/ORVEL.prefs")), 0);
    EXPECT_GT(file_size(mame_folder + "mame.ini"), 0);

    const CliRun s = run_cli("--data \"data dir\" settings", dir.path());
    ASSERT_EQ(s.status, 0);
    const std::vector<std::string> keys = {
        "MAME_Exe",           "MAME_Path",          "MAME_Size",         "MAME_Date",
        "MAME_Version",       "ORVEL_Data",         "ORVEL_Font_Name",   "ORVEL_Font_Size",
        "ORVEL_Font_Style",   "ORVEL_Font_Colour",  "ORVEL_Back_Colour", "ORVEL_DB_Backup",
        "ORVEL_Check_Avail",  "ORVEL_Sort_Type",    "ORVEL_Win_Max",     "ORVEL_Show_Pictures",
        "ORVEL_Picture_Kind", "ORVEL_Picture_Width"};
    ASSERT_EQ(s.out.size(), keys.size());
    for (size_t i = 0; i < keys.size(); ++i)
        EXPECT_EQ(s.out[i].substr(0, s.out[i].find('\t')), keys[i]);
    EXPECT_EQ(s.value("MAME_Exe"), mame_file);
    EXPECT_EQ(s.value("MAME_Path"), mame_folder);
    EXPECT_EQ(s.value("MAME_Size"), std::to_string(file_size(mame_folder + mame_file)));
    EXPECT_EQ(s.value("MAME_Version"), "0.251");
    EXPECT_EQ(s.value("ORVEL_Data"), dir.file("data dir/"));
    EXPECT_EQ(s.value("ORVEL_Font_Size"), "10");

    const CliRun c = run_cli("--data \"data dir\" config", dir.path());
    ASSERT_EQ(c.status, 0);
    ASSERT_EQ(c.out.size(), 41u);
    for (size_t i = 0; i < 41; ++i)
        EXPECT_EQ(c.out[i].substr(0, c.out[i].find('\t')), MamePaths::keys()[i].name);
    EXPECT_EQ(c.value("rompath"), "roms\t" + mame_folder + native("roms/"));
    EXPECT_EQ(c.value("historypath"), "history;dats;.\t" + mame_folder + native("history/") + ";" +
                                          mame_folder + native("dats/") + ";" + mame_folder);
    EXPECT_EQ(c.value("hlslpath"), "\t");
}

TEST_F(Cli, UnknownNamesNeedYes) {
    const std::string exe = install("emu");
    const CliRun refused = run_cli("init --mame \"" + exe + "\"", dir.path());
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(file_size(dir.file("ORVEL_Data/ORVEL.prefs")), -1);
    const CliRun accepted = run_cli("--yes init --mame \"" + exe + "\"", dir.path());
    EXPECT_EQ(accepted.status, 0);
    EXPECT_EQ(run_cli("settings", dir.path()).value("MAME_Exe"), "emu" + exe_suffix);
}

// Preferences that are there but cannot be read are named with the reason, never taken for a
// first start, and never replaced (a folder in its place cannot be read even by root).
TEST_F(Cli, UnreadablePreferencesAreNamedAndKept) {
    ASSERT_TRUE(create_folders(dir.file("d/ORVEL.prefs/")));
    for (const char* command : {"settings", "settings --set ORVEL_Win_Max=1", "list", "record x",
                                "--yes init --mame \"my 'mame' é/mame\""}) {
        if (std::string(command).find("init") != std::string::npos) install("mame");
        const CliRun r = run_cli(std::string("--data d ") + command, dir.path());
        EXPECT_EQ(r.status, 1) << command;
        ASSERT_FALSE(r.err.empty()) << command;
        EXPECT_NE(r.err.back().find("The preferences file could not be read: " +
                                    dir.file("d/ORVEL.prefs") + " (" + folder_read_reason + ")"),
                  std::string::npos)
            << command << ": " << r.err.back();
    }
    EXPECT_TRUE(folder_exists(dir.file("d/ORVEL.prefs")));
}

TEST_F(Cli, SettingsSetSavesTheFileAndRefusesUnknownKeys) {
    install("mame");
    ASSERT_EQ(run_cli("--data d init --mame \"my 'mame' é/mame\"", dir.path()).status, 0);
    const CliRun set =
        run_cli("--data d settings --set orvel_sort_type=1 --set \"ORVEL_Font_Name=DejaVu Sans\"",
                dir.path());
    ASSERT_EQ(set.status, 0) << (set.err.empty() ? "" : set.err[0]);
    EXPECT_EQ(set.value("ORVEL_Sort_Type"), "1");
    const CliRun s = run_cli("--data d settings", dir.path());
    EXPECT_EQ(s.value("ORVEL_Sort_Type"), "1");
    EXPECT_EQ(s.value("ORVEL_Font_Name"), "DejaVu Sans");
    EXPECT_EQ(s.value("MAME_Exe"), mame_file); // the other keys are kept

    const std::string before = read_all(dir.file("d/ORVEL.prefs"));
    EXPECT_EQ(run_cli("--data d settings --set ORVEL_Sort=0", dir.path()).status, 2);
    EXPECT_EQ(run_cli("--data d settings --set ORVEL_Sort_Type", dir.path()).status, 2);
    EXPECT_EQ(run_cli("--data d settings --set", dir.path()).status, 2);
    // A line break would start keys and groups of its own; other control characters are refused
    // alike.
    for (const char* value : {"x\r\n[MAME Info]\r\nMAME_Exe = /tmp/evil", "x\ny", "a\x1b[2Jb"}) {
        const CliRun r = run_cli_args(
            {"--data", "d", "settings", "--set", std::string("ORVEL_Font_Name=") + value},
            dir.path());
        EXPECT_EQ(r.status, 2) << value;
        ASSERT_EQ(r.err.size(), 1u);
        EXPECT_NE(r.err[0].find("control character"), std::string::npos) << r.err[0];
    }
    EXPECT_EQ(read_all(dir.file("d/ORVEL.prefs")), before);
    // A data folder that does not exist cannot be written: a failure, not a success.
    EXPECT_EQ(run_cli("--data nowhere settings --set ORVEL_Win_Max=1", dir.path()).status, 1);
}
