#include "launch/launch.h"

#include "platform/files.h"
#include "platform/text.h"
#include "support/env_guard.h"
#include "support/lingering_helper.h"
#include "support/scripted_host.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace orvel {
namespace {

using test::ScriptedHost;
using test::TempDir;

using ScopedEnv = test::EnvGuard;

// Runs against the fake MAME, with its argument log and the temporary folder in a fresh folder.
class LaunchTest : public ::testing::Test {
  protected:
    TempDir dir;
    TempDir tmp;
    ScopedEnv log{"ORVEL_FAKE_LOG", dir.file("args.log")};
    ScopedEnv tmpdir{"TMPDIR", tmp.path()};
    ScopedEnv tmp_windows{"TMP", tmp.path()}; // Windows' temporary folder
    ScopedEnv runtime{"XDG_RUNTIME_DIR", ""};
    ScriptedHost host;
    // Where captured runs leave their files: the user's own folder in the temporary folder (on
    // Windows the temporary folder itself is the user's own).
    std::string own(const std::string& name) const {
#ifdef _WIN32
        return tmp.file(name);
#else
        return tmp.file("orvel-" + std::to_string(::getuid()) + "/" + name);
#endif
    }

    MameCommand fake(bool pause = false) const {
        return {ORVEL_FAKE_MAME, dir.path(), pause};
    }
    // A stand-in MAME written as a script, for output the fake does not print.
    MameCommand script(const std::string& body) const {
        const std::string path = dir.write("script-mame", "#!/bin/sh\n" + body);
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        return {path, dir.path(), false};
    }
    // The argument lists of every run, in order.
    std::vector<std::vector<std::string>> runs() const {
        std::vector<std::vector<std::string>> out(1);
        const std::string log_text = test::read_all(dir.file("args.log"));
        for (std::string_view line : split_lines(log_text)) {
            if (line == "--")
                out.emplace_back();
            else
                out.back().emplace_back(line);
        }
        out.pop_back();
        return out;
    }
    static Machine machine(const std::string& name, bool available) {
        Machine m;
        m.name = name;
        m.isavailable = available;
        m.commandlines.push_back(default_commandline());
        return m;
    }
    static SoftwareItem item(const std::string& name, bool available) {
        SoftwareItem i;
        i.name = name;
        i.list_name = "nes";
        i.available = available ? SoftwareAvailability::Available : SoftwareAvailability::Missing;
        i.parts = {"cart1"};
        return i;
    }
};

using Args = std::vector<std::string>;

TEST_F(LaunchTest, MainWindowRunsAskOnlyForAMissingRomset) {
    const Machine pacman = machine("pacman", true);
    EXPECT_EQ(launch_mame({}, &pacman, 0, fake(), host), LaunchOutcome::Ran);
    EXPECT_TRUE(host.prompts.empty());

    const Machine missing = machine("galaga", false);
    EXPECT_EQ(launch_mame({}, &missing, 0, fake(), host), LaunchOutcome::Cancelled);
    ASSERT_EQ(host.prompts.size(), 1u);
    EXPECT_EQ(host.messages()[0], "Romset Not Found!: Try Loading Anyway?");
    EXPECT_EQ(host.prompts[0].buttons, Buttons::YesNo);
    EXPECT_EQ(host.prompts[0].icon, Icon::Error);

    host.answers = {Answer::Yes};
    EXPECT_EQ(launch_mame({}, &missing, 0, fake(), host), LaunchOutcome::Ran);

    // "Run (Empty)" starts MAME without any argument but still asks about the romset.
    LaunchRequest empty;
    empty.empty_run = true;
    host.answers = {Answer::Yes};
    EXPECT_EQ(launch_mame(empty, &missing, 0, fake(), host), LaunchOutcome::Ran);
    EXPECT_EQ(host.prompts.size(), 3u);
    // With no current machine there is no romset to ask about; a machine run starts nothing.
    EXPECT_EQ(launch_mame(empty, nullptr, 0, fake(), host), LaunchOutcome::Ran);
    EXPECT_EQ(launch_mame({}, nullptr, 0, fake(), host), LaunchOutcome::NotStarted);
    EXPECT_EQ(host.prompts.size(), 3u);

    EXPECT_EQ(runs(), (std::vector<Args>{{"pacman"}, {"galaga"}, {}, {}}));
}

TEST_F(LaunchTest, SoftwareItemRunsAskAboutAMissingItem) {
    const Machine nes = machine("nes", true);
    const SoftwareItem smb = item("smb", false);
    LaunchRequest run;
    run.software = {true, &smb};
    EXPECT_EQ(launch_mame(run, &nes, 0, fake(), host), LaunchOutcome::Cancelled);
    EXPECT_EQ(host.messages(), std::vector<std::string>{"File Not Found!: Try Loading Anyway?"});
    host.answers = {Answer::Yes};
    EXPECT_EQ(launch_mame(run, &nes, 0, fake(), host), LaunchOutcome::Ran);

    // Available machine and item: nothing is asked.
    const SoftwareItem zelda = item("zelda", true);
    run.software.selected = &zelda;
    host.prompts.clear();
    EXPECT_EQ(launch_mame(run, &nes, 0, fake(), host), LaunchOutcome::Ran);
    EXPECT_TRUE(host.prompts.empty());

    // Both questions come in order; No to the first asks nothing more.
    const Machine missing_nes = machine("nes", false);
    run.software.selected = &smb;
    host.answers = {Answer::Yes, Answer::Yes};
    EXPECT_EQ(launch_mame(run, &missing_nes, 0, fake(), host), LaunchOutcome::Ran);
    host.answers = {Answer::No};
    EXPECT_EQ(launch_mame(run, &missing_nes, 0, fake(), host), LaunchOutcome::Cancelled);
    host.answers = {Answer::Yes, Answer::No};
    EXPECT_EQ(launch_mame(run, &missing_nes, 0, fake(), host), LaunchOutcome::Cancelled);
    EXPECT_EQ(host.messages(), (std::vector<std::string>{"Romset Not Found!: Try Loading Anyway?",
                                                         "File Not Found!: Try Loading Anyway?",
                                                         "Romset Not Found!: Try Loading Anyway?",
                                                         "Romset Not Found!: Try Loading Anyway?",
                                                         "File Not Found!: Try Loading Anyway?"}));

    const Args smb_run{"nes", "nes:smb"};
    EXPECT_EQ(runs(), (std::vector<Args>{smb_run, {"nes", "nes:zelda"}, smb_run}));
}

// Nothing read from a software list becomes an option or an argument of its own: the item
// reaches MAME as "LIST:ITEM", which MAME places in the right media slot whatever its parts are
// called, and names that are not plain are refused before MAME is started.
TEST_F(LaunchTest, SoftwareItemsReachMameAsOneArgument) {
    std::vector<SoftwareItem> items;
    ASSERT_TRUE(parse_software_list(
        "<softwarelist name=\"nes\">"
        "<software name=\"smb\"><part name=\"cart -nvram_directory /x\" "
        "interface=\"c\"/></software>"
        "<software name=\"tune\"><part name=\"001\"/><part name=\"002\"/></software>"
        "<software name=\"x -autoboot_script a.lua\"><part name=\"cart\"/></software>"
        "<software name=\"-nvram_directory\"><part name=\"cart\"/></software>"
        "<software name=\"../../x\"><part name=\"cart\"/></software>"
        "<software name=\"a&#10;b\"><part name=\"cart\"/></software>"
        "</softwarelist>",
        "nes", items));
    ASSERT_EQ(items.size(), 6u);
    const Machine nes = machine("nes", true);
    LaunchRequest run;
    for (SoftwareItem& item : items) {
        item.available = SoftwareAvailability::Available;
        run.software = {true, &item};
        const bool plain = item.name == "smb" || item.name == "tune";
        EXPECT_EQ(launch_mame(run, &nes, 0, fake(), host),
                  plain ? LaunchOutcome::Ran : LaunchOutcome::Refused)
            << item.name;
    }
    SoftwareItem other_list = items[0];
    other_list.list_name = "nes -flop1";
    run.software = {true, &other_list};
    EXPECT_EQ(launch_mame(run, &nes, 0, fake(), host), LaunchOutcome::Refused);
    // A hand-edited database's machine name is refused the same way.
    const Machine spaced = machine("nes -autoboot_script a.lua", true);
    run.software = {};
    EXPECT_EQ(launch_mame(run, &spaced, 0, fake(), host), LaunchOutcome::Refused);

    EXPECT_EQ(runs(), (std::vector<Args>{{"nes", "nes:smb"}, {"nes", "nes:tune"}}));
    ASSERT_EQ(host.messages().size(), 6u);
    EXPECT_EQ(host.messages()[0],
              "Error: The software name \"x -autoboot_script a.lua\" is not a "
              "plain MAME short name (letters, digits, \"_\", \"-\", \".\" and \"+\", not "
              "starting with \"-\" or \".\"), so it is not passed to MAME.");
    EXPECT_EQ(host.messages()[5].rfind("Error: The machine name \"nes -autoboot_script", 0), 0u);
}

TEST_F(LaunchTest, StartEmptyAndOwnImagesIgnoreTheSelectedItem) {
    const Machine nes = machine("nes", true);
    const SoftwareItem smb = item("smb", false);
    LaunchRequest start_empty;
    start_empty.machine_only = true;
    start_empty.software = {true, &smb};
    EXPECT_EQ(launch_mame(start_empty, &nes, 0, fake(), host), LaunchOutcome::Ran);
    start_empty.software.selected = nullptr; // an empty list
    EXPECT_EQ(launch_mame(start_empty, &nes, 0, fake(), host), LaunchOutcome::Ran);

    LaunchRequest own_image;
    own_image.media_switch = "flop1";
    own_image.media_file = "/home/me/My Disks/side 'A'.dsk";
    own_image.software = {true, &smb};
    EXPECT_EQ(launch_mame(own_image, &nes, 0, fake(), host), LaunchOutcome::Ran);
    EXPECT_TRUE(host.prompts.empty());

    // A double quote could not be written in the argument string: refused, MAME not started.
    own_image.media_file = "/home/me/My Disks/side \"A\".dsk";
    EXPECT_EQ(launch_mame(own_image, &nes, 0, fake(), host), LaunchOutcome::Refused);
    EXPECT_EQ(host.messages(),
              std::vector<std::string>{"Error: The file name \"/home/me/My Disks/side \"A\".dsk\" "
                                       "holds a double quote, which cannot be passed to MAME. "
                                       "Rename the file."});

    EXPECT_EQ(runs(), (std::vector<Args>{
                          {"nes"}, {"nes"}, {"nes", "-flop1", "/home/me/My Disks/side 'A'.dsk"}}));
}

TEST_F(LaunchTest, StoredCommandLineAndPauseOnExit) {
    Machine m = machine("sf2", true);
    m.bios_sets = {{"b1", ""}};
    m.commandlines.push_back({"Mine", "-window -resolution \"640x480\"", 0});
    EXPECT_EQ(launch_mame({}, &m, 1, fake(true), host), LaunchOutcome::Ran);
    EXPECT_EQ(runs(),
              (std::vector<Args>{{"sf2", "-bios", "b1", "-window", "-resolution", "640x480"}}));
    // The console shows both streams as they arrive, then the prompt, then closes.
    ASSERT_GE(host.console.size(), 4u);
    EXPECT_EQ(host.console.front(), "open:MAME Output");
    EXPECT_EQ(host.console[host.console.size() - 2], "key:Press A Key To Exit");
    EXPECT_EQ(host.console.back(), "close");
    const std::vector<std::string> lines(host.console.begin() + 1, host.console.end() - 2);
    EXPECT_EQ(lines.size(), 4u);
    for (const char* expected : {"fake mame: starting", "fake mame: warning line",
                                 "fake mame: running sf2", "fake mame: done"})
        EXPECT_NE(std::find(lines.begin(), lines.end(), expected), lines.end()) << expected;
    // The fake's stdout lines keep their order.
    EXPECT_LT(std::find(lines.begin(), lines.end(), "fake mame: starting"),
              std::find(lines.begin(), lines.end(), "fake mame: done"));

    host.console.clear();
    EXPECT_EQ(launch_mame({}, &m, 0, fake(false), host), LaunchOutcome::Ran);
    EXPECT_EQ(host.console.back(), "close");
    EXPECT_EQ(std::count_if(host.console.begin(), host.console.end(),
                            [](const std::string& s) { return s.rfind("key:", 0) == 0; }),
              0);
}

#ifndef _WIN32 // stand-in MAMEs written as shell scripts
TEST_F(LaunchTest, AFailedRunWaitsForAKeyEvenWithoutThePause) {
    const auto waited = [this] {
        return std::count(host.console.begin(), host.console.end(), "key:Press A Key To Exit");
    };
    for (const auto& [body, expected] :
         {std::pair{"echo ok; exit 0", 0}, std::pair{"echo missing files; exit 2", 1},
          std::pair{"kill -9 $$", 1}}) {
        SCOPED_TRACE(body);
        host.console.clear();
        EXPECT_TRUE(run_mame_in_console(script(body), "pacman", host));
        EXPECT_EQ(waited(), expected);
        EXPECT_EQ(host.console.back(), "close");
        host.console.clear();
        EXPECT_TRUE(run_mame_captured(script(body), "pacman", host, {}, false).started);
        EXPECT_EQ(waited(), expected);
    }
}
#endif

TEST_F(LaunchTest, AMameThatCannotStartShowsAnEmptyConsole) {
    const MameCommand missing{dir.file("no-such-mame"), dir.path(), true};
    const Machine pacman = machine("pacman", true);
    EXPECT_EQ(launch_mame({}, &pacman, 0, missing, host), LaunchOutcome::NotStarted);
    EXPECT_EQ(host.console,
              (std::vector<std::string>{"open:MAME Output", "key:Press A Key To Exit", "close"}));

    std::vector<std::string> opened;
    const CapturedRun run =
        run_mame_captured(MameCommand{dir.file("no-such-mame"), dir.path(), false}, " pacman ",
                          host, [&](const std::string& path) {
                              opened.push_back(path);
                              return true;
                          });
    EXPECT_FALSE(run.started);
    EXPECT_TRUE(run.written);
    EXPECT_EQ(test::read_all(own("output.txt")), "");
    EXPECT_EQ(test::read_all(own("error.txt")), "");
    EXPECT_EQ(opened, (std::vector<std::string>{own("output.txt"), own("error.txt")}));
}

#ifndef _WIN32 // stand-in MAMEs written as shell scripts
TEST_F(LaunchTest, CapturedRunPairsOneErrorLineWithEachOutputLine) {
    std::vector<std::string> opened;
    const auto opener = [&](const std::string& path) {
        opened.push_back(path);
        return true;
    };
    CapturedRun run =
        run_mame_captured(script("printf 'one\\ntwo\\nthree\\n'\n"), " x ", host, opener);
    EXPECT_TRUE(run.started);
    EXPECT_EQ(test::read_all(own("output.txt")), "one\r\ntwo\r\nthree\r\n");
    EXPECT_EQ(test::read_all(own("error.txt")), "\r\n\r\n\r\n");
    EXPECT_EQ(opened, (std::vector<std::string>{own("output.txt"), own("error.txt")}));
    EXPECT_EQ(host.console, (std::vector<std::string>{"open:MAME Output", "close"}));

    // An error line waiting when an output line is read goes with it; error lines nobody
    // paired are kept at the end rather than lost. Latin-1 output is stored as UTF-8.
    run = run_mame_captured(script("echo 'bad rom' >&2; sleep 0.2; echo first; sleep 0.2;"
                                   " echo second; printf 'caf\\351\\n'; sleep 0.2;"
                                   " echo 'late 1' >&2; echo 'late 2' >&2\n"),
                            "", host, opener);
    EXPECT_EQ(test::read_all(own("output.txt")), "first\r\nsecond\r\ncaf\xC3\xA9\r\n");
    EXPECT_EQ(test::read_all(own("error.txt")), "bad rom\r\n\r\n\r\nlate 1\r\nlate 2\r\n");
}
#endif

#ifndef _WIN32 // stand-in MAMEs written as shell scripts
TEST_F(LaunchTest, CapturedOutputIsWrittenAsItCameHoweverLongItsLines) {
    // Lines far longer than the run holds at once (one without any line end), of characters
    // that a careless cut would break, beside short ones.
    std::string wide;
    for (int i = 0; i < 600000; ++i)
        wide += "\xC3\xA9\xE6\x97\xA5"; // 3 MB
    const std::string out_text = "short\r\n" + wide + "\r\n\r\nend\r\n";
    const std::string err_text = wide + "x";
    dir.write("out.txt", out_text);
    dir.write("err.txt", err_text);
    const auto opener = [](const std::string&) { return true; };
    // (Compared with == so that a failure does not print megabytes.)
    ASSERT_TRUE(run_mame_captured(script("cat out.txt\n"), "", host, opener).written);
    EXPECT_TRUE(test::read_all(own("output.txt")) == out_text);
    EXPECT_EQ(test::read_all(own("error.txt")), "\r\n\r\n\r\n\r\n");
    ASSERT_TRUE(run_mame_captured(script("cat err.txt >&2\n"), "", host, opener).written);
    EXPECT_EQ(test::read_all(own("output.txt")), "");
    EXPECT_TRUE(test::read_all(own("error.txt")) == err_text + "\r\n");
}
#endif

TEST_F(LaunchTest, FloodingStandardErrorNeverHangsAndIsKept) {
    ScopedEnv flood("ORVEL_FAKE_STDERR_FLOOD", std::to_string(2 << 20)); // 2 MB, 2048 lines
    const auto begin = std::chrono::steady_clock::now();
    const CapturedRun run =
        run_mame_captured(fake(), " pacman ", host, [](const std::string&) { return true; });
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(20));
    EXPECT_TRUE(run.started);
    EXPECT_EQ(split_lines(test::read_all(own("output.txt"))).size(), 3u);
    EXPECT_EQ(split_lines(test::read_all(own("error.txt"))).size(), 2048u + 1u);

