#include "platform/files.h"
#include "platform/process.h"
#include "platform/text.h"
#include "support/env_guard.h"
#include "support/lingering_helper.h"
#include "support/scripted_host.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

using namespace orvel;
using namespace orvel::test;
using namespace std::chrono_literals;

TEST(Process, SplitArgumentsKeepsQuotedBlanksAndEmptyQuotes) {
    EXPECT_EQ(split_arguments(" pacman -bios  \"my bios\" \"\" x\"y z\""),
              (std::vector<std::string>{"pacman", "-bios", "my bios", "", "xy z"}));
    EXPECT_TRUE(split_arguments("   ").empty());
}

TEST(Process, ExitCodeAndMissingProgram) {
    {
        EnvGuard status("ORVEL_FAKE_EXIT", "3");
        const RunResult r = run_and_wait(ORVEL_FAKE_MAME, "pacman", "");
        EXPECT_TRUE(r.started);
        EXPECT_EQ(r.exit_code, 3);
    }
    EXPECT_FALSE(run_and_wait("/no/such/program", "", "").started);
    TempDir dir;
    EXPECT_FALSE(run_and_wait(ORVEL_FAKE_MAME, "pacman", dir.file("missing folder")).started);
    EXPECT_FALSE(run_and_wait(dir.path(), "", "").started); // a folder is no program
}

#ifndef _WIN32
TEST(Process, WorkingFolderWithSpacesAndRedirectionThroughAShell) {
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

TEST(Process, AStartThatFailsHalfWayLeavesNoDescriptorOpen) {
    const auto open_descriptors = [] {
        return std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                             std::filesystem::directory_iterator());
    };
    TempDir dir;
    ChildProcess::Options options;
    options.capture_output = true;                          // two pipes made first,
    options.stdout_file = dir.file("no folder/output.txt"); // then this cannot be opened
    const auto before = open_descriptors();
    for (int i = 0; i < 3; ++i) {
        ChildProcess child;
        EXPECT_FALSE(child.start(ORVEL_FAKE_MAME, {"pacman"}, options));
    }
    EXPECT_EQ(open_descriptors(), before);
}
#endif

TEST(Process, WorkingFolderAndRedirectionWithSpacesAndLettersBeyondAscii) {
    TempDir dir;
    const std::string folder = dir.file("wörk dir 日本");
    ASSERT_TRUE(create_folder(folder));
    // -cc writes its files into the folder it works in.
    EXPECT_EQ(run_and_wait(ORVEL_FAKE_MAME, "-cc", folder).exit_code, 0);
    EXPECT_TRUE(file_exists(join_path(folder, "mame.ini")));

    const std::string out = join_path(folder, "out put ü.txt");
    const RunResult red = run_redirected(ORVEL_FAKE_MAME, "pacman", folder, out);
    EXPECT_EQ(red.exit_code, 0);
    // Standard output only, byte for byte.
    EXPECT_EQ(read_all(out), "fake mame: starting\nfake mame: running pacman\nfake mame: done\n");
}

TEST(Process, ArgumentsWithQuotesBackslashesAndBlanksReachTheProgramExactly) {
    TempDir dir;
    EnvGuard log("ORVEL_FAKE_LOG", dir.file("args é.log"));
    const std::vector<std::string> args = {"C:\\my dir\\", "C:\\plain\\",     "say \"hi\"",
                                           "a\\\"b",       "\\\\server\\x y", "",
                                           "tab\there",    "é ü 日本",        "-cart"};
    ChildProcess child;
    ASSERT_TRUE(child.start(ORVEL_FAKE_MAME, args, {}));
    EXPECT_EQ(child.wait(30000).value_or(-1), 0);
    std::string expected;
    for (const std::string& a : args)
        expected += a + "\n";
    EXPECT_EQ(read_all(dir.file("args é.log")), expected + "--\n");
}

