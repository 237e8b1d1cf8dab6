#include "app/session.h"

#include "platform/files.h"
#include "support/env_guard.h"
#include "support/scripted_host.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace orvel {
namespace {

using test::ScriptedHost;
using test::TempDir;

// A session with one machine, mslug, current: two stored command lines and two BIOS sets, run
// by the fake MAME, which logs each run's arguments.
struct SessionTest : ::testing::Test {
    TempDir dir;
    test::EnvGuard log{"ORVEL_FAKE_LOG", dir.file("args.log")};
    ScriptedHost host;
    Session session;

    void SetUp() override {
        Settings& settings = session.whole_state().settings;
        settings.MAME_Path = dir.path();
        settings.MAME_Exe = ORVEL_FAKE_MAME;
        Machine m;
        m.name = "mslug";
        m.description = "Metal Slug";
        m.isavailable = true;
        m.bios_sets = {{"euro", "Europe"}, {"us", "US"}};
        m.commandlines = {default_commandline(), {"Windowed", "-window", 1}};
        session.whole_state().machines.push_back(m);
        session.whole_state().current_machine = 0;
    }
    Machine& machine() { return session.whole_state().machines[0]; }
    std::string received() const { return test::read_all(dir.file("args.log")); }
};

TEST_F(SessionTest, EveryRunGoesThroughOneFlowWithTheRequestedArguments) {
    session.select_commandline(1);
    struct Case {
        const char* what;
        bool available;
        bool process;
        bool ask;
        Answer answer;
        const char* asked;    // the question before the run, "" for none
        const char* received; // what the fake MAME got, "" for no run
    } cases[] = {
        {"stored command line and BIOS", true, true, true, Answer::No, "",
         "mslug\n-bios\nus\n-window\n--\n"},
        {"the name alone", true, false, true, Answer::No, "", "mslug\n--\n"},
        {"unavailable, declined", false, true, true, Answer::No,
         "Romset Not Found!: Try Loading Anyway?", ""},
        {"unavailable, advanced: nothing asked", false, false, false, Answer::No, "",
         "mslug\n--\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(dir.file("args.log"));
        host.prompts.clear();
        host.answers = {c.answer};
        machine().isavailable = c.available;
        LaunchRequest request;
        request.process_commandline = c.process;
        request.ask_availability = c.ask;
        const RunReport run = session.run(host, request);
        EXPECT_EQ(run.outcome, *c.received ? LaunchOutcome::Ran : LaunchOutcome::Cancelled);
        EXPECT_EQ(host.messages(),
                  *c.asked ? std::vector<std::string>{c.asked} : std::vector<std::string>{});
        EXPECT_EQ(received(), c.received);
    }
}

TEST_F(SessionTest, ARunCountsInThePlayRecordTheRecordsFollow) {
    session.whole_state().settings.ORVEL_Data = dir.path() + "data/";
    ASSERT_TRUE(create_folder(session.whole_state().settings.ORVEL_Data));
    ASSERT_EQ(session.run(host, LaunchRequest{}).outcome, LaunchOutcome::Ran);
    ASSERT_EQ(session.run(host, LaunchRequest{}).outcome, LaunchOutcome::Ran);
    EXPECT_EQ(machine().played.times, 2);
    EXPECT_GT(machine().played.last_start, 0);
}

TEST_F(SessionTest, AnEmptyRunWithoutACurrentMachineAsksNothing) {
    session.whole_state().current_machine = -1;
    LaunchRequest request;
    request.empty_run = true;
    const RunReport run = session.run(host, request);
    EXPECT_EQ(run.outcome, LaunchOutcome::Ran);
    EXPECT_EQ(run.exit_status, 0);
    EXPECT_EQ(received(), "--\n");
    EXPECT_TRUE(host.prompts.empty());
}

TEST_F(SessionTest, CommandLineEditsMarkTheDatabaseChanged) {
    // Opening the advanced run window keeps a valid selection and switches pause-on-exit off.
    session.whole_state().selected_commandline = 1;
    session.whole_state().pause_on_exit = true;
    session.begin_advanced_run(0);
    EXPECT_EQ(session.whole_state().selected_commandline, 1);
    EXPECT_FALSE(session.whole_state().pause_on_exit);

    host.texts = {std::string("Fast")};
    EXPECT_EQ(session.add_commandline(host), 2);
    EXPECT_EQ(machine().commandlines[2].commandline_name, "Fast");
    EXPECT_EQ(session.whole_state().selected_commandline, 2);
    EXPECT_TRUE(session.whole_state().database_changed);

    session.whole_state().database_changed = false;
    EXPECT_TRUE(session.set_commandline_text("-nothrottle"));
    EXPECT_TRUE(session.set_commandline_bios(0));
    EXPECT_EQ(machine().commandlines[2].commandline_string, "-nothrottle");
    EXPECT_EQ(machine().commandlines[2].commandline_bios, 0);
    EXPECT_TRUE(session.whole_state().database_changed);

    host.answers = {Answer::No, Answer::Yes};
    EXPECT_FALSE(session.clear_commandline(host));
    EXPECT_TRUE(session.clear_commandline(host));
    EXPECT_EQ(machine().commandlines[2].commandline_string, "");

    // Removing the selected one selects the one before it; the last is refused.
    host.answers = {Answer::Yes, Answer::Yes, Answer::Yes};
    EXPECT_EQ(session.remove_commandline(host, 2), 1);
    EXPECT_EQ(session.remove_commandline(host, 0), 0);
    EXPECT_EQ(session.remove_commandline(host, 0), std::nullopt);
    EXPECT_EQ(host.messages().back(), "Error: Cannot delete last command!");
    EXPECT_EQ(machine().commandlines.size(), 1u);

    session.end_advanced_run();
    EXPECT_EQ(session.whole_state().selected_commandline, 0);
}

TEST_F(SessionTest, ExitQuestionsSaveOnlyWhenAskedAndTheCloseBoxWarns) {
    struct Case {
        ExitRequest request;
        bool changed;
        std::deque<Answer> answers;
        Icon save_icon;
        bool saved;
        bool exit;
    } cases[] = {
        {ExitRequest::Command, true, {Answer::Yes, Answer::No}, Icon::Information, true, false},
        {ExitRequest::CloseBox, true, {Answer::No, Answer::Yes}, Icon::Warning, false, true},
        {ExitRequest::Command, false, {Answer::Yes}, Icon::None, false, true},
    };
    for (const Case& c : cases) {
        host.prompts.clear();
        host.answers = c.answers;
        session.whole_state().database_changed = c.changed;
        int saves = 0;
        const ExitAnswer answer = session.exit_questions(host, c.request, [&] { ++saves; });
        EXPECT_EQ(answer.saved, c.saved);
        EXPECT_EQ(saves, c.saved ? 1 : 0);
        EXPECT_EQ(answer.exit, c.exit);
        ASSERT_EQ(host.prompts.size(), c.changed ? 2u : 1u);
        if (c.changed) {
            EXPECT_EQ(host.prompts[0].icon, c.save_icon);
        }
        EXPECT_EQ(host.messages().back(), "Close: Exit Orvel?");
    }
}

TEST_F(SessionTest, SoftwareListsFilterKeepTheirChoiceAndRunTheCurrentItem) {
    session.whole_state().mame_paths.hashpath = dir.path() + "hash";
    session.whole_state().mame_paths.rompath = dir.path() + "roms";
    dir.write("hash/nes.xml", test::read_all(test::fixture("softlist/nes.xml")));
    dir.write("roms/nes/smb.zip", "x");
    session.begin_software_lists(0);
    ASSERT_EQ(session.open_software_list(host, "nes"), 2u);
    const SoftwareItemList& items = session.whole_state().software_items;
    const std::vector<std::int64_t> missing = session.show_software(SoftwareFilter::Missing, "");
    ASSERT_EQ(missing.size(), 1u);
    EXPECT_EQ(items.items[static_cast<std::size_t>(missing[0])].name, "zelda");
    EXPECT_EQ(items.current, missing[0]);
    EXPECT_EQ(session.whole_state().software_filter, SoftwareFilter::Missing);
    EXPECT_TRUE(session.show_software(SoftwareFilter::Available, "zelda").empty());
    EXPECT_EQ(items.current, -1);

    const std::vector<std::int64_t> shown = session.show_software(SoftwareFilter::All, "SMB");
    ASSERT_EQ(shown.size(), 1u);
    LaunchRequest request;
    request.software = {true, items.current_item()};
    EXPECT_EQ(session.run(host, request).outcome, LaunchOutcome::Ran);
    EXPECT_EQ(received(), "mslug\nnes:smb\n--\n");

    // A list that is not there leaves no items of the one before.
    EXPECT_EQ(session.open_software_list(host, "nothere"), 0u);
    session.open_software_list(host, "nes");
    session.close_software_lists();
    EXPECT_TRUE(items.items.empty());
}

TEST_F(SessionTest, ASavedFolderFileShowsAsAFolderAndAFailedWriteIsReported) {
    dir.write("folders/readme.txt", "");
    session.whole_state().mame_paths.categorypath = dir.path() + "folders";
    reset_view_list(session.whole_state().machines, session.whole_state().view);
    host.texts = {std::string("mine")};
    host.files = {dir.path() + "folders/"};
    ASSERT_TRUE(session.save_folder_ini(host));
    ASSERT_EQ(session.whole_state().folders.size(), 1u);
    EXPECT_EQ(session.whole_state().folders[0].caption, "mine");
    EXPECT_FALSE(session.whole_state().tree.empty());

    host.prompts.clear();
    host.texts = {std::string("other")};
    host.files = {dir.path() + "missing/"};
    EXPECT_FALSE(session.save_folder_ini(host));
    EXPECT_EQ(host.messages().back().substr(0, 50),
              "Save Folder Ini: The folder file was not written.\r");
    EXPECT_EQ(session.whole_state().folders.size(), 1u);
}

TEST_F(SessionTest, ResetDatabaseEmptiesTheListsOnlyOnYes) {
    session.whole_state().settings.ORVEL_Data = dir.path();
    reset_view_list(session.whole_state().machines, session.whole_state().view);
    host.answers = {Answer::No};
    EXPECT_FALSE(session.reset_database(host));
    EXPECT_EQ(session.whole_state().machines.size(), 1u);
    host.answers = {Answer::Yes, Answer::No};
    int wrapped = 0, discarded = 0;
    EXPECT_TRUE(session.reset_database(
        host,
        [&](const std::function<void()>& replace) {
            ++wrapped;
            replace();
        },
        [&] { discarded = session.whole_state().machines.empty() ? 1 : -1; }));
    EXPECT_EQ(wrapped, 1);
    EXPECT_EQ(discarded, 1);
    EXPECT_TRUE(session.whole_state().view.empty());
    EXPECT_EQ(session.whole_state().current_machine, -1);
}

TEST_F(SessionTest, AScanChangesTheDatabaseOnlyWhenThereWasSomethingToScan) {
    EXPECT_FALSE(session.check_availability(host).scanned); // no rompath
    EXPECT_FALSE(session.whole_state().database_changed);
    EXPECT_TRUE(machine().isavailable);
    session.whole_state().mame_paths.rompath = dir.path() + "roms";
    dir.write("roms/mslug.zip", "x");
    EXPECT_EQ(session.check_availability(host).available, 1u);
    EXPECT_TRUE(session.whole_state().database_changed);
}

TEST_F(SessionTest, FavouritesChangeOnlyWhenTheyDiffer) {
    EXPECT_TRUE(session.change_favourite(true));
    EXPECT_TRUE(session.whole_state().database_changed);
    session.whole_state().database_changed = false;
    EXPECT_FALSE(session.change_favourite(true));
    EXPECT_FALSE(session.whole_state().database_changed);
    EXPECT_TRUE(session.change_favourite(false));
    session.whole_state().current_machine = -1;
    EXPECT_FALSE(session.change_favourite(true));
}

} // namespace
} // namespace orvel