    host.console.clear();
    EXPECT_TRUE(run_mame_in_console(fake(), " pacman ", host));
    EXPECT_EQ(host.console.size(), 2u + 2048u + 4u);
}

TEST_F(LaunchTest, RunsEndWithMameAndGiveItsExitStatus) {
    test::LingeringHelpers helpers(dir);
    ScopedEnv failing("ORVEL_FAKE_EXIT", "3");
    const auto begin = std::chrono::steady_clock::now();
    int status = -1;
    EXPECT_TRUE(run_mame_in_console(fake(), " pacman ", host, &status));
    EXPECT_EQ(status, 3);
    const CapturedRun run =
        run_mame_captured(fake(), " pacman ", host, [](const std::string&) { return true; });
    EXPECT_EQ(run.exit_status, 3);
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(15));
    EXPECT_EQ(helpers.alive(), 2);
    EXPECT_EQ(
        test::read_all(run.output_path)
            .rfind("fake mame: starting\r\nfake mame: running pacman\r\nfake mame: done\r\n", 0),
        0u);
}

#ifndef _WIN32 // POSIX links and modes
TEST_F(LaunchTest, CapturedOutputIsPrivateAndFollowsNoLink) {
    const auto opener = [](const std::string&) { return true; };
    // Links planted by someone else: in the shared temporary folder and in the user's own.
    const std::string victim = dir.write("victim.txt", "precious");
    std::filesystem::create_symlink(victim, tmp.file("output.txt"));
    CapturedRun run = run_mame_captured(fake(), " pacman ", host, opener);
    ASSERT_TRUE(run.written);
    EXPECT_EQ(run.output_path, own("output.txt"));
    struct stat st {};
    ASSERT_EQ(::stat(own("").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    std::filesystem::remove(own("error.txt"));
    std::filesystem::create_symlink(victim, own("error.txt"));
    run = run_mame_captured(fake(), " pacman ", host, opener);
    EXPECT_TRUE(run.written);
    EXPECT_FALSE(std::filesystem::is_symlink(own("error.txt")));
    EXPECT_EQ(test::read_all(victim), "precious");
    EXPECT_TRUE(host.messages().empty());

    // The user's folder replaced by a link: nothing is written there, and the user is told.
    std::filesystem::remove_all(own(""));
    std::filesystem::create_directory_symlink(dir.path(),
                                              tmp.file("orvel-" + std::to_string(::getuid())));
    std::vector<std::string> opened;
    run = run_mame_captured(fake(), " pacman ", host, [&](const std::string& path) {
        opened.push_back(path);
        return true;
    });
    EXPECT_FALSE(run.written);
    EXPECT_TRUE(opened.empty());
    EXPECT_FALSE(file_exists(dir.file("output.txt")));
    ASSERT_EQ(host.messages().size(), 1u);
    EXPECT_EQ(host.messages()[0].rfind("Error: MAME's output could not be written", 0), 0u);
}
#endif

} // namespace
} // namespace orvel
