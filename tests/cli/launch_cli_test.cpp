// orvel-cli args, run and softlist against the fake MAME in a MAME folder of the test's own.

#include "cli/cli_run.h"
#include "platform/files.h"
#include "support/env_guard.h"
#include "support/scripted_host.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>

#ifndef _WIN32
#include <unistd.h>
#endif

using namespace orvel;
using namespace orvel::test;

namespace {

const char* const listing = R"xml(<?xml version="1.0"?>
<mame build="0.251 (fake)">
  <machine name="nes" sourcefile="nintendo/nes.cpp">
    <description>Nintendo Entertainment System / Famicom (NTSC)</description>
    <year>1985</year>
    <manufacturer>Nintendo</manufacturer>
    <rom name="nes.bin" size="16" crc="00000000"/>
    <display type="raster" rotate="0" width="256" height="240" refresh="60"/>
    <driver status="good" emulation="good" savestate="supported"/>
    <softwarelist tag="cart_list" name="nes" status="original"/>
  </machine>
  <machine name="neogeo" sourcefile="neogeo/neogeo.cpp" isbios="yes">
    <description>Neo-Geo MV-6F</description>
    <year>1990</year>
    <manufacturer>SNK</manufacturer>
    <biosset name="euro" description="Europe MVS (Ver. 2)"/>
    <biosset name="us" description="US MVS (Ver. 2?)"/>
    <rom name="sp-s2.sp1" bios="euro" size="131072" crc="9036d879"/>
    <display type="raster" rotate="0" width="320" height="224" refresh="59.18"/>
    <driver status="good" emulation="good" savestate="supported"/>
  </machine>
</mame>
)xml";

class LaunchCli : public ::testing::Test {
  protected:
    TempDir dir;
    TempDir tmp;
    std::string mame; // the MAME folder, with a blank in its name
    std::optional<EnvGuard> listing_env, log_env, tmp_env, tmp_windows_env, runtime_env;

    void SetUp() override {
        mame = dir.file("mame folder/");
        ASSERT_TRUE(create_folder(mame));
        ASSERT_TRUE(copy_file(ORVEL_FAKE_MAME, mame + mame_file));
        listing_env.emplace("ORVEL_FAKE_LISTING", dir.write("listing.xml", listing));
        log_env.emplace("ORVEL_FAKE_LOG", dir.file("args.log"));
        tmp_env.emplace("TMPDIR", tmp.path());
        tmp_windows_env.emplace("TMP", tmp.path());
        runtime_env.emplace("XDG_RUNTIME_DIR", "");
        const CliRun init = cli("init --mame \"mame folder/" + mame_file + "\"");
        ASSERT_EQ(init.status, 0) << (init.err.empty() ? "" : init.err[0]);
        dir.write("mame folder/hash/nes.xml", read_all(fixture("softlist/nes.xml")));
        dir.write("mame folder/roms/nes/usa/SMB.ZIP", "x");
    }
    CliRun cli(const std::string& arguments) {
        return run_cli("--data data " + arguments, dir.path());
    }
    std::string log() const { return read_all(dir.file("args.log")); }
};

} // namespace

TEST_F(LaunchCli, ArgsPrintsTheArgumentStringExactly) {
    CliRun r = cli("args nes");
    ASSERT_EQ(r.status, 0) << (r.err.empty() ? "" : r.err.back());
    EXPECT_EQ(r.out, std::vector<std::string>{" nes "});
    r = cli("args nes --media cart1 \"my games/smb.nes\"");
    EXPECT_EQ(r.out, std::vector<std::string>{" nes -cart1 \"my games/smb.nes\" "});
    r = cli("args nes --media cart1 \"\"");
    EXPECT_EQ(r.out, std::vector<std::string>{" nes -cart1 \"\" "});
    r = cli("args nes --empty");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, std::vector<std::string>{""});

    EXPECT_EQ(cli("args nes --commandline 1").status, 1);
    EXPECT_EQ(cli("args nes --commandline x").status, 2);
    EXPECT_EQ(cli("args nes --media cart1").status, 2);
    EXPECT_EQ(cli("args").status, 2);
    r = cli("args galaxian");
    EXPECT_EQ(r.status, 1);
    ASSERT_FALSE(r.err.empty());
    EXPECT_NE(r.err.back().find("galaxian"), std::string::npos);
}

