#include "platform/files.h"
#include "settings/settings.h"
#include "support/env_guard.h"
#include "support/scripted_host.h"

#include <gtest/gtest.h>

using namespace orvel;
using namespace orvel::test;

// An installed program keeps its data per user; one run from the user's own folder keeps it
// beside the working directory, as a portable program always did.
#ifndef _WIN32
TEST(DataFolder, InstalledProgramsUseThePerUserFolderPortableOnesTheWorkingDirectory) {
    TempDir dir;
    const std::string start = dir.file("start/");
    EnvGuard home("HOME", dir.path() + "home");
    create_folder(dir.file("portable")); // a folder the user can write
    struct Case {
        std::string program_folder;
        std::string xdg_data_home;
        std::string expected;
    } cases[] = {
        {"/usr/bin/", dir.file("xdg"), dir.file("xdg/orvel/")},
        {"/opt/orvel/bin/", "", dir.file("home/.local/share/orvel/")},
        {"/nix/store/orvel/bin/", "relative/data", dir.file("home/.local/share/orvel/")},
        {"/snap/orvel/current/bin/", dir.file("xdg2"), dir.file("xdg2/orvel/")},
        {dir.file("portable/"), dir.file("xdg3"), start + "ORVEL_Data/"},
        {"", dir.file("xdg4"), start + "ORVEL_Data/"},
    };
    for (const Case& c : cases) {
        EnvGuard xdg("XDG_DATA_HOME", c.xdg_data_home);
        EXPECT_EQ(default_data_folder(start, c.program_folder), c.expected) << c.program_folder;
    }
    // The per-user folders are created when missing; the portable one waits for the first start.
    EXPECT_TRUE(folder_exists(dir.file("xdg/orvel")));
    EXPECT_TRUE(folder_exists(dir.file("home/.local/share/orvel")));
    EXPECT_FALSE(folder_exists(start + "ORVEL_Data"));
    EXPECT_FALSE(folder_exists(dir.file("xdg3")));
}
#else
TEST(DataFolder, WindowsProgramsKeepTheirDataBesideTheWorkingDirectory) {
    TempDir dir;
    const std::string start = dir.file("start\\");
    for (const std::string& program_folder :
         {std::string("C:\\Program Files\\Orvel\\"), dir.file("portable\\"), std::string()})
        EXPECT_EQ(default_data_folder(start, program_folder), start + "ORVEL_Data\\")
            << program_folder;
}
#endif
