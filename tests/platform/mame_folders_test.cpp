#include "platform/files.h"
#include "platform/mame_folders.h"
#include "support/env_guard.h"
#include "support/scripted_host.h"

#include <gtest/gtest.h>

using namespace orvel;
using namespace orvel::test;

TEST(MameFolders, AcceptedExecutableNames) {
    for (const char* name : {"mame", "MAME", "mame64", "mame.exe", "Mame64.EXE"})
        EXPECT_TRUE(is_accepted_mame_name(name)) << name;
    for (const char* name : {"mame0251", "mame.bin", "xmame", ""})
        EXPECT_FALSE(is_accepted_mame_name(name)) << name;
}

TEST(MameFolders, EnvironmentExpansion) {
    EnvGuard a("ORVEL_TEST_A", "/games");
    EXPECT_EQ(expand_environment("$ORVEL_TEST_A/roms"), "/games/roms");
    EXPECT_EQ(expand_environment("${ORVEL_TEST_A}x"), "/gamesx");
    EXPECT_EQ(expand_environment("$ORVEL_TEST_UNSET_VARIABLE/roms"), "/roms");
    EXPECT_EQ(expand_environment("cost $ 5"), "cost $ 5");
}

TEST(MameFolders, ResolvingConfiguredFolders) {
    EnvGuard home("HOME", "/home/player");
    const std::string mame = "/opt/my mame/";
    EXPECT_EQ(resolve_mame_folder("roms", mame), "/opt/my mame/roms/");
    EXPECT_EQ(resolve_mame_folder("/srv/roms", mame), "/srv/roms/");
    EXPECT_EQ(resolve_mame_folder("\"artwork preview\"", mame), "/opt/my mame/artwork preview/");
    EXPECT_EQ(resolve_mame_folder("$HOME/mame/roms", mame), "/home/player/mame/roms/");
    EXPECT_EQ(resolve_mame_folder(".", mame), mame);
    EXPECT_EQ(resolve_mame_folder("", mame), "");
    EXPECT_EQ(resolve_mame_folder_list("roms;;/srv/roms", mame),
              (std::vector<std::string>{"/opt/my mame/roms/", "/srv/roms/"}));
    EXPECT_EQ(
        resolve_mame_folder_list("\"artwork preview;artpreview\"", mame),
        (std::vector<std::string>{"/opt/my mame/artwork preview/", "/opt/my mame/artpreview/"}));
}

TEST(MameFolders, PortableAndSystemWideInstalls) {
    TempDir dir;
    const std::string exe = dir.write("my mame/mame", "x");
    const MameLocation portable = locate_mame(exe);
    EXPECT_FALSE(portable.system_wide);
    EXPECT_EQ(portable.exe, "mame");
    EXPECT_EQ(portable.mame_folder, dir.file("my mame/"));
    EXPECT_EQ(mame_executable_path(portable.exe, portable.mame_folder), exe);

    EnvGuard home("HOME", dir.file("home"));
    const MameLocation system = locate_mame("/usr/games/mame");
    EXPECT_TRUE(system.system_wide);
    EXPECT_EQ(system.exe, "/usr/games/mame");
    EXPECT_EQ(system.mame_folder, dir.file("home/.mame/"));
    EXPECT_EQ(file_size(system.mame_folder), -2); // created when missing
    EXPECT_EQ(mame_executable_path(system.exe, system.mame_folder), "/usr/games/mame");
}
