#include "app/database_save.h"
#include "app/startup_database.h"
#include "database/database_file.h"
#include "platform/files.h"
#include "support/scripted_host.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace orvel;
using namespace orvel::test;

namespace {

Machine machine(const std::string& name, bool favourite = false) {
    Machine m;
    m.name = name;
    m.description = name;
    m.isfavourite = favourite;
    m.commandlines = {default_commandline()};
    return m;
}

// This program's state over a data folder whose database it loaded; other_save() is another
// program saving the same file meanwhile.
struct Opened {
    TempDir dir;
    AppState state;
    ScriptedHost host;
    Opened() {
        set_default_settings(state.settings, dir.path());
        create_folder(state.settings.ORVEL_Data);
        state.machines = {machine("pacman"), machine("galaga")};
        bool changed = true;
        EXPECT_TRUE(save_database(state.machines, state.settings, changed, host).ok());
        const DatabaseStartResult start =
            start_machine_database(state.settings, state.mame_paths, state.machines, state.view,
                                   state.database_changed, host);
        state.database_stamp = start.stamp;
    }
    void other_save() {
        const MachineList theirs = {machine("pacman", true), machine("galaga")};
        bool changed = true;
        EXPECT_TRUE(save_database(theirs, state.settings, changed, host).ok());
    }
    bool favourite_in_file() {
        MachineList read;
        ViewList view;
        EXPECT_TRUE(load_database(state.settings, read, view, host).ok());
        return !read.empty() && read[0].isfavourite;
    }
};

} // namespace

TEST(DatabaseSave, AFileChangedSinceItWasLoadedIsNeverOverwrittenWithoutAsking) {
    struct Case {
        Answer answer; // to "Database Changed"
        SaveOutcome outcome;
        bool theirs_in_file;   // the other program's favourite is in the file afterwards
        bool theirs_in_memory; // ... and in this program's list
        bool ours_in_file;     // this program's change is in the file
    };
    const Case cases[] = {
        {Answer::Cancel, SaveOutcome::Cancelled, true, false, false},
        {Answer::Yes, SaveOutcome::Reloaded, true, true, false},
        {Answer::No, SaveOutcome::Saved, false, false, true},
    };
    for (const Case& c : cases) {
        Opened o;
        o.other_save();
        o.state.machines[1].isfavourite = true; // this program's own change
        o.state.database_changed = true;
        o.host.answers = {c.answer};
        const DatabaseSave saved = save_machine_database(o.state, o.host);
        EXPECT_EQ(saved.outcome, c.outcome);
        ASSERT_EQ(o.host.prompts.size(), 1u);
        EXPECT_EQ(o.host.prompts[0].title, "Database Changed");
        EXPECT_EQ(o.host.prompts[0].buttons, Buttons::ReloadOverwriteCancel);
        EXPECT_EQ(o.favourite_in_file(), c.theirs_in_file);
        ASSERT_EQ(o.state.machines.size(), 2u);
        EXPECT_EQ(o.state.machines[0].isfavourite, c.theirs_in_memory);
        EXPECT_EQ(o.state.database_changed, c.outcome == SaveOutcome::Cancelled);
        MachineList read;
        ViewList view;
        ASSERT_TRUE(load_database(o.state.settings, read, view, o.host).ok());
        EXPECT_EQ(read[1].isfavourite, c.ours_in_file);
        // What is in the file now is this program's to overwrite: the next save asks nothing.
        if (c.outcome != SaveOutcome::Cancelled) {
            o.host.prompts.clear();
            EXPECT_EQ(save_machine_database(o.state, o.host).outcome, SaveOutcome::Saved);
            EXPECT_TRUE(o.host.prompts.empty());
        }
    }
}

#ifndef _WIN32
TEST(DatabaseSave, StaleTemporaryFilesGoAtTheNextStartAndSave) {
    Opened o;
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    const std::string dead = "." + std::to_string(child) + "-0.tmp~";
    const std::string data = o.state.settings.ORVEL_Data;
    for (bool at_start : {true, false}) {
        for (const char* name : {"ORVEL.qld", "ORVEL.bak", "ORVEL.prefs"})
            o.dir.write("ORVEL_Data/" + std::string(name) + dead, "cut off");
        if (at_start)
            (void)start_machine_database(o.state.settings, o.state.mame_paths, o.state.machines,
                                         o.state.view, o.state.database_changed, o.host);
        else
            EXPECT_EQ(save_machine_database(o.state, o.host).outcome, SaveOutcome::Saved);
        EXPECT_EQ(list_directory(data, "*.tmp~").size(), 0u) << at_start;
    }
}
#endif
