#include "platform/files.h"
#include "platform/process.h"
#include "support/env_guard.h"
#include "support/lingering_helper.h"
#include "support/scripted_host.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace orvel;
using namespace orvel::test;

TEST(Process, SplitArgumentsKeepsQuotedBlanksAndEmptyQuotes) {
    EXPECT_EQ(split_arguments(" pacman -bios  \"my bios\" \"\" x\"y z\""),
              (std::vector<std::string>{"pacman", "-bios", "my bios", "", "xy z"}));
    EXPECT_TRUE(split_arguments("   ").empty());
}

TEST(Process, ExitCodeAndMissingProgram) {
    const RunResult r = run_and_wait("/bin/sh", "-c \"exit 3\"", "");
    EXPECT_TRUE(r.started);
    EXPECT_EQ(r.exit_code, 3);
    EXPECT_FALSE(run_and_wait("/no/such/program", "", "").started);
    TempDir dir;
    EXPECT_FALSE(run_and_wait("/bin/sh", "-c true", dir.file("missing folder")).started);
}

TEST(Process, WorkingFolderWithSpacesAndRedirection) {
    TempDir dir;
    const std::string folder = dir.file("work dir é") + "/";
    ASSERT_TRUE(create_folder(folder));
    const RunResult r = run_and_wait("/bin/sh", "-c \"pwd > here.txt\"", folder);
    ASSERT_TRUE(r.started);
    EXPECT_EQ(read_all(folder + "here.txt"), folder.substr(0, folder.size() - 1) + "\n");

    const std::string out = folder + "out put.txt";
    const RunResult red =
        run_redirected("/bin/sh", "-c \"echo one; echo two >&2; echo three\"", folder, out);
    EXPECT_EQ(red.exit_code, 0);
    EXPECT_EQ(read_all(out), "one\nthree\n");
}

TEST(Process, ArgumentsReachTheProgramExactly) {
    TempDir dir;
    EnvGuard log("ORVEL_FAKE_LOG", dir.file("args.log"));
    const RunResult r =
        run_and_wait(ORVEL_FAKE_MAME, "pacman -cart \"C:\\my games\\x 'y'.bin\" -bios \"\"", "");
    ASSERT_TRUE(r.started);
    EXPECT_EQ(read_all(dir.file("args.log")),
              "pacman\n-cart\nC:\\my games\\x 'y'.bin\n-bios\n\n--\n");
}

TEST(Process, CapturedRunDrainsAFloodingErrorStream) {
    // 8 MB on standard error and one line on standard output: a runner that reads only one
    // pipe at a time would block the child forever.
    EnvGuard flood("ORVEL_FAKE_STDERR_FLOOD", "8000000");
    std::vector<std::string> out;
    size_t err_bytes = 0;
    const auto start = std::chrono::steady_clock::now();
    const RunResult r = run_captured(
        ORVEL_FAKE_MAME, "-version", "", [&](std::string_view l) { out.emplace_back(l); },
        [&](std::string_view l) { err_bytes += l.size() + 1; }, {}, 60000);
    EXPECT_TRUE(r.started);
    EXPECT_FALSE(r.timed_out);
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(out, (std::vector<std::string>{"0.251 (fake)"}));
    EXPECT_GE(err_bytes, 8000000u);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(50));
}

TEST(Process, TimeoutsEndAHangingChild) {
    EnvGuard hang("ORVEL_FAKE_HANG", "1");
    auto start = std::chrono::steady_clock::now();
    const RunResult waited = run_and_wait(ORVEL_FAKE_MAME, "-cc", "", 300);
    EXPECT_TRUE(waited.started);
    EXPECT_TRUE(waited.timed_out);
    const RunResult captured = run_captured(ORVEL_FAKE_MAME, "-version", "", {}, {}, {}, 300);
    EXPECT_TRUE(captured.timed_out);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST(Process, CapturedLinesLoseTheirLineEnds) {
    std::vector<std::string> out, err;
    run_captured(
        "/bin/sh", "-c \"printf 'a\\r\\nb\\n'; printf 'x' >&2; printf 'tail'\"", "",
        [&](std::string_view l) { out.emplace_back(l); },
        [&](std::string_view l) { err.emplace_back(l); });
    EXPECT_EQ(out, (std::vector<std::string>{"a", "b", "tail"}));
    EXPECT_EQ(err, (std::vector<std::string>{"x"}));
}

TEST(Process, ARunEndsWithTheProgramNotWithAHelperHoldingItsPipes) {
    TempDir dir;
    LingeringHelpers helpers(dir);
    std::vector<std::string> out;
    const auto start = std::chrono::steady_clock::now();
    const RunResult r = run_captured(
        ORVEL_FAKE_MAME, "-version", "", [&](std::string_view l) { out.emplace_back(l); }, {}, {},
        30000);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_FALSE(r.timed_out);
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(out, (std::vector<std::string>{"0.251 (fake)"}));
    EXPECT_EQ(helpers.alive(), 1); // it really outlived the run
}

TEST(Process, TimeLimitsAreNamedInSeconds) {
    const std::pair<int, const char*> cases[] = {
        {20000, "20 seconds"}, {1000, "1 second"}, {300, "0.3 seconds"}, {1250, "1.25 seconds"}};
    for (const auto& [ms, text] : cases)
        EXPECT_EQ(seconds_text(ms), text);
}
