#include "platform/files.h"
#include "support/scripted_host.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>

using namespace orvel;
using namespace orvel::test;

TEST(Files, SizesOfFilesFoldersAndMissingPaths) {
    TempDir dir;
    dir.write("five.bin", "12345");
    dir.write("empty", "");
    EXPECT_EQ(file_size(dir.file("five.bin")), 5);
    EXPECT_EQ(file_size(dir.file("empty")), 0);
    EXPECT_EQ(file_size(dir.file("missing")), -1);
    EXPECT_EQ(file_size(dir.path()), -2);
    EXPECT_TRUE(std::regex_match(file_creation_date(dir.file("five.bin")),
                                 std::regex(R"(\d\d/\d\d/\d\d\d\d)")));
    EXPECT_EQ(file_creation_date(dir.file("missing")), "");
}

TEST(Files, WildcardListingIgnoresCase) {
    TempDir dir;
    dir.write("pacman.ZIP", "");
    dir.write("galaga.zip", "");
    dir.write("notes.txt", "");
    dir.write("sub.zip/inner", "");
    std::vector<std::string> names;
    for (const DirEntry& e : list_directory(dir.path(), "*.zip"))
        names.push_back(e.name + (e.is_folder ? "/" : ""));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"galaga.zip", "pacman.ZIP", "sub.zip/"}));
    EXPECT_TRUE(wildcard_match("P?C*.z*", "pacman.zip"));
    EXPECT_FALSE(wildcard_match("*.zip", "pacman.zip.bak"));
    EXPECT_TRUE(list_directory(dir.file("missing")).empty());
}

TEST(Files, RecursiveCollectionGivesRelativePaths) {
    TempDir dir;
    dir.write("a.zip", "");
    dir.write("x/b.chd", "");
    dir.write("x/y z/c.zip", "");
    auto files = collect_files_recursive(dir.path());
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"a.zip", "x/b.chd", "x/y z/c.zip"}));

    // Linked folders are entered once each: a link back up ends, a link to nothing is no file.
    TempDir elsewhere;
    elsewhere.write("kinst/kinst.chd", "");
    namespace fs = std::filesystem;
    fs::create_directory_symlink(elsewhere.file("kinst"), dir.file("kinst"));
    fs::create_directory_symlink(dir.path(), dir.file("x/up"));
    fs::create_symlink(dir.file("missing"), dir.file("dangling.zip"));
    files = collect_files_recursive(dir.path());
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files,
              (std::vector<std::string>{"a.zip", "kinst/kinst.chd", "x/b.chd", "x/y z/c.zip"}));
}

TEST(Files, AtomicWriteReplacesOrLeavesTheOldFile) {
    TempDir dir;
    const std::string path = dir.write("prefs", "old");
    ASSERT_TRUE(write_file_atomic(path, "new contents"));
    EXPECT_EQ(read_all(path), "new contents");
    // Only the file itself remains: no temporary left behind.
    EXPECT_EQ(list_directory(dir.path()).size(), 1u);
    EXPECT_FALSE(write_file_atomic(dir.file("no folder/prefs"), "x"));
    EXPECT_EQ(file_size(dir.file("no folder")), -1);
}

TEST(Files, PathHelpers) {
    EXPECT_EQ(join_path("/a/", "b"), "/a/b");
    EXPECT_EQ(join_path("/a", "b"), "/a/b");
    EXPECT_EQ(file_name_of("/x/y/mame"), "mame");
    EXPECT_EQ(folder_of("/x/y/mame"), "/x/y/");
    EXPECT_EQ(with_separator("/x"), "/x/");
    EXPECT_EQ(with_separator("/x/"), "/x/");
    const std::string temp = temp_folder();
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(temp.back(), '/');
    EXPECT_EQ(file_size(temp), -2);
}
