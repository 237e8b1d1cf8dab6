#include "app/startup_database.h"
#include "database/database_file.h"
#include "platform/files.h"
#include "support/env_guard.h"
#include "support/lingering_helper.h"
#include "support/scripted_host.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace orvel;
using namespace orvel::test;

namespace {

struct StartFolders {
    TempDir dir;
    Settings settings;
    MamePaths paths;
    MachineList machines;
    ViewList view;
    bool changed = false;
    ScriptedHost host;
    StartFolders() {
        set_default_settings(settings, dir.path());
        settings.MAME_Path = dir.path() + "mame/";
        settings.ORVEL_Data = dir.path() + "data/";
        settings.MAME_Exe = ORVEL_FAKE_MAME;
        settings.MAME_Version = "0.251";
        create_folders(settings.MAME_Path);
        create_folders(settings.ORVEL_Data);
        paths.rompath = "roms";
    }
    // An earlier database of two machines, one of them a favourite; returns the file's bytes.
    std::string save_old_database() {
        MachineList stored(2);
        stored[0].name = "neogeo";
        stored[0].isfavourite = true;
        stored[1].name = "retired";
        bool saved_changed = true;
        if (!save_database(stored, settings, saved_changed, host).ok()) return {};
        return read_all(database_path(settings));
    }
    DatabaseStartResult start(bool refresh = false) {
        return start_machine_database(settings, paths, machines, view, changed, host, refresh);
    }
};

const Machine* named(const MachineList& machines, const std::string& name) {
    for (const Machine& m : machines)
        if (m.name == name) return &m;
    return nullptr;
}

} // namespace

TEST(StartMachineDatabase, BuildsWhenTheFileIsMissingOrEmpty) {
    EnvGuard listing("ORVEL_FAKE_LISTING", fixture("database/listing.xml"));
    StartFolders f;
    write_file_atomic(database_path(f.settings), ""); // 0 bytes counts as missing
    const DatabaseStartResult r = f.start();
    EXPECT_EQ(r.outcome, DatabaseOutcome::Continue);
    EXPECT_TRUE(r.built);
    EXPECT_EQ(f.machines.size(), 9u);
    EXPECT_EQ(f.view.size(), 9u);
    EXPECT_FALSE(f.changed);
    EXPECT_GT(file_size(database_path(f.settings)), 0);
    EXPECT_TRUE(f.host.messages().empty());
}

TEST(StartMachineDatabase, LoadsAndScansWhenAsked) {
    StartFolders f;
    MachineList stored(2);
    stored[0].name = "pacman";
    stored[0].requires_roms = true;
    stored[0].isavailable = true; // stale: the zip is gone
    stored[1].name = "galaga";
    stored[1].requires_roms = true;
    bool changed = true;
    ASSERT_TRUE(save_database(stored, f.settings, changed, f.host).ok());
    f.dir.write("mame/roms/galaga.zip", "x");
    f.host.progress.clear();

    // Without the option the stored availability stays.
    DatabaseStartResult r = f.start();
    EXPECT_FALSE(r.built);
    ASSERT_EQ(f.machines.size(), 2u);
    EXPECT_TRUE(f.machines[0].isavailable);
    EXPECT_FALSE(f.machines[1].isavailable);
    EXPECT_TRUE(f.host.progress.empty());

    f.settings.ORVEL_Check_Avail = 1;
    r = f.start();
    EXPECT_EQ(r.outcome, DatabaseOutcome::Continue);
    EXPECT_FALSE(f.machines[0].isavailable);
    EXPECT_TRUE(f.machines[1].isavailable);
    EXPECT_EQ(f.host.progress, std::vector<std::string>{"Checking Availability..."});
}

// A MAME that lists nothing is named, and the user may choose another instead of restarting.
TEST(StartMachineDatabase, AMameThatListsNothingOffersToChooseAnother) {
    EnvGuard listing("ORVEL_FAKE_LISTING", "");
    for (const Answer answer : {Answer::No, Answer::Yes}) {
        StartFolders f; // the fake MAME prints no listing
        f.host.answers = {answer};
        const DatabaseStartResult r = f.start();
        EXPECT_EQ(r.outcome,
                  answer == Answer::Yes ? DatabaseOutcome::ChooseMame : DatabaseOutcome::Exit);
        ASSERT_EQ(f.host.messages().size(), 1u);
        EXPECT_EQ(f.host.messages()[0],
                  "No Machines: \"" + f.settings.MAME_Exe +
                      "\" listed no machines for \"-listxml\" (MAME wrote no listing), so "
                      "it does not look like a working MAME.\n\nChoose another MAME?");
        EXPECT_FALSE(file_exists(database_path(f.settings)));
    }
}

TEST(StartMachineDatabase, MalformedListingEndsAfterItsOwnMessage) {
    StartFolders f;
    write_file_atomic(f.settings.MAME_Path + "orvel.tmp", "<mame><machine name=\"x\"></mame>");
    const DatabaseStartResult r = f.start();
    EXPECT_EQ(r.outcome, DatabaseOutcome::Exit);
    ASSERT_EQ(f.host.messages().size(), 1u);
    EXPECT_EQ(f.host.prompts[0].title, "Error");
}

