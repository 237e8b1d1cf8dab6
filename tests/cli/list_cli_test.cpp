// orvel-cli list, folders, save-folder and favourite on a database built from the fixture
// listing by the fake MAME.

#include "cli/cli_run.h"
#include "platform/files.h"
#include "support/env_guard.h"
#include "support/scripted_host.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace orvel;
using namespace orvel::test;

namespace {

class ListCli : public ::testing::Test {
  protected:
    TempDir dir;
    std::string mame;
    EnvGuard listing{"ORVEL_FAKE_LISTING", fixture("database/listing.xml")};

    void SetUp() override {
        mame = dir.file("mame/");
        ASSERT_TRUE(create_folder(mame));
        ASSERT_TRUE(copy_file(ORVEL_FAKE_MAME, mame + mame_file));
        ASSERT_EQ(run_cli("init --mame \"" + mame + mame_file + "\"", dir.path()).status, 0);
    }
    CliRun cli(const std::string& args) { return run_cli(args, dir.path()); }
    std::vector<std::string> names(const std::string& args) {
        const CliRun r = cli(args);
        EXPECT_EQ(r.status, 0) << args << ": " << (r.err.empty() ? "" : r.err.back());
        std::vector<std::string> out;
        for (const std::string& l : r.out)
            out.push_back(l.substr(0, l.find('\t')));
        return out;
    }
};

using Names = std::vector<std::string>;

} // namespace

TEST_F(ListCli, ListsRowsAfterChoicesSearchAndSort) {
    const CliRun all = cli("list");
    ASSERT_EQ(all.status, 0) << (all.err.empty() ? "" : all.err.back());
    // Devices that cannot run are hidden by default; rows follow the titles without case.
    EXPECT_EQ(names("list"),
              Names({"a2600", "cubeqst", "kinst13", "kinst", "mslug", "neogeo", "pinball"}));
    EXPECT_EQ(all.out[3], "kinst\tkiller instinct (v1.5d)\tRare / Nintendo\t1994");
    EXPECT_EQ(names("list --sort name --choose \"Romset Type/Parent\""),
              Names({"a2600", "cubeqst", "kinst", "mslug", "neogeo", "pinball"}));
    EXPECT_EQ(names("list --choose \"Runnability/All\" --search Z80"), Names({"z80", "z80dev"}));
    EXPECT_EQ(names("list --search inst1"), Names({"kinst13"})); // by short name
    EXPECT_EQ(names("list --choose \"Manufacturer/Rare / Nintendo\""), Names({"kinst13", "kinst"}));
    EXPECT_EQ(names("list --choose \"Year/[No Entry]\" --choose \"Runnability/All\""),
              Names({"z80", "z80dev"}));
    EXPECT_EQ(names("list --choose \"Year/1994\" --choose \"Year/All\" --choose "
                    "\"Mechanical/Is Mechanical\""),
              Names({"pinball"}));
    const CliRun count = cli("list --count --choose \"BIOS/Is BIOS\"");
    EXPECT_EQ(count.out, Names({"Showing: 1 of 9"}));

    const CliRun bad = cli("list --choose \"Year/2525\"");
    EXPECT_EQ(bad.status, 2);
    ASSERT_FALSE(bad.err.empty());
    EXPECT_NE(bad.err.back().find("Year/2525"), std::string::npos);
    EXPECT_EQ(cli("list --choose Year").status, 2);
    EXPECT_EQ(cli("list --sort size").status, 2);
    EXPECT_EQ(cli("list --frobnicate").status, 2);
}

TEST_F(ListCli, SavedFolderIsReadBackAndRestrictsTheList) {
    ASSERT_TRUE(create_folder(mame + "folders"));
    ASSERT_EQ(cli("save-folder mame/folders/killers --search killer").status, 0);
    EXPECT_EQ(read_all(mame + "folders/killers.ini"),
              "[FOLDER_SETTINGS]\r\nRootFolderIcon mame\r\nSubFolderIcon folder\r\n\r\n"
              ";; MAME v0.251 ;;\r\n;; Created by Orvel vV0.050 Alpha ;;\r\n\r\n"
              "[ROOT_FOLDER]\r\nkinst13\r\nkinst\r\n");
    write_file_atomic(mame + "folders/genre.ini",
                      "[FOLDER_SETTINGS]\n[Shooter]\nmslug\nnosuch\nmslug\n\n[Fighter]\nkinst\n");
    const CliRun folders = cli("folders");
    ASSERT_EQ(folders.status, 0);
    EXPECT_EQ(folders.out, Names({"genre\tFighter\t1", "genre\tShooter\t2", "killers\tRoot\t2"}));
    EXPECT_EQ(names("list --folder genre/Shooter"), Names({"mslug", "mslug"}));
    EXPECT_EQ(names("list --folder genre/Shooter --folder Default/All --count"),
              Names({"Showing: 7 of 9"}));
    EXPECT_EQ(cli("list --folder genre/Puzzle").status, 2);
    EXPECT_EQ(cli("save-folder").status, 2);
    EXPECT_EQ(cli("save-folder nowhere/at/all/x").status, 1);
}

// Names in folder files may hold escape sequences: a terminal is shown them, a pipe gets them.
TEST_F(ListCli, FolderNamesReachATerminalEscaped) {
    ASSERT_TRUE(create_folder(mame + "folders"));
    write_file_atomic(mame + "folders/genre.ini", "[FOLDER_SETTINGS]\n[Shoot\x1b]2;x\x07"
                                                  "er]\nmslug\n");
    EXPECT_EQ(cli("folders").out, Names({"genre\tShoot\x1b]2;x\x07"
                                         "er\t1"}));
#ifndef _WIN32
    const std::string shown = run_cli_on_terminal({"folders"}, dir.path());
    EXPECT_NE(shown.find("genre\tShoot\\x1B]2;x\\x07"
                         "er\t1"),
              std::string::npos)
        << shown;
    EXPECT_EQ(shown.find('\x1b'), std::string::npos) << shown;
#endif
}

TEST_F(ListCli, FavouritesAreSavedInTheDatabase) {
    ASSERT_EQ(cli("favourite add mslug").status, 0);
    const CliRun favs = cli("list --choose Favourites/Favourite");
    ASSERT_EQ(favs.out.size(), 1u);
    EXPECT_EQ(favs.out[0], "mslug\t\xE2\x99\xA5 Metal Slug - Super Vehicle-001\tNazca\t1996");
    EXPECT_EQ(cli("favourite remove mslug").status, 0);
    EXPECT_TRUE(names("list --choose Favourites/Favourite").empty());
    EXPECT_EQ(cli("favourite add nosuch").status, 1);
    EXPECT_EQ(cli("favourite toggle mslug").status, 2);
}