TEST_F(LaunchCli, RunAsksAndStartsMameWithTheItem) {
    CliRun r = cli("run nes --software nes smb --yes");
    ASSERT_EQ(r.status, 0) << (r.err.empty() ? "" : r.err.back());
    EXPECT_EQ(log(), "nes\nnes:smb\n--\n");
    EXPECT_NE(std::find(r.out.begin(), r.out.end(), "fake mame: running nes"), r.out.end());

    // zelda has no file: answering No cancels before MAME starts.
    r = cli("run nes --software nes zelda --no");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(log(), "nes\nnes:smb\n--\n");
    r = cli("run nes --software nes zelda --empty --yes"); // "Start Empty"
    EXPECT_EQ(r.status, 0);
    r = cli("run nes --media flop1 \"my disk.dsk\" --yes");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(log(), "nes\nnes:smb\n--\nnes\n--\nnes\n-flop1\nmy disk.dsk\n--\n");
    EXPECT_EQ(cli("run nes --software nes nosuch --yes").status, 1);

    r = cli("run nes --capture --yes");
    ASSERT_EQ(r.status, 0);
#ifdef _WIN32
    const std::string own = tmp.path(); // the temporary folder is the user's own
#else
    const std::string own = tmp.file("orvel-" + std::to_string(::getuid()) + "/");
#endif
    EXPECT_EQ(r.out, (std::vector<std::string>{own + "output.txt", own + "error.txt"}));
    EXPECT_EQ(read_all(own + "output.txt"),
              "fake mame: starting\r\nfake mame: running nes\r\nfake mame: done\r\n");
}

// The media file's name reaches MAME as one argument, as it is: blanks, quotes and letters
// beyond ASCII included (on Windows through the wide command line at both ends).
TEST_F(LaunchCli, RunHandsMameAMediaFileNameAsItIs) {
    const std::string media = dir.write("my games/Zoë's 'Ärger' 東京 cart.nes", "x");
    const CliRun r = run_cli_args(
        {"--data", "data", "run", "nes", "--media", "cart1", media, "--yes"}, dir.path());
    ASSERT_EQ(r.status, 0) << (r.err.empty() ? "" : r.err.back());
    EXPECT_EQ(log(), "nes\n-cart1\n" + media + "\n--\n");
}

TEST_F(LaunchCli, CommandlineChangesStoredLinesWithTheWindowsRules) {
    CliRun r = cli("commandline neogeo");
    ASSERT_EQ(r.status, 0) << (r.err.empty() ? "" : r.err.back());
    EXPECT_EQ(r.out, std::vector<std::string>{"0\tDefault\t-1\t"});
    ASSERT_EQ(cli("commandline neogeo add Windowed").status, 0);
    ASSERT_EQ(cli("commandline neogeo add Last --after 1").status, 0);
    ASSERT_EQ(cli("commandline neogeo set 1 \"-window -nomax\"").status, 0);
    ASSERT_EQ(cli("commandline neogeo bios 1 1").status, 0);
    EXPECT_EQ(cli("commandline neogeo bios 1 2").status, 1); // two BIOS sets only
    EXPECT_EQ(cli("commandline nes bios 0 0").status, 1);    // nes has none
    EXPECT_EQ(cli("commandline neogeo remove 7").status, 1);
    EXPECT_EQ(cli("commandline neogeo frobnicate").status, 2);
    r = cli("commandline neogeo");
    EXPECT_EQ(r.out, (std::vector<std::string>{"0\tDefault\t-1\t", "1\tWindowed\t1\t-window -nomax",
                                               "2\tLast\t-1\t"}));
    // Saved: a run takes the stored line and its BIOS.
    r = cli("args neogeo --commandline 1");
    EXPECT_EQ(r.out, std::vector<std::string>{" neogeo -bios us  -window -nomax"});

    ASSERT_EQ(cli("commandline neogeo remove 0").status, 0);
    ASSERT_EQ(cli("commandline neogeo remove 0").status, 0);
    r = cli("commandline neogeo remove 0");
    EXPECT_EQ(r.status, 1);
    ASSERT_FALSE(r.err.empty());
    EXPECT_EQ(r.err.back(), "orvel-cli: Cannot delete last command!");
    EXPECT_EQ(cli("commandline neogeo").out, std::vector<std::string>{"0\tLast\t-1\t"});
}

