#include "filters/folders.h"
#include "machines.h"
#include "support/scripted_host.h"

#include <gtest/gtest.h>

using namespace orvel;
using namespace orvel::test;

namespace {

MachineList folder_machines() {
    return {machine("pacman"), machine("galaga"), machine("dkong"), machine("sf2")};
}

// "caption: name name | caption: ..." for a compact comparison.
std::string describe(const Folder& folder, const MachineList& ms) {
    std::string out;
    for (const SubFolder& sub : folder.sub_folders) {
        if (!out.empty()) out += " | ";
        out += sub.caption + ":";
        for (std::int64_t p : sub.machines)
            out += " " + ms[static_cast<size_t>(p)].name;
    }
    return out;
}

std::string read(std::string_view text, const MachineList& ms, bool* ok = nullptr) {
    Folder folder;
    const bool read_ok = read_folder_file(text, build_name_map(ms), folder);
    if (ok) *ok = read_ok;
    return read_ok ? describe(folder, ms) : "not a folder file";
}

} // namespace

TEST(FolderFiles, SectionsListKnownNamesUntilAnEmptyLine) {
    const MachineList ms = folder_machines();
    EXPECT_EQ(read("[FOLDER_SETTINGS]\r\nRootFolderIcon mame\r\nSubFolderIcon folder\r\n\r\n"
                   ";; comment ;;\r\n[Shooter]\r\ngalaga\r\nnosuchgame\r\ngalaga\r\n\r\n"
                   "stray line\r\n[Maze]\r\npacman",
                   ms),
              "Maze: pacman | Shooter: galaga galaga");
    // A section header straight after a name is a name of the previous section.
    EXPECT_EQ(read("[FOLDER_SETTINGS]\n[B]\npacman\n[A]\ndkong\n\n[C]\nsf2\n", ms),
              "B: pacman dkong | C: sf2");
    // Names are compared with case; sub-folders are sorted with case, ties keep file order.
    EXPECT_EQ(read("[FOLDER_SETTINGS]\n[b]\nPacman\n\n[B]\ngalaga\n\n[a]\nsf2\n\n[B]\ndkong\n", ms),
              "B: galaga | B: dkong | a: sf2 | b:");
    bool ok = true;
    EXPECT_EQ(read("[FOLDER_SETTINGS] \n[A]\npacman\n", ms, &ok), "not a folder file");
    EXPECT_FALSE(ok);
    EXPECT_EQ(read("", ms), "not a folder file");
    EXPECT_EQ(read("\xEF\xBB\xBF[FOLDER_SETTINGS]\n[A]\npacman\n", ms), "A: pacman");
}

TEST(FolderFiles, RootIsDroppedOnlyWhenItComesFirstBeforeOtherSections) {
    const MachineList ms = folder_machines();
    EXPECT_EQ(read("[FOLDER_SETTINGS]\n[ROOT_FOLDER]\npacman\ngalaga\n", ms),
              "Root: pacman galaga");
    EXPECT_EQ(read("[FOLDER_SETTINGS]\n[ROOT_FOLDER]\npacman\n\n[Z]\nsf2\n\n[A]\ndkong\n", ms),
              "A: dkong | Z: sf2");
    EXPECT_EQ(read("[FOLDER_SETTINGS]\n[Z]\nsf2\n\n[ROOT_FOLDER]\npacman\n", ms),
              "Root: pacman | Z: sf2");
}

TEST(FolderFiles, DamagedInputIsReadWithoutHarm) {
    const MachineList ms = folder_machines();
    std::string garbage = "[FOLDER_SETTINGS]\n[G]\n";
    for (int i = 0; i < 4096; ++i)
        garbage.push_back(static_cast<char>((i * 131 + 7) % 256));
    garbage += "\npacman\n[";
    EXPECT_NO_FATAL_FAILURE(read(garbage, ms));
    const std::string long_line = "[FOLDER_SETTINGS]\n[L]\n" + std::string(1 << 20, 'x') +
                                  "\nsf2\n[" + std::string(100000, 'y') + "]\n";
    EXPECT_EQ(read(long_line, ms), "L: sf2");
    EXPECT_EQ(read("[FOLDER_SETTINGS]\n[\n", ms), ":");
    EXPECT_EQ(read(std::string("[FOLDER_SETTINGS]\r\n[A]\r\npac\0man\r\n", 30), ms), "A:");
}

TEST(FolderFiles, CaptionIsTheFileNameUpToTheFirstIni) {
    EXPECT_EQ(folder_caption_of("genre.ini"), "genre");
    EXPECT_EQ(folder_caption_of("my.ini.ini"), "my");
    EXPECT_EQ(folder_caption_of("Catver.INI"), "Catver");
    EXPECT_EQ(folder_file_name("arcade"), "arcade.ini");
    EXPECT_EQ(folder_file_name("arcade.ini"), "arcade.ini");
    EXPECT_EQ(folder_file_name("arcade.txt"), "arcade.txt.ini");
    EXPECT_EQ(folder_file_name("arcade."), "arcade..ini");
}

