#include "platform/files.h"
#include "platform/mame_folders.h"
#include "support/env_guard.h"
#include "support/scripted_host.h"

#include <gtest/gtest.h>

#include <filesystem>

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

#ifndef _WIN32
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
#else
TEST(MameFolders, ResolvingConfiguredFoldersOnWindows) {
    EnvGuard games("ORVEL_TEST_GAMES", "D:\\Spiele é");
    const std::string mame = "C:\\My MAME\\";
    const std::pair<const char*, const char*> cases[] = {
        {"roms", "C:\\My MAME\\roms\\"},
        {".\\roms", "C:\\My MAME\\roms\\"},
        {".", "C:\\My MAME\\"},
        {"%ORVEL_TEST_GAMES%\\roms", "D:\\Spiele é\\roms\\"},
        {"\"%ORVEL_TEST_GAMES%\\my roms\"", "D:\\Spiele é\\my roms\\"},
        {"%ORVEL_TEST_UNSET_VARIABLE%roms", "C:\\My MAME\\roms\\"},
        {"100%", "C:\\My MAME\\100%\\"},
        {"E:\\roms", "E:\\roms\\"},
        {"e:/roms/", "e:/roms/"},
        {"\\\\server\\share\\roms", "\\\\server\\share\\roms\\"},
    };
    for (const auto& [raw, resolved] : cases)
        EXPECT_EQ(resolve_mame_folder(raw, mame), resolved) << raw;
    EXPECT_EQ(resolve_mame_folder_list("roms;%ORVEL_TEST_GAMES%", mame),
              (std::vector<std::string>{"C:\\My MAME\\roms\\", "D:\\Spiele é\\"}));
    EXPECT_EQ(mame_executable_path("\\\\server\\mame\\mame.exe", mame),
              "\\\\server\\mame\\mame.exe");
    EXPECT_EQ(mame_executable_path("mame64.exe", mame), "C:\\My MAME\\mame64.exe");
}
#endif

TEST(MameFolders, PortableAndSystemWideInstalls) {
    TempDir dir;
    const std::string exe = dir.write("my mame/mame", "x");
    const MameLocation portable = locate_mame(exe);
    EXPECT_FALSE(portable.system_wide);
    EXPECT_EQ(portable.exe, "mame");
    EXPECT_EQ(portable.mame_folder, dir.file("my mame/"));
    EXPECT_EQ(mame_executable_path(portable.exe, portable.mame_folder), exe);

#ifdef _WIN32
    // Windows has no system-wide install: MAME works in its own folder wherever it lies.
    EXPECT_FALSE(locate_mame("C:\\Program Files\\MAME\\mame.exe").system_wide);
#else
    EnvGuard home("HOME", dir.file("home"));
    const MameLocation system = locate_mame("/usr/games/mame");
    EXPECT_TRUE(system.system_wide);
    EXPECT_EQ(system.exe, "/usr/games/mame");
    EXPECT_EQ(system.mame_folder, dir.file("home/.mame/"));
    EXPECT_EQ(file_size(system.mame_folder), -2); // created when missing
    EXPECT_EQ(mame_executable_path(system.exe, system.mame_folder), "/usr/games/mame");
#endif
}

#ifndef _WIN32
TEST(MameFolders, FindingMameOnASearchPath) {
    TempDir dir;
    auto executable = [&](const std::string& name) {
        const std::string path = dir.write(name, "#!/bin/sh\n");
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        return path;
    };
    const std::string first = executable("first/mame");
    const std::string only64 = executable("only64/mame64");
    executable("both/mame64");
    const std::string both = executable("both/mame");
    dir.write("plain/mame", "not executable");
    create_folders(dir.file("folder/mame"));
    const std::string none = dir.file("none");
    struct Case {
        std::string list;
        std::string found;
    } cases[] = {
        {dir.file("first") + ":" + dir.file("only64"), first},
        {dir.file("only64") + ":" + dir.file("first"), only64},
        {dir.file("both"), both}, // "mame" before "mame64" in one folder
        {"::" + dir.file("plain") + ":" + dir.file("folder") + ":" + dir.file("first/"), first},
        {dir.file("plain") + ":" + dir.file("folder") + ":" + none, ""},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(find_mame_in(c.list), c.found) << c.list;

    EnvGuard path("PATH", dir.file("first"));
    EXPECT_EQ(mame_search_path(), dir.file("first") + ":/usr/games");
}
#else
TEST(MameFolders, FindingMameOnAWindowsSearchPath) {
    TempDir dir;
    dir.write("only/mame.exe", "MZ");
    dir.write("both/mame64.exe", "MZ"); // before mame.exe
    dir.write("both/mame.exe", "MZ");
    const std::string only = join_path(dir.file("only"), "mame.exe");
    const std::string both = join_path(dir.file("both"), "mame64.exe");
    EXPECT_EQ(find_mame_in(";" + dir.file("none") + ";" + dir.file("only")), only);
    EXPECT_EQ(find_mame_in(dir.file("both") + ";" + dir.file("only")), both);
    EnvGuard path("PATH", dir.file("only"));
    EXPECT_EQ(mame_search_path(), dir.file("only"));
}
#endif