TEST(Process, WindowsCommandLineQuoting) {
    const std::pair<const char*, const char*> cases[] = {
        {"pacman", "pacman"},
        {"", "\"\""},
        {"my games", "\"my games\""},
        {"C:\\roms\\", "C:\\roms\\"},             // backslashes alone stay as they are
        {"C:\\my roms\\", "\"C:\\my roms\\\\\""}, // doubled before the closing quote
        {"say \"hi\"", "\"say \\\"hi\\\"\""},     // quotes escaped
        {"a\\\"b", "\"a\\\\\\\"b\""},             // backslashes before a quote doubled
    };
    for (const auto& [arg, quoted] : cases)
        EXPECT_EQ(quote_windows_argument(arg), quoted) << arg;
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

#ifndef _WIN32
TEST(Process, CapturedLinesLoseTheirLineEnds) {
    std::vector<std::string> out, err;
    run_captured(
        "/bin/sh", "-c \"printf 'a\\r\\nb\\n'; printf 'x' >&2; printf 'tail'\"", "",
        [&](std::string_view l) { out.emplace_back(l); },
        [&](std::string_view l) { err.emplace_back(l); });
    EXPECT_EQ(out, (std::vector<std::string>{"a", "b", "tail"}));
    EXPECT_EQ(err, (std::vector<std::string>{"x"}));
}
#endif

TEST(Process, LineSplitterCutsOnlyOverlongLinesAndNeverInsideACharacter) {
    // Lines of every kind, fed whole and in small pieces: the same lines come out. Pieces of an
    // overlong line are whole UTF-8 and never split CR LF.
    std::string long_line;
    for (int i = 0; i < 40; ++i)
        long_line += "\xC3\xA9\xE6\x97\xA5\r";
    const std::string text = "a\r\n\nb\n" + long_line + "\r\n" + long_line + "z";
    const std::vector<std::string> expected{"a", "", "b", long_line, long_line + "z"};
    for (const size_t step : {size_t(1), size_t(3), size_t(7), text.size()}) {
        SCOPED_TRACE(step);
        LineSplitter lines(16);
        std::vector<std::string> got(1);
        size_t pieces = 0;
        const LineSplitter::Sink sink = [&](std::string_view piece, bool line_end) {
            ++pieces;
            EXPECT_TRUE(is_valid_utf8(piece));
            EXPECT_LE(piece.size(), 16 + step);
            got.back() += piece;
            if (line_end) got.emplace_back();
        };
        for (size_t at = 0; at < text.size(); at += step)
            lines.feed(std::string_view(text).substr(at, step), sink);
        lines.finish(sink);
        got.pop_back();
        EXPECT_EQ(got, expected);
        EXPECT_GT(pieces, expected.size()); // the long lines came in pieces
    }
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

TEST(Process, StopEndsTheChildAndEverythingItStarted) {
    TempDir dir;
    LingeringHelpers helpers(dir);
    EnvGuard hang("ORVEL_FAKE_HANG", "1");
    ChildProcess child;
    ChildProcess::Options options;
    options.capture_output = true;
    options.own_group = true;
    ASSERT_TRUE(child.start(ORVEL_FAKE_MAME, {"galaga"}, options));
    const auto start = std::chrono::steady_clock::now();
    while (helpers.pids().empty() && std::chrono::steady_clock::now() - start < 10s)
        std::this_thread::sleep_for(10ms);
    ASSERT_EQ(helpers.alive(), 1);
    child.stop();
    EXPECT_FALSE(child.running());
    // The helper goes with the group (a moment later, once the signal is delivered).
    while (helpers.alive() > 0 && std::chrono::steady_clock::now() - start < 10s)
        std::this_thread::sleep_for(10ms);
    EXPECT_EQ(helpers.alive(), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
}

TEST(Process, TimeLimitsAreNamedInSeconds) {
    const std::pair<int, const char*> cases[] = {
        {20000, "20 seconds"}, {1000, "1 second"}, {300, "0.3 seconds"}, {1250, "1.25 seconds"}};
    for (const auto& [ms, text] : cases)
        EXPECT_EQ(seconds_text(ms), text);
}