TEST(FolderFiles, LoadsEveryFolderFileOfEveryCategoryFolder) {
    TempDir mame;
    const std::string header = "[FOLDER_SETTINGS]\r\n";
    mame.write("folders/genre.ini", header + "[Maze]\r\npacman\r\n");
    mame.write("folders/my.ini.ini", header + "[Fighter]\r\nsf2\r\n");
    mame.write("folders/notes.ini", "[General]\r\npacman\r\n"); // not a folder file
    mame.write("folders/readme.txt", header + "[X]\r\npacman\r\n");
    mame.write("folders/dir.ini/inner.ini", header + "[X]\r\npacman\r\n"); // a folder
    mame.write("more/genre.ini", header + "[Maze]\r\ndkong\r\n");
    const MachineList ms = folder_machines();
    FolderList folders;
    load_folders("folders;" + mame.path() + "more;missing", mame.path(), ms, folders);
    ASSERT_EQ(folders.size(), 3u);
    EXPECT_EQ(folders[0].caption, "genre");
    EXPECT_EQ(describe(folders[0], ms), "Maze: pacman");
    EXPECT_EQ(folders[1].caption, "my");
    EXPECT_EQ(folders[2].caption, "genre");
    EXPECT_EQ(describe(folders[2], ms), "Maze: dkong");
    // Appends: the caller empties the list before a reload.
    load_folders("folders", mame.path(), ms, folders);
    EXPECT_EQ(folders.size(), 5u);
    FolderList none;
    load_folders("", mame.path(), ms, none);
    EXPECT_TRUE(none.empty());
}

TEST(FolderFiles, SaveWritesTheListedMachinesAndReportsSuccess) {
    TempDir dir;
    const MachineList ms = folder_machines();
    ScriptedHost host;
    host.texts.push_back(std::string("arcade"));
    host.files.push_back(dir.path());
    const Result<std::string> r =
        save_folder_ini(host, "/mame/", "0.251", "V0.050 Alpha", ms, {3, 0});
    ASSERT_TRUE(r.ok()) << r.message();
    EXPECT_EQ(*r, dir.file("arcade.ini"));
    EXPECT_EQ(read_all(*r), "[FOLDER_SETTINGS]\r\nRootFolderIcon mame\r\nSubFolderIcon "
                            "folder\r\n\r\n;; MAME v0.251 ;;\r\n;; Created by Orvel vV0.050 "
                            "Alpha ;;\r\n\r\n[ROOT_FOLDER]\r\nsf2\r\npacman\r\n");
    ASSERT_EQ(host.prompts.size(), 3u);
    EXPECT_EQ(host.prompts[0].title, "Ini Name");
    EXPECT_EQ(host.prompts[0].text, "Please enter a name...|");
    EXPECT_EQ(host.prompts[1].title, "Ini Path");
    EXPECT_EQ(host.prompts[1].text, "/mame/");
    EXPECT_EQ(host.messages(), std::vector<std::string>({"Success!: " + *r + " Created"}));
    EXPECT_EQ(host.prompts[2].icon, Icon::Information);

    // An empty list still writes the header and the Root section; the file reads back.
    ScriptedHost empty;
    empty.texts.push_back(std::string("arcade.txt"));
    empty.files.push_back(dir.path());
    const Result<std::string> e = save_folder_ini(empty, "/mame/", "0.251", "V0.050 Alpha", ms, {});
    ASSERT_TRUE(e.ok()) << e.message();
    EXPECT_EQ(*e, dir.file("arcade.txt.ini"));
    EXPECT_TRUE(read_all(*e).ends_with("[ROOT_FOLDER]\r\n"));
    FolderList folders;
    load_folders(dir.path(), "/", ms, folders);
    ASSERT_EQ(folders.size(), 2u);
    EXPECT_EQ(describe(folders[0], ms), "Root: sf2 pacman");
    EXPECT_EQ(folders[1].caption, "arcade.txt");
}

TEST(FolderFiles, SaveEndsQuietlyWhenCancelledAndReportsAFailedWrite) {
    const MachineList ms = folder_machines();
    ScriptedHost no_name;
    no_name.texts.push_back(std::string(""));
    EXPECT_TRUE(save_folder_ini(no_name, "/m/", "", "", ms, {0}).is(FailureKind::Cancelled));
    EXPECT_EQ(no_name.prompts.size(), 1u);
    ScriptedHost no_folder;
    no_folder.texts.push_back(std::string("x"));
    EXPECT_TRUE(save_folder_ini(no_folder, "/m/", "", "", ms, {0}).is(FailureKind::Cancelled));
    EXPECT_TRUE(no_folder.messages().empty());
    ScriptedHost unwritable;
    unwritable.texts.push_back(std::string("x"));
    unwritable.files.push_back("/nonexistent-orvel-folder/");
    const Result<std::string> failed = save_folder_ini(unwritable, "/m/", "", "", ms, {0});
    EXPECT_TRUE(failed.is(FailureKind::Error));
    // The reason comes with the path.
    EXPECT_EQ(failed.message(),
              "cannot write /nonexistent-orvel-folder/x.ini: No such file or directory");
    EXPECT_TRUE(unwritable.messages().empty());
    ScriptedHost escaping;
    escaping.texts.push_back(std::string("../x"));
    escaping.files.push_back("/tmp/");
    EXPECT_TRUE(save_folder_ini(escaping, "/m/", "", "", ms, {0}).is(FailureKind::Refused));
}
