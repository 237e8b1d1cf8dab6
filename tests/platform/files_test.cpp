#include "platform/files.h"
#include "platform/folder_lock.h"
#include "platform/process.h"
#include "support/env_guard.h"
#include "support/scripted_host.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <optional>
#include <regex>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

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

TEST(Files, WritersOfOneFileNeverShareATemporaryFile) {
    TempDir dir;
    const std::string path = dir.file("ORVEL.qld");
    std::atomic<int> failed{0};
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t)
        writers.emplace_back([&, t] {
            const std::string text(4096, static_cast<char>('a' + t));
            for (int i = 0; i < 50; ++i)
                failed += !write_file_atomic(path, text);
        });
    for (std::thread& w : writers)
        w.join();
    EXPECT_EQ(failed, 0);
    const std::string text = read_all(path);
    EXPECT_EQ(text, std::string(4096, text.front())); // one write, whole
    EXPECT_EQ(list_directory(dir.path()).size(), 1u);
}

TEST(Files, FolderLockKeepsOtherProgramsWaitingAndNests) {
    TempDir dir;
    // flock(1) -n gives up at once on a folder another program holds.
    const auto other_program_gets_it = [&] {
        return run_and_wait("/usr/bin/flock", "-n \"" + dir.path() + "\" true", "").exit_code == 0;
    };
    EXPECT_TRUE(other_program_gets_it());
    {
        const FolderLock outer(dir.path());
        ASSERT_TRUE(outer.held());
        {
            const FolderLock inner(dir.path() + "."); // the same folder spelt another way
            EXPECT_TRUE(inner.held());
        }
        EXPECT_FALSE(other_program_gets_it()); // the inner lock's end kept the outer one
    }
    EXPECT_TRUE(other_program_gets_it());
    EXPECT_FALSE(FolderLock(dir.file("missing")).held());
}

TEST(Files, PrivateTemporaryFolderIsTheUsersAlone) {
    TempDir tmp;
    EnvGuard tmpdir("TMPDIR", tmp.path());
    EnvGuard runtime("XDG_RUNTIME_DIR", "");
    const std::string own = tmp.file("orvel-" + std::to_string(::getuid()) + "/");
    EXPECT_EQ(private_temp_folder(), own);
    struct stat st {};
    ASSERT_EQ(::lstat(own.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    // A link in the folder's place (made by someone else before us) is never used.
    std::filesystem::remove(own.substr(0, own.size() - 1));
    const std::string elsewhere = tmp.file("elsewhere");
    ASSERT_TRUE(create_folder(elsewhere));
    std::filesystem::create_directory_symlink(elsewhere, own.substr(0, own.size() - 1));
    EXPECT_EQ(private_temp_folder(), "");

    TempDir runtime_dir;
    EnvGuard runtime_set("XDG_RUNTIME_DIR", runtime_dir.path());
    EXPECT_EQ(private_temp_folder(), runtime_dir.file("orvel/"));
}
