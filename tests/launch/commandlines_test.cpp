// Stored command lines, the ini file names MAME reads for a machine and the Create Ini workflow.

#include "launch/commandlines.h"
#include "launch/ini_files.h"
#include "platform/files.h"
#include "support/scripted_host.h"

#include <gtest/gtest.h>

#include <csignal>
#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace orvel {
namespace {

using test::ScriptedHost;
using test::TempDir;

Machine with_lines(std::initializer_list<const char*> names) {
    Machine m;
    m.name = "mslug";
    for (const char* name : names)
        m.commandlines.push_back({name, std::string("-opt ") + name, -1});
    m.bios_sets = {{"euro", "Europe MVS"}, {"us", "US MVS"}};
    return m;
}

std::vector<std::string> names_of(const Machine& m) {
    std::vector<std::string> out;
    for (const CommandLine& line : m.commandlines)
        out.push_back(line.commandline_name);
    return out;
}

TEST(CommandLines, AddInsertsAfterTheChosenLineAndRefusesAnEmptyName) {
    struct Case {
        std::int64_t after;
        std::int64_t position;
        std::vector<std::string> order;
    };
    for (const Case& c :
         {Case{1, 2, {"a", "b", "new", "c"}}, Case{2, 3, {"a", "b", "c", "new"}},
          Case{9, 3, {"a", "b", "c", "new"}}, Case{-1, 0, {"new", "a", "b", "c"}}}) {
        Machine m = with_lines({"a", "b", "c"});
        EXPECT_EQ(add_commandline(m, c.after, "new"), c.position);
        EXPECT_EQ(names_of(m), c.order);
        const CommandLine& added = m.commandlines[static_cast<std::size_t>(c.position)];
        EXPECT_EQ(added.commandline_string, "");
        EXPECT_EQ(added.commandline_bios, -1);
    }
    Machine m = with_lines({"a"});
    EXPECT_FALSE(add_commandline(m, 0, ""));
    EXPECT_EQ(m.commandlines.size(), 1u);
}

TEST(CommandLines, RemoveSelectsTheOneBeforeAndKeepsTheLast) {
    Machine m = with_lines({"a", "b", "c"});
    Result<std::int64_t> r = remove_commandline(m, 1);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(*r, 0);
    EXPECT_EQ(names_of(m), (std::vector<std::string>{"a", "c"}));
    r = remove_commandline(m, 0); // the first of two: the former second is shown
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(*r, 0);
    EXPECT_EQ(names_of(m), (std::vector<std::string>{"c"}));
    r = remove_commandline(m, 0);
    EXPECT_TRUE(r.is(FailureKind::Refused));
    EXPECT_EQ(r.message(), last_commandline_text);
    EXPECT_TRUE(remove_commandline(m, 5).is(FailureKind::Missing));
    EXPECT_EQ(names_of(m), (std::vector<std::string>{"c"}));
}

TEST(CommandLines, BiosChoiceStringAndPreview) {
    Machine m = with_lines({"a", "b"});
    EXPECT_TRUE(set_commandline_bios(m, 1, 1));
    EXPECT_EQ(m.commandlines[1].commandline_bios, 1);
    EXPECT_EQ(bios_argument_text(m, 1), "-bios us ");
    EXPECT_EQ(bios_argument_text(m, 0), "");
    EXPECT_FALSE(set_commandline_bios(m, 1, 2)); // no third BIOS set
    EXPECT_FALSE(set_commandline_bios(m, 1, -2));
    EXPECT_FALSE(set_commandline_bios(m, 7, 0));
    EXPECT_EQ(m.commandlines[1].commandline_bios, 1);
    EXPECT_TRUE(set_commandline_bios(m, 1, -1));
    EXPECT_EQ(bios_argument_text(m, 1), "");

    EXPECT_TRUE(set_commandline_bios(m, 1, 0));
    EXPECT_TRUE(set_commandline_string(m, 1, "-nowindow"));
    EXPECT_FALSE(set_commandline_string(m, 2, "-x"));
    Settings settings;
    settings.MAME_Path = "/home/u/mame/";
    settings.MAME_Exe = "mame";
    EXPECT_EQ(command_preview(settings, m, 1), "/home/u/mame/mame mslug -bios euro -nowindow");
    settings.MAME_Exe = "/usr/games/mame"; // a system-wide MAME is stored with its full path
    EXPECT_EQ(command_preview(settings, m, 0), "/usr/games/mame mslug -opt a");
    m.bios_sets.clear(); // a BIOS choice left over from a rebuilt machine is not passed on
    EXPECT_EQ(bios_argument_text(m, 1), "");
}

Machine machine(const char* name, const char* romof, const char* cloneof) {
    Machine m;
    m.name = name;
    m.romof = romof;
    m.cloneof = cloneof;
    m.sourcefile = "neogeo/neogeo.cpp";
    return m;
}

TEST(IniFiles, NamesFollowMamesOrder) {
    MachineList machines = {machine("neogeo", "", ""), machine("mslug", "neogeo", ""),
                            machine("mslugx", "mslug", "mslug")};
    Machine& clone = machines[2];
    clone.screen_rotate = "270";
    clone.screen_type = "RASTER";
    EXPECT_EQ(
        ini_file_names(clone, machines),
        (std::vector<std::string>{"mame.ini", "debug.ini", "vertical.ini", "raster.ini",
                                  "source/neogeo.ini", "neogeo.ini", "mslug.ini", "mslugx.ini"}));
    Machine& parent = machines[1];
    parent.screen_rotate = "180";
    EXPECT_EQ(ini_file_names(parent, machines),
              (std::vector<std::string>{"mame.ini", "debug.ini", "horizont.ini",
                                        "source/neogeo.ini", "mslug.ini"}));
    EXPECT_EQ(ini_names_prompt({"mame.ini", "x.ini"}),
              "Valid Names\n-----------\nmame.ini\nx.ini\n\n(arcade.ini, console.ini,\n "
              "computer.ini, othersys.ini\ncan be used depending\n on system type.)");
}

struct CreateIni : ::testing::Test {
    TempDir dir;
    ScriptedHost host;
    MachineList machines = {machine("mslug", "", "")};
    Result<CreatedIni> run() { return create_ini_file(host, machines[0], machines, dir.path()); }
};

TEST_F(CreateIni, CopiesAChosenFileAndAsksBeforeOverwriting) {
    const std::string source = dir.write("presets/base.ini", "video opengl\n");
    dir.write("ini/mslug.ini", "old");
    host.texts = {"mslug.ini"};
    host.answers = {Answer::Yes, Answer::Yes};
    host.files = {source, dir.file("ini/")};
    const Result<CreatedIni> r = run();
    ASSERT_TRUE(r.ok()) << r.message();
    EXPECT_TRUE(r->copied);
    EXPECT_EQ(r->path, dir.file("ini/mslug.ini"));
    EXPECT_EQ(test::read_all(dir.file("ini/mslug.ini")), "video opengl\n");
    EXPECT_EQ(host.messages(), (std::vector<std::string>{"File Type...: Copy existing ini file?",
                                                         "Warning: File exists. OverWrite?",
                                                         "File Copied: mslug.ini created"}));
    EXPECT_EQ(host.prompts[0].title, "Enter Filename");
    EXPECT_EQ(host.prompts[0].text.rfind("Valid Names\n", 0), 0u);
    EXPECT_EQ(host.prompts[1].buttons, Buttons::YesNoCancel);
}

TEST_F(CreateIni, CreatesABlankFileInASubFolder) {
    host.texts = {"source/neogeo.ini"};
    host.answers = {Answer::No, Answer::Yes};
    host.files = {dir.path()};
    const Result<CreatedIni> r = run();
    ASSERT_TRUE(r.ok()) << r.message();
    EXPECT_FALSE(r->copied);
    EXPECT_EQ(file_size(dir.file("source/neogeo.ini")), 0);
    EXPECT_EQ(host.messages().back(), "File Created: source/neogeo.ini created");
}

TEST_F(CreateIni, CancelledQuestionsAndChoosersEndWithoutAFile) {
    struct Case {
        const char* what;
        std::optional<std::string> name;
        std::deque<Answer> answers;
        std::deque<std::string> files;
        std::size_t prompts;
    };
    const std::string source = dir.write("base.ini", "x");
    for (const Case& c : {
             Case{"empty name", "", {}, {}, 1},
             Case{"name cancelled", std::nullopt, {}, {}, 1},
             Case{"cancel", "a.ini", {Answer::Cancel}, {}, 2},
             Case{"copy: no source", "a.ini", {Answer::Yes}, {}, 3},
             Case{"copy: no folder", "a.ini", {Answer::Yes}, {source}, 4},
             Case{"blank: no", "a.ini", {Answer::No, Answer::No}, {}, 3},
             Case{"blank: no folder", "a.ini", {Answer::No, Answer::Yes}, {}, 4},
             Case{"blank: keep existing",
                  "base.ini",
                  {Answer::No, Answer::Yes, Answer::No},
                  {dir.path()},
                  5},
         }) {
        host = ScriptedHost();
        host.texts = {c.name};
        host.answers = c.answers;
        host.files = c.files;
        EXPECT_TRUE(run().is(FailureKind::Cancelled)) << c.what;
        EXPECT_EQ(host.prompts.size(), c.prompts) << c.what;
        EXPECT_EQ(file_size(dir.file("a.ini")), -1) << c.what;
        EXPECT_EQ(file_size(current_directory() + "a.ini"), -1) << c.what;
    }
    EXPECT_EQ(test::read_all(source), "x");
}

#ifndef _WIN32
TEST_F(CreateIni, ACopyThatFailsOverAnExistingIniLeavesItWhole) {
    dir.write("ini/a.ini", "the user's settings\n");
    const std::string source = dir.write("big.ini", std::string(64 * 1024, 'x'));
    host.texts = {"a.ini"};
    host.answers = {Answer::Yes, Answer::Yes};
    host.files = {source, dir.file("ini/")};
    // A disk that fills up part way through the copy: writes past 4 KiB fail.
    struct rlimit kept {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &kept), 0);
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = kept;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const Result<CreatedIni> r = run();
    ::setrlimit(RLIMIT_FSIZE, &kept);
    std::signal(SIGXFSZ, old_handler);
    EXPECT_TRUE(r.is(FailureKind::Error));
    EXPECT_EQ(host.messages().back(), "Error!: File Not Created!");
    EXPECT_EQ(test::read_all(dir.file("ini/a.ini")), "the user's settings\n");
    EXPECT_EQ(list_directory(dir.file("ini/")).size(), 1u);
}
#endif

TEST_F(CreateIni, AFailedCopyIsReported) {
    host.texts = {"a.ini"};
    host.answers = {Answer::Yes};
    host.files = {dir.file("missing.ini"), dir.path()};
    EXPECT_TRUE(run().is(FailureKind::Error));
    ASSERT_FALSE(host.prompts.empty());
    EXPECT_EQ(host.messages().back(), "Error!: File Not Created!");
    EXPECT_EQ(host.prompts.back().icon, Icon::Error);
}

} // namespace
} // namespace orvel
