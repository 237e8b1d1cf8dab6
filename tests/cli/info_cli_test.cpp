// orvel-cli dat and info against the fake MAME and its fixture listing.
#include "cli/cli_run.h"
#include "info/test_pictures.h"
#include "platform/files.h"
#include "support/env_guard.h"
#include "support/scripted_host.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace orvel;
using namespace orvel::test;

namespace {

class InfoCli : public ::testing::Test {
  protected:
    TempDir dir;
    std::string mame; // the MAME folder (fake MAME, portable)
    EnvGuard listing{"ORVEL_FAKE_LISTING", fixture("database/listing.xml")};

    void SetUp() override {
        mame = dir.file("mame folder/");
        ASSERT_TRUE(create_folder(mame));
        ASSERT_TRUE(copy_file(ORVEL_FAKE_MAME, mame + mame_file));
        const CliRun init = run_cli("init --mame \"" + mame + mame_file + "\"", dir.path());
        ASSERT_EQ(init.status, 0) << (init.err.empty() ? "" : init.err[0]);
        // The first command builds the database, showing the build's console on standard
        // output; the commands under test then load it.
        ASSERT_EQ(run("info neogeo").status, 0);
    }
    CliRun run(const std::string& arguments) { return run_cli("--yes " + arguments, dir.path()); }
};

} // namespace

TEST_F(InfoCli, DatPrintsEachKindUnderItsHeader) {
    // historypath is "history;dats;." in the fake MAME's ui.ini.
    dir.write("mame folder/history/history.dat",
              "$info=kinst,kinst2,\r\n$bio\r\n\r\nKiller Instinct.\r\n\r\nSecond paragraph.\r\n"
              "\r\n\r\n$end\r\n");
    dir.write("mame folder/dats/mameinfo.dat", "$info=kinst\n$mame\nOne line.\n$end\n");
    dir.write("mame folder/story.dat", "$info=cubeqst\nStory.\n$end\n");

    // A clone shows its parent's entries; kinds without text are left out.
    const CliRun all = run("dat kinst13");
    ASSERT_EQ(all.status, 0) << (all.err.empty() ? "" : all.err.back());
    const std::vector<std::string> expected = {"###- mameinfo.dat -###", "", "One line.",        "",
                                               "###- history.dat -###",  "", "Killer Instinct.", "",
                                               "Second paragraph."};
    EXPECT_EQ(all.out, expected);

    const CliRun one = run("dat kinst history.dat");
    EXPECT_EQ(one.out, (std::vector<std::string>{"###- history.dat -###", "", "Killer Instinct.",
                                                 "", "Second paragraph."}));
    EXPECT_EQ(run("dat cubeqst 6").out,
              (std::vector<std::string>{"###- story.dat -###", "", "Story."}));
    EXPECT_EQ(run("dat cubeqst 1").out,
              (std::vector<std::string>{"###- mameinfo.dat -###", "", "No Information"}));
    EXPECT_EQ(run("dat pinball").out, std::vector<std::string>{"No Information"});

    EXPECT_EQ(run("dat kinst 7").status, 2);
    EXPECT_EQ(run("dat").status, 2);
    const CliRun unknown = run("dat nosuchmachine");
    EXPECT_EQ(unknown.status, 1);
    ASSERT_FALSE(unknown.err.empty());
    EXPECT_NE(unknown.err.back().find("nosuchmachine"), std::string::npos);
}

// DAT text may hold escape sequences: a terminal is shown them, a pipe gets them.
TEST_F(InfoCli, DatTextReachesATerminalEscaped) {
    dir.write("mame folder/history/history.dat",
              "$info=kinst\n$bio\nKill\x1b[2Jer\xc2\x9b.\n$end\n");
    EXPECT_EQ(run("dat kinst 2").out,
              (std::vector<std::string>{"###- history.dat -###", "", "Kill\x1b[2Jer\xc2\x9b."}));
#ifndef _WIN32
    const std::string shown = run_cli_on_terminal({"dat", "kinst", "2"}, dir.path());
    EXPECT_NE(shown.find("Kill\\x1B[2Jer\\u009B."), std::string::npos) << shown;
    EXPECT_EQ(shown.find('\x1b'), std::string::npos) << shown;
#endif
}

TEST_F(InfoCli, InfoPrintsRowsAndPictureSources) {
    const std::string png = make_png(2, 2);
    dir.write("mame folder/snap/kinst.png", png);
    ASSERT_TRUE(make_zip(mame + "titles.zip", {{"kinst.png", png}}));
    const CliRun r = run("info kinst13");
    ASSERT_EQ(r.status, 0) << (r.err.empty() ? "" : r.err.back());
    ASSERT_EQ(r.out.size(), 21u); // 18 rows for a clone, 3 picture kinds
    EXPECT_EQ(r.out[0], "Romset\tkinst13");
    EXPECT_EQ(r.value("Set Type"), "Clone");
    EXPECT_EQ(r.value("Clone Of"), "kinst");
    // The clone has no pictures of its own: its parent's are found.
    EXPECT_EQ(r.value("snap"), "1\t" + mame + native("snap/kinst.png") + "\t");
    EXPECT_EQ(r.value("titles"), "3\t" + mame + "titles.zip\tkinst.png");
    EXPECT_EQ(r.value("icons"), "0\t\t");

    const CliRun device = run("info z80");
    ASSERT_EQ(device.status, 0);
    EXPECT_EQ(device.out.size(), 20u);
    EXPECT_EQ(device.value("Machine Type"), "Device");
    EXPECT_EQ(device.value("Runnable"), "No");
    EXPECT_EQ(run("info").status, 2);
}

TEST_F(InfoCli, InfoDatPrintsTheKindTheWindowOpensOnWrapped) {
    // History alone: the window shows it. A long line wraps at the window's width.
    // 69 characters of 8 pixels fill the 556 pixels a line may take.
    std::string words = "word";
    for (int i = 1; i < 14; ++i)
        words += " word";
    dir.write("mame folder/history/history.dat",
              "$info=kinst,\n$bio\n\n" + words + " last\n$end\n");
    const CliRun history = run("info kinst13 --dat");
    ASSERT_EQ(history.status, 0) << (history.err.empty() ? "" : history.err.back());
    const std::vector<std::string> tail(history.out.begin() + 21, history.out.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"dat\t2\thistory.dat", "###- history.dat -###", "",
                                              words, "last"}));

    // Mameinfo comes before History; a machine without DAT text says so.
    dir.write("mame folder/dats/mameinfo.dat", "$info=kinst\n$mame\nNotes.\n$end\n");
    EXPECT_EQ(run("info kinst --dat").value("dat"), "1\tmameinfo.dat");
    const CliRun none = run("--yes info pinball --dat");
    ASSERT_EQ(none.status, 0);
    EXPECT_EQ(none.value("dat"), "0\t");
    EXPECT_EQ(none.out.back(), "No Information");
}
