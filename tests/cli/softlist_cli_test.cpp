// orvel-cli softlist against the fake MAME's configuration in a MAME folder of the test's own.

#include "cli/cli_run.h"
#include "platform/files.h"
#include "support/env_guard.h"
#include "support/scripted_host.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>

using namespace orvel;
using namespace orvel::test;

namespace {

class SoftlistCli : public ::testing::Test {
  protected:
    TempDir dir;
    void SetUp() override {
        ASSERT_TRUE(create_folder(dir.file("mame folder/")));
        ASSERT_TRUE(copy_file(ORVEL_FAKE_MAME, dir.file("mame folder/" + mame_file)));
        const CliRun init = cli("init --mame \"mame folder/" + mame_file + "\"");
        ASSERT_EQ(init.status, 0) << (init.err.empty() ? "" : init.err[0]);
        dir.write("mame folder/hash/nes.xml", read_all(fixture("softlist/nes.xml")));
        dir.write("mame folder/roms/nes/usa/SMB.ZIP", "x");
    }
    CliRun cli(const std::string& arguments) {
        return run_cli("--data data " + arguments, dir.path());
    }
};

} // namespace

TEST_F(SoftlistCli, SoftlistPrintsItemsAndTheTitle) {
    CliRun r = cli("softlist nes");
    ASSERT_EQ(r.status, 0) << (r.err.empty() ? "" : r.err.back());
    EXPECT_EQ(r.out,
              (std::vector<std::string>{"yes\tsmb\tcart1\t1985\tNintendo\tSuper Mario Bros.",
                                        "no\tzelda\tcart1\t1986\tNintendo\tThe Legend of Zelda",
                                        "Software List (2 Titles)"}));
    r = cli("softlist nes --filter missing");
    EXPECT_EQ(r.out,
              (std::vector<std::string>{"no\tzelda\tcart1\t1986\tNintendo\tThe Legend of Zelda",
                                        "Software List (2 Titles)"}));
    r = cli("softlist nes --search MARIO");
    EXPECT_EQ(r.out, (std::vector<std::string>{"yes\tsmb\tcart1\t1985\tNintendo\tSuper Mario Bros.",
                                               "Software List (2 Titles)"}));
    r = cli("softlist nes --search zel --filter available");
    EXPECT_EQ(r.out, std::vector<std::string>{"Software List (2 Titles)"});
    EXPECT_EQ(cli("softlist nes --search").status, 2);
    EXPECT_EQ(cli("softlist nes --filter some").status, 2);
    r = cli("softlist snes");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, std::vector<std::string>{"Software List (0 Titles)"});
}

TEST_F(SoftlistCli, AMalformedListIsReportedOnSeparateLines) {
    dir.write("mame folder/hash/broken.xml",
              "<softwarelist name=\"broken\">\n<software name=\"a\">\n</softwarelist>\n");
    const CliRun r = cli("softlist broken");
    // The item read before the fault stays; the fault is shown line by line.
    EXPECT_EQ(r.out, (std::vector<std::string>{"no\ta\t\t\t\t", "Software List (1 Titles)"}));
    const auto at = std::find(r.err.begin(), r.err.end(), "Error: Error in the XML file:");
    ASSERT_NE(at, r.err.end()) << (r.err.empty() ? "" : r.err[0]);
    ASSERT_GE(r.err.end() - at, 3);
    EXPECT_EQ(at[1], "Message: mismatched tag");
    EXPECT_EQ(at[2], "Line: 3   Character: 3");
}
