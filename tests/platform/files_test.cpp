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

#include <cerrno>

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

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
    std::vector<std::string> expected{"a.zip", "x/b.chd", "x/y z/c.zip"};
    for (std::string& path : expected) // relative paths with the system's separator
        std::replace(path.begin(), path.end(), '/', path_separator);
    EXPECT_EQ(files, expected);

#ifndef _WIN32
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
#endif
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

TEST(Files, AFailedAtomicWriteTellsItsOwnReasonAndLeavesNothingBehind) {
    TempDir dir;
    dir.write("a folder/inside", "kept");
#ifdef _WIN32
    const int replacing_a_folder = EACCES;
#else
    const int replacing_a_folder = EISDIR;
#endif
    const std::pair<std::string, int> cases[] = {
        {dir.file("no folder/prefs"), ENOENT},       // the temporary file cannot be made
        {dir.file("a folder"), replacing_a_folder}}; // it cannot replace the target
    for (const auto& [path, reason] : cases) {
        errno = 0;
        EXPECT_FALSE(write_file_atomic(path, "x")) << path;
        EXPECT_EQ(errno, reason) << path;
    }
    EXPECT_EQ(read_all(dir.file("a folder/inside")), "kept");
    ASSERT_EQ(list_directory(dir.path()).size(), 1u); // no temporary file left
}

TEST(Files, NamesWithSpacesAndLettersBeyondAsciiReachTheSystemIntact) {
    TempDir dir;
    const std::string folder = dir.file("Spiele é 日本");
    const std::string file = join_path(folder, "ü file.dat");
    ASSERT_TRUE(create_folder(folder));
    ASSERT_TRUE(write_file_atomic(file, "12345"));
    EXPECT_EQ(file_size(file), 5);
    EXPECT_EQ(read_file(file, 5).value_or(""), "12345");
    EXPECT_TRUE(file_modified_time(file).has_value());
    EXPECT_NE(file_creation_date(file), "");
    const std::vector<DirEntry> entries = list_directory(folder, "*FILE.DAT");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "ü file.dat");
    const std::string copy = join_path(folder, "kopie ö.dat");
    ASSERT_TRUE(copy_file(file, copy));
    EXPECT_EQ(read_file(copy, 5).value_or(""), "12345");
    EXPECT_TRUE(delete_file(copy));
    EXPECT_FALSE(file_exists(copy));
}

TEST(Files, WholeReadsStopAtTheirLimit) {
    TempDir dir;
    const std::string file = dir.write("ten.txt", "0123456789");
    EXPECT_EQ(read_file(file, 10).value_or("?"), "0123456789");
    const Result<std::string> over = read_file(file, 9, "The list");
    EXPECT_EQ(over.message(), "The list is too large to be read (more than 9 bytes): " + file);
    const Result<std::string> missing = read_file(dir.file("none"), 10, "The list");
    EXPECT_TRUE(missing.is(FailureKind::Missing));
    EXPECT_EQ(missing.message().rfind("The list could not be read: " + dir.file("none") + " (", 0),
              0u);

    std::string blocks;
    errno = 0;
    EXPECT_FALSE(read_file_blocks(
        file, 4, [&](std::string_view b) { blocks += b; }, 9));
    EXPECT_EQ(errno, EFBIG);
    EXPECT_EQ(blocks, "01234567"); // nothing past the limit is handed out
#ifndef _WIN32
    // A device reports size 0 and has no end.
    EXPECT_TRUE(read_file("/dev/zero", 1 << 20).is(FailureKind::Refused));
    EXPECT_FALSE(read_file_blocks(
        "/dev/zero", 1 << 16, [](std::string_view) {}, 1 << 20));
#endif
}