TEST_F(LaunchCli, IniNamesListsTheFilesMameReads) {
    const CliRun r = cli("ini-names nes");
    ASSERT_EQ(r.status, 0) << (r.err.empty() ? "" : r.err.back());
    EXPECT_EQ(r.out, (std::vector<std::string>{"mame.ini", "debug.ini", "horizont.ini",
                                               "raster.ini", "source/nes.ini", "nes.ini"}));
    EXPECT_EQ(cli("ini-names galaxian").status, 1);
    EXPECT_EQ(cli("ini-names").status, 2);
}

TEST_F(LaunchCli, RunEndsWithMamesExitStatusAndPausesOnlyWhenAsked) {
    EnvGuard failing("ORVEL_FAKE_EXIT", "3");
    // The terminal keeps MAME's text after a failed run: the key is asked for only with --pause.
    for (const char* options : {"", " --capture", " --pause", " --capture --pause"}) {
        SCOPED_TRACE(options);
        const CliRun r = cli(std::string("run nes --yes") + options);
        EXPECT_EQ(r.status, 3);
        ASSERT_FALSE(r.err.empty());
        EXPECT_EQ(r.err.back(), "orvel-cli: run: MAME ended with exit status 3");
        const bool paused =
            std::find(r.out.begin(), r.out.end(), "Press A Key To Exit") != r.out.end();
        EXPECT_EQ(paused, std::string(options).find("--pause") != std::string::npos);
    }
}

TEST_F(LaunchCli, MediaThatMameCouldNotBeGivenAsShownIsRefused) {
    struct Case {
        std::string media_switch, file, error; // the error names this
    };
    const Case cases[] = {
        {"flop1", "side \"A\".dsk", "holds a double quote"},
        {"cart -nvram_directory /x", "f", "one word of letters and digits"},
        {"-cart", "f", "one word of letters and digits"},
    };
    for (const Case& c : cases) {
        for (const char* command : {"args", "run"}) {
            SCOPED_TRACE(std::string(command) + " " + c.media_switch);
            const CliRun r = run_cli_args(
                {"--data", "data", command, "nes", "--media", c.media_switch, c.file, "--yes"},
                dir.path());
            EXPECT_EQ(r.status, 2);
            EXPECT_TRUE(r.out.empty());
            ASSERT_FALSE(r.err.empty());
            EXPECT_NE(r.err.back().find(c.error), std::string::npos) << r.err.back();
        }
    }
    EXPECT_EQ(log(), ""); // MAME never ran
}

// Every run counts in the play record, timed from MAME's start to its end; the record is kept
// by name, so a rebuilt database keeps it.
TEST_F(LaunchCli, RunsAreCountedTimedAndSurviveARebuild) {
    EXPECT_EQ(
        cli("played nes").out,
        (std::vector<std::string>{"Times Played\t0", "Last Played\tNever", "Play Time\t0:00:00"}));
    {
        EnvGuard lasting("ORVEL_FAKE_RUN_MS", "1100");
        ASSERT_EQ(cli("run nes --yes").status, 0);
        ASSERT_EQ(cli("run nes --capture --yes").status, 0);
    }
    ASSERT_EQ(cli("run neogeo --yes").status, 0);
    ASSERT_EQ(cli("run nes --empty --yes").status, 0); // no machine's run
    ASSERT_EQ(cli("build --rebuild").status, 0);

    CliRun r = cli("played nes");
    ASSERT_EQ(r.status, 0) << (r.err.empty() ? "" : r.err.back());
    EXPECT_EQ(r.value("Times Played"), "2");
    EXPECT_NE(r.value("Last Played"), "Never");
    EXPECT_GE(r.value("Play Time"), "0:00:02");
    EXPECT_LT(r.value("Play Time"), "0:01:00");
    r = cli("played");
    ASSERT_EQ(r.out.size(), 2u);
    EXPECT_EQ(r.out[0].substr(0, 9), "neogeo\t1\t"); // the most recent first
    EXPECT_EQ(r.out[1].substr(0, 6), "nes\t2\t");
    EXPECT_EQ(cli("played galaxian").status, 1);
    EXPECT_EQ(cli("played a b").status, 2);
}
