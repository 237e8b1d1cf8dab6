// orvel-cli audit against the fake MAME, the audit fixture listing and romsets in "roms/".
#include "cli/cli_run.h"
#include "platform/files.h"
#include "support/env_guard.h"
#include "support/romset_writer.h"
#include "support/scripted_host.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace orvel;
using namespace orvel::test;

TEST(AuditCli, ListsVerdictsAndOneMachinesRoms) {
    TempDir dir;
    EnvGuard listing{"ORVEL_FAKE_LISTING", fixture("audit/listing.xml")};
    const std::string mame = dir.file("mame folder/");
    ASSERT_TRUE(create_folder(mame));
    std::filesystem::copy_file(ORVEL_FAKE_MAME, mame + "mame");
    ASSERT_EQ(run_cli("init --mame \"" + mame + "mame\"", dir.path()).status, 0);
    const std::string roms = mame + native("roms/");
    ASSERT_TRUE(write_zip(roms + "puckman.zip",
                          {{"pm1-1.7f", 32, 0x2fc650bd}, {"pm1-4.4a", 256, 0x3eb3a8e4}}));
    ASSERT_TRUE(write_zip(roms + "vic10.zip", {}));

    const CliRun all = run_cli("--yes audit", dir.path());
    ASSERT_EQ(all.status, 0) << (all.err.empty() ? "" : all.err.back());
    const auto line_of = [](const CliRun& r, const std::string& start) {
        for (const std::string& l : r.out)
            if (l.rfind(start, 0) == 0) return l;
        return std::string();
    };
    EXPECT_EQ(line_of(all, "puckman\t"), "puckman\tIncomplete");
    EXPECT_EQ(line_of(all, "pacman\t"), "pacman\tMissing");
    EXPECT_EQ(line_of(all, "pong\t"), "pong\tNeeds No ROMs");
    EXPECT_EQ(line_of(all, "vic10\t"), "vic10\tComplete"); // its only ROM has no dump
    EXPECT_GT(file_size(dir.file("ORVEL_Data/ORVEL.audit")), 0);

    const CliRun missing = run_cli("audit --only missing", dir.path());
    EXPECT_FALSE(missing.out.empty());
    for (const std::string& l : missing.out)
        EXPECT_NE(l.find("\tMissing"), std::string::npos) << l;

    const CliRun one = run_cli("audit puckman", dir.path());
    ASSERT_EQ(one.status, 0);
    EXPECT_EQ(line_of(one, "pm1-1.7f\t"), "pm1-1.7f\tgood\tpuckman\t" + roms + "puckman.zip");
    EXPECT_EQ(line_of(one, "pm1_prg1.6e\t").rfind("pm1_prg1.6e\tmissing\tpuckman", 0), 0u);

    EXPECT_EQ(run_cli("audit --deep", dir.path()).status, 2);
    EXPECT_EQ(run_cli("audit puckman --only complete", dir.path()).status, 2);
    EXPECT_EQ(run_cli("audit --only good", dir.path()).status, 2);
    EXPECT_EQ(run_cli("audit nosuchmachine", dir.path()).status, 1);
}