TEST(Files, PathHelpers) {
    const std::string sep(1, path_separator);
    EXPECT_EQ(join_path("/a/", "b"), "/a/b");
    EXPECT_EQ(join_path("/a", "b"), "/a" + sep + "b");
    EXPECT_EQ(file_name_of("/x/y/mame"), "mame");
    EXPECT_EQ(folder_of("/x/y/mame"), "/x/y/");
    EXPECT_EQ(file_name_of("C:\\x\\mame.exe"), "mame.exe");
    EXPECT_EQ(with_separator("/x"), "/x" + sep);
    EXPECT_EQ(with_separator("/x/"), "/x/");
    const std::string temp = temp_folder();
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(temp.back(), path_separator);
    EXPECT_EQ(file_size(temp), -2);
    EXPECT_EQ(file_size(program_folder()), -2);
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

#ifndef _WIN32
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

// A process id that was in use and is no more.
long ended_process_id() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

TEST(Files, ReplacingWritesFollowLinksOnRequestAndKeepTheFilesMode) {
    TempDir dir;
    const std::string target = dir.write("kept/ORVEL.prefs", "old");
    ::chmod(target.c_str(), 0640);
    std::filesystem::create_symlink("kept/ORVEL.prefs", dir.file("ORVEL.prefs"));
    const std::string link = dir.file("ORVEL.prefs");
    ASSERT_TRUE(write_file_atomic(link, "through", LinkPolicy::Follow));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(read_all(target), "through");
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    // The default replaces the link itself and leaves its target alone.
    ASSERT_TRUE(write_file_atomic(link, "replaced"));
    EXPECT_FALSE(std::filesystem::is_symlink(link));
    EXPECT_EQ(read_all(target), "through");
}

TEST(Files, AtomicCopyIsWholeOrNothing) {
    TempDir dir;
    const std::string source = dir.write("source.ini", "new ini");
    const std::string target = dir.write("target.ini", "old ini");
    ASSERT_TRUE(copy_file_atomic(source, target));
    EXPECT_EQ(read_all(target), "new ini");
    // A source that fails part way (a folder reads as an error) leaves the old file whole.
    dir.write("a folder/x", "");
    errno = 0;
    EXPECT_FALSE(copy_file_atomic(dir.file("a folder"), target));
    EXPECT_NE(errno, 0);
    EXPECT_EQ(read_all(target), "new ini");
    EXPECT_EQ(list_directory(dir.path()).size(), 3u); // no temporary file left
}

TEST(Files, OnlyTemporaryFilesOfEndedProgramsAreRemoved) {
    TempDir dir;
    const std::string path = dir.write("ORVEL.qld", "db");
    const std::string dead = std::to_string(ended_process_id());
    const std::string alive = std::to_string(::getppid());
    const std::pair<std::string, bool> files[] = {
        {"ORVEL.qld." + dead + "-0.tmp~", true},
        {"ORVEL.qld." + dead + "-17.tmp~", true},
        {"ORVEL.qld." + alive + "-0.tmp~", false},                      // still writing
        {"ORVEL.qld." + std::to_string(::getpid()) + "-3.tmp~", false}, // this program
        {"ORVEL.qld.x-1.tmp~", false},                                  // not ours
        {"ORVEL.qld." + dead + "-1.tmp", false},                        // not ours
        {"ORVEL.bak." + dead + "-1.tmp~", false},                       // another file's
    };
    for (const auto& [name, stale] : files)
        dir.write(name, "partial");
    EXPECT_EQ(remove_stale_temp_files(path), 2);
    for (const auto& [name, stale] : files)
        EXPECT_EQ(file_exists(dir.file(name)), !stale) << name;
    EXPECT_EQ(read_all(path), "db");
}
#else
TEST(Files, FolderLockNests) {
    TempDir dir;
    const FolderLock outer(dir.path());
    ASSERT_TRUE(outer.held());
    const FolderLock inner(dir.path() + "."); // the same folder spelt another way
    EXPECT_TRUE(inner.held());
    EXPECT_FALSE(FolderLock(dir.file("missing")).held());
}
#endif
