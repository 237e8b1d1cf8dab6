// orvel-cli against Debian's MAME (a system-wide install whose MAME folder is $HOME/.mame/).
// HOME points at a temporary folder, so the real home is never touched.

#include "cli/cli_run.h"
#include "platform/files.h"
#include "support/env_guard.h"
#include "support/scripted_host.h"

#include <gtest/gtest.h>

using namespace orvel;
using namespace orvel::test;

TEST(CliWithRealMame, InitSettingsConfig) {
    const std::string real = "/usr/games/mame";
    if (file_size(real) < 0)
        GTEST_SKIP() << "MAME is not installed at /usr/games/mame (apt-get install mame)";
    TempDir dir;
    EnvGuard home("HOME", dir.file("home"));
    ASSERT_TRUE(create_folder(dir.file("home")));

    const CliRun init = run_cli("--data \"data dir\" init --mame " + real, dir.path());
    ASSERT_EQ(init.status, 0) << (init.err.empty() ? "" : init.err[0]);
    const std::string mame_folder = dir.file("home/.mame/");
    // MAME's own configuration is left alone: with Debian's /etc/mame/mame.ini nothing is
    // written; without one, MAME writes its defaults ("-cc") in the per-user folder.
    if (file_size("/etc/mame/mame.ini") > 0)
        EXPECT_EQ(file_size(mame_folder + "mame.ini"), -1);
    else
        EXPECT_GT(file_size(mame_folder + "mame.ini"), 0);

    const CliRun s = run_cli("--data \"data dir\" settings", dir.path());
    ASSERT_EQ(s.status, 0);
    EXPECT_EQ(s.value("MAME_Exe"), real);
    EXPECT_EQ(s.value("MAME_Path"), mame_folder);
    EXPECT_EQ(s.value("MAME_Size"), std::to_string(file_size(real)));
    const std::string version = s.value("MAME_Version");
    EXPECT_EQ(version.rfind("0.", 0), 0u) << version;
    EXPECT_EQ(version.find(' '), std::string::npos) << version;

    const CliRun c = run_cli("--data \"data dir\" config", dir.path());
    ASSERT_EQ(c.status, 0);
    ASSERT_EQ(c.out.size(), 41u);
    // Debian configures the romsets below $HOME; resolution expands it to the test's home.
    const std::string rompath = c.value("rompath");
    EXPECT_NE(rompath.find("$HOME/mame/roms"), std::string::npos) << rompath;
    EXPECT_NE(rompath.find("\t" + dir.file("home/mame/roms/")), std::string::npos) << rompath;
    EXPECT_NE(c.value("hashpath"), "<none>");
}