TEST(StartMachineDatabase, RefreshKeepsFavouritesAndCommandLines) {
    EnvGuard listing("ORVEL_FAKE_LISTING", fixture("database/listing.xml"));
    StartFolders f;
    f.settings.ORVEL_DB_Backup = 1;
    MachineList stored(3);
    stored[0].name = "neogeo";
    stored[0].isfavourite = true;
    stored[0].commandlines = {{"Default", "", 1}, {"Japan", "-nothrottle", 7}};
    stored[1].name = "mslug";
    stored[1].commandlines = {{"Default", "-cheat", -1}};
    stored[2].name = "retired";
    stored[2].isfavourite = true;
    bool changed = true;
    ASSERT_TRUE(save_database(stored, f.settings, changed, f.host).ok());
    const std::string before = read_all(database_path(f.settings));
    // A listing left over from the old MAME must not stand in for the new one.
    write_file_atomic(f.settings.MAME_Path + "orvel.tmp", "<mame></mame>");

    const DatabaseStartResult r = f.start(true);
    EXPECT_EQ(r.outcome, DatabaseOutcome::Continue);
    EXPECT_TRUE(r.built);
    ASSERT_EQ(f.machines.size(), 9u);
    EXPECT_EQ(named(f.machines, "retired"), nullptr);
    const Machine* neogeo = named(f.machines, "neogeo");
    ASSERT_NE(neogeo, nullptr);
    EXPECT_TRUE(neogeo->isfavourite);
    ASSERT_EQ(neogeo->commandlines.size(), 2u);
    EXPECT_EQ(neogeo->commandlines[0].commandline_bios, 1);
    EXPECT_EQ(neogeo->commandlines[1].commandline_name, "Japan");
    EXPECT_EQ(neogeo->commandlines[1].commandline_bios, -1); // neogeo has 3 BIOS sets now
    EXPECT_EQ(named(f.machines, "mslug")->commandlines[0].commandline_string, "-cheat");
    EXPECT_EQ(named(f.machines, "kinst")->commandlines.size(), 1u);

    // The file holds the carried data, and the backup the database from before the refresh.
    MachineList loaded;
    ViewList view;
    ASSERT_TRUE(load_database(f.settings, loaded, view, f.host).ok());
    EXPECT_TRUE(named(loaded, "neogeo")->isfavourite);
    EXPECT_EQ(read_all(database_backup_path(f.settings)), before);
    EXPECT_FALSE(f.changed);
}

TEST(StartMachineDatabase, AFailedRefreshKeepsTheOldDatabase) {
    EnvGuard listing("ORVEL_FAKE_LISTING", fixture("database/listing.xml"));
    EnvGuard cut("ORVEL_FAKE_LX_CUT", "600");
    EnvGuard status("ORVEL_FAKE_EXIT", "3");
    StartFolders f;
    const std::string before = f.save_old_database();
    ASSERT_FALSE(before.empty());

    const DatabaseStartResult r = f.start(true);
    EXPECT_EQ(r.outcome, DatabaseOutcome::Continue);
    EXPECT_TRUE(r.problem.is(FailureKind::Error));
    EXPECT_EQ(r.problem.message(),
              "MAME failed while writing its listing (exit status 3): fake mame: "
              "listing cut short");
    ASSERT_EQ(f.machines.size(), 2u);
    EXPECT_EQ(f.view.size(), 2u);
    EXPECT_TRUE(named(f.machines, "neogeo")->isfavourite);
    EXPECT_EQ(read_all(database_path(f.settings)), before);
    EXPECT_EQ(f.host.messages(),
              std::vector<std::string>{"Error: " + std::string(r.problem.message())});

    // Without an old database there is nothing to go on with.
    StartFolders first;
    EXPECT_EQ(first.start().outcome, DatabaseOutcome::Exit);
    EXPECT_EQ(first.host.messages().size(), 1u);
}

// Cancel while MAME writes its listing: MAME ends with what it started and nothing of the
// listing is kept. A rebuild goes on with the old database, its file untouched; a first build
// ends the start, saying why.
TEST(StartMachineDatabase, ACancelledListingKeepsTheOldDatabase) {
    EnvGuard listing("ORVEL_FAKE_LISTING", fixture("database/listing.xml"));
    EnvGuard slow("ORVEL_FAKE_LX_DELAY_MS", "300");
    StartFolders f;
    LingeringHelpers helpers(f.dir);
    const std::string before = f.save_old_database();
    ASSERT_FALSE(before.empty());
    f.host.stop_after_counts = 1;

    DatabaseStartResult r = f.start(true);
    EXPECT_EQ(r.outcome, DatabaseOutcome::Continue);
    EXPECT_TRUE(r.problem.is(FailureKind::Cancelled));
    EXPECT_TRUE(f.host.messages().empty());
    ASSERT_EQ(f.host.counts.size(), 1u);
    EXPECT_EQ(f.host.counts[0].second, 2u);
    ASSERT_EQ(f.machines.size(), 2u);
    EXPECT_EQ(f.view.size(), 2u);
    EXPECT_TRUE(named(f.machines, "neogeo")->isfavourite);
    EXPECT_FALSE(f.changed);
    EXPECT_EQ(read_all(database_path(f.settings)), before);
    EXPECT_FALSE(file_exists(f.settings.MAME_Path + "orvel.tmp"));
    const auto begin = std::chrono::steady_clock::now();
    while (helpers.alive() > 0 &&
           std::chrono::steady_clock::now() - begin < std::chrono::seconds(5))
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(helpers.pids().size(), 1u);
    EXPECT_EQ(helpers.alive(), 0);

    StartFolders first;
    first.host.stop_after_counts = 1;
    r = first.start();
    EXPECT_EQ(r.outcome, DatabaseOutcome::Exit);
    EXPECT_EQ(first.host.messages(),
              std::vector<std::string>{"Database Not Built: " + cancelled_first_build_text()});
    EXPECT_FALSE(file_exists(database_path(first.settings)));
    EXPECT_FALSE(file_exists(first.settings.MAME_Path + "orvel.tmp"));
}
