// orvel-cli build, scan and record against Debian's MAME (HOME points at a temporary folder).
// The full listing takes about a minute, so this test builds once.

#include "cli/cli_run.h"
#include "platform/files.h"
#include "support/env_guard.h"
#include "support/scripted_host.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace orvel;
using namespace orvel::test;

namespace {

CliRun run_long(const std::string& arguments, const std::string& folder) {
    CliRun run;
    const RunResult r = run_captured(
        ORVEL_CLI, arguments, folder, [&](std::string_view l) { run.out.emplace_back(l); },
        [&](std::string_view l) { run.err.emplace_back(l); }, {}, 900000);
    run.status = r.started && !r.timed_out ? r.exit_code : -1;
    return run;
}

} // namespace

TEST(CliDatabaseWithRealMame, BuildScanRecord) {
    const std::string real = "/usr/games/mame";
    if (file_size(real) < 0)
        GTEST_SKIP() << "MAME is not installed at /usr/games/mame (apt-get install mame)";
    TempDir dir;
    EnvGuard home("HOME", dir.file("home"));
    ASSERT_TRUE(create_folder(dir.file("home")));
    ASSERT_EQ(run_cli("--data data init --mame " + real, dir.path()).status, 0);

    const CliRun build = run_long("--data data build", dir.path());
    ASSERT_EQ(build.status, 0) << (build.err.empty() ? "" : build.err.back());
    ASSERT_FALSE(build.out.empty());
    const std::string machines = build.out.back();
    ASSERT_EQ(machines.rfind("Machines: ", 0), 0u) << machines;
    EXPECT_GT(std::atol(machines.c_str() + 10), 40000) << machines; // 45,294 in MAME 0.251
    EXPECT_FALSE(file_exists(dir.file("home/.mame/orvel.tmp")));

    // Debian's rompath lies below $HOME: one romset there makes its machine available.
    dir.write("home/mame/roms/pacman.zip", "x");
    const CliRun scan = run_long("--data data scan", dir.path());
    ASSERT_EQ(scan.status, 0) << (scan.err.empty() ? "" : scan.err.back());
    ASSERT_EQ(scan.out.size(), 1u);
    EXPECT_EQ(scan.out[0].rfind("Available: ", 0), 0u) << scan.out[0];
    EXPECT_NE(scan.out[0].find(" of " + machines.substr(10)), std::string::npos) << scan.out[0];

    const CliRun record = run_cli("--data data record pacman", dir.path());
    ASSERT_EQ(record.status, 0);
    ASSERT_GE(record.out.size(), 23u);
    EXPECT_EQ(record.out[0], "[pacman]");
    EXPECT_EQ(record.out[1], "description = Pac-Man (Midway)");
    EXPECT_EQ(record.out[14], "isavailable = yes");
    EXPECT_EQ(record.out[20], "commandline_name = Default");
}
