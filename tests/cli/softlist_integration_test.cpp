// orvel-cli softlist against Debian's MAME configuration and its software list files. HOME
// points at a temporary folder, so the real home is never touched.

#include "cli/cli_run.h"
#include "platform/files.h"
#include "platform/text.h"
#include "support/env_guard.h"
#include "support/scripted_host.h"

#include <gtest/gtest.h>

using namespace orvel;
using namespace orvel::test;

TEST(SoftlistWithRealMame, ReadsDebiansHashFiles) {
    const std::string real = "/usr/games/mame";
    if (file_size(real) < 0)
        GTEST_SKIP() << "MAME is not installed at /usr/games/mame (apt-get install mame)";
    const std::string hash = "/usr/share/games/mame/hash/";
    if (file_size(hash + "nes.xml") < 0)
        GTEST_SKIP() << "Debian's software lists are missing (" << hash << ")";
    TempDir dir;
    EnvGuard home("HOME", dir.file("home"));
    ASSERT_TRUE(create_folder(dir.file("home")));
    const CliRun init = run_cli("--data data init --mame " + real, dir.path());
    ASSERT_EQ(init.status, 0) << (init.err.empty() ? "" : init.err[0]);

    // Debian's first romset folder is $HOME/mame/roms.
    dir.write("home/mame/roms/nes/Mario/SMB.7Z", "x");
    const CliRun r = run_cli("--data data softlist nes", dir.path());
    ASSERT_EQ(r.status, 0) << (r.err.empty() ? "" : r.err[0]);
    ASSERT_GT(r.out.size(), 1000u);
    EXPECT_EQ(r.out.back(), "Software List (" + std::to_string(r.out.size() - 1) + " Titles)");
    int available = 0;
    for (std::size_t i = 0; i + 1 < r.out.size(); ++i) {
        const std::vector<std::string> fields = split(r.out[i], '\t');
        ASSERT_EQ(fields.size(), 6u) << r.out[i];
        if (fields[0] == "yes") {
            ++available;
            EXPECT_EQ(fields[1], "smb");
            EXPECT_EQ(fields[2], "cart1");
            EXPECT_EQ(fields[4], "Nintendo");
        } else {
            EXPECT_EQ(fields[0], "no");
        }
        if (i > 0) {
            EXPECT_LE(icompare(split(r.out[i - 1], '\t')[5], fields[5]), 0) << r.out[i];
        }
    }
    EXPECT_EQ(available, 1);

    const CliRun a = run_cli("--data data softlist nes --filter available", dir.path());
    EXPECT_EQ(a.out.size(), 2u);
    EXPECT_EQ(a.out.back(), r.out.back());
}
