#include "app/reset_database.h"
#include "platform/files.h"
#include "support/scripted_host.h"

#include <gtest/gtest.h>

using namespace orvel;
using namespace orvel::test;

namespace {
struct ResetFixture {
    TempDir dir;
    Settings settings;
    MachineList machines{Machine{}, Machine{}};
    ViewList view{0, 1};
    ScriptedHost host;
    ResetFixture() {
        set_default_settings(settings, dir.path());
        create_folder(settings.ORVEL_Data);
        dir.write("ORVEL_Data/ORVEL.qld", "db");
        dir.write("ORVEL_Data/ORVEL.prefs", "prefs");
    }
};
} // namespace

TEST(ResetDatabase, NoChangesNothing) {
    ResetFixture f;
    f.host.answers = {Answer::No};
    EXPECT_FALSE(reset_database(f.host, f.settings, f.machines, f.view));
    EXPECT_EQ(f.machines.size(), 2u);
    EXPECT_EQ(file_size(database_path(f.settings)), 2);
    ASSERT_EQ(f.host.prompts.size(), 1u);
    EXPECT_EQ(f.host.prompts[0].icon, Icon::Warning);
}

TEST(ResetDatabase, YesDeletesTheDatabaseAndKeepsPreferencesOnNo) {
    ResetFixture f;
    f.host.answers = {Answer::Yes, Answer::No};
    EXPECT_TRUE(reset_database(f.host, f.settings, f.machines, f.view));
    EXPECT_TRUE(f.machines.empty());
    EXPECT_TRUE(f.view.empty());
    EXPECT_EQ(file_size(database_path(f.settings)), -1);
    EXPECT_EQ(file_size(preferences_path(f.settings)), 5);
    EXPECT_EQ(f.host.messages(),
              (std::vector<std::string>{"Reset Database: Are You Sure?",
                                        "Reset Database: Clear Preferences?",
                                        "Reset Database: " + std::string(restart_program_text())}));
#ifndef _WIN32
    EXPECT_EQ(restart_program_text(), "Please run orvel to create new database.");
#endif
    EXPECT_EQ(f.host.prompts[2].buttons, Buttons::Ok);
    EXPECT_EQ(f.host.prompts[2].icon, Icon::Information);
}

TEST(ResetDatabase, YesTwiceClearsThePreferencesToo) {
    ResetFixture f;
    f.host.answers = {Answer::Yes, Answer::Yes};
    EXPECT_TRUE(reset_database(f.host, f.settings, f.machines, f.view));
    EXPECT_EQ(file_size(preferences_path(f.settings)), -1);
    EXPECT_EQ(file_size(database_path(f.settings)), -1);
}
