// orvel-cli build, scan and record against the fake MAME.

#include "cli/cli_run.h"
#include "platform/files.h"
#include "settings/settings.h"
#include "support/env_guard.h"
#include "support/scripted_host.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace orvel;
using namespace orvel::test;

namespace {

class CliDatabase : public ::testing::Test {
  protected:
    TempDir dir;
    std::string mame_folder;
    void SetUp() override {
        mame_folder = dir.file("mame/");
        ASSERT_TRUE(create_folder(mame_folder));
        ASSERT_TRUE(copy_file(ORVEL_FAKE_MAME, mame_folder + mame_file));
        const CliRun init = run_cli("--data data init --mame mame/" + mame_file, dir.path());
        ASSERT_EQ(init.status, 0) << (init.err.empty() ? "" : init.err[0]);
    }
    CliRun cli(const std::string& args) { return run_cli("--data data " + args, dir.path()); }
};

} // namespace

TEST_F(CliDatabase, BuildScanAndRecord) {
    EnvGuard listing("ORVEL_FAKE_LISTING", fixture("database/listing.xml"));
    const CliRun build = cli("build");
    ASSERT_EQ(build.status, 0) << (build.err.empty() ? "" : build.err.back());
    ASSERT_FALSE(build.out.empty());
    EXPECT_EQ(build.out.back(), "Machines: 9");
    EXPECT_GT(file_size(dir.file("data/ORVEL.qld")), 0);
    EXPECT_FALSE(file_exists(mame_folder + "orvel.tmp"));

    // The fake MAME's mame.ini names "roms" as the ROM folder.
    dir.write("mame/roms/mslug.zip", "x");
    dir.write("mame/roms/neogeo.7z", "x");
    const CliRun scan = cli("scan");
    ASSERT_EQ(scan.status, 0) << (scan.err.empty() ? "" : scan.err.back());
    // mslug, neogeo; a2600, kinst13 and z80 need no ROMs; z80dev is a device.
    EXPECT_EQ(scan.out, std::vector<std::string>{"Available: 6 of 9"});

    const CliRun record = cli("record mslug");
    ASSERT_EQ(record.status, 0);
    ASSERT_GE(record.out.size(), 22u);
    EXPECT_EQ(record.out.front(), "[mslug]");
    EXPECT_EQ(record.out[1], "description = Metal Slug - Super Vehicle-001");
    EXPECT_EQ(record.out[14], "isavailable = yes");
    EXPECT_EQ(record.out.back(), "driver_feature_overall = imperfect");

    // The bytes are the file's own, CR LF line ends included.
    const RunResult raw =
        run_redirected(ORVEL_CLI, "--data data record mslug", dir.path(), dir.file("record.txt"));
    ASSERT_EQ(raw.exit_code, 0);
    const std::string section = read_all(dir.file("record.txt"));
    EXPECT_EQ(section.rfind("[mslug]\r\ndescription = Metal Slug", 0), 0u) << section;
    EXPECT_EQ(section.substr(section.size() - 36), "driver_feature_overall = imperfect\r\n");
    EXPECT_NE(read_all(dir.file("data/ORVEL.qld")).find("\r\n" + section + "\r\n"),
              std::string::npos);

    const CliRun missing = cli("record mslug2");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, std::vector<std::string>{"orvel-cli: no machine mslug2"});
}

// The database file is the same bytes on every system: a copy made on Linux from the same
// listing is the reference, for the file as built and as loaded and saved again.
TEST_F(CliDatabase, TheDatabaseFileIsTheSameOnEverySystem) {
    std::string reference = read_all(fixture("database/listing.qld"));
    const size_t heading_end = reference.find("\r\n");
    ASSERT_NE(heading_end, std::string::npos);
    reference.replace(0, heading_end, "; Orvel " + Settings{}.version_text);

    EnvGuard listing("ORVEL_FAKE_LISTING", fixture("database/listing.xml"));
    ASSERT_EQ(cli("build").status, 0);
    EXPECT_EQ(read_all(dir.file("data/ORVEL.qld")), reference);
    ASSERT_EQ(cli("favourite add mslug").status, 0);
    ASSERT_EQ(cli("favourite remove mslug").status, 0);
    EXPECT_EQ(read_all(dir.file("data/ORVEL.qld")), reference);
}

// ROM folders written the Windows way on Windows (drive, backslashes, a blank and an accent in a
// name, several folders), otherwise the POSIX way: zip and 7z romsets are found in all of them.
TEST_F(CliDatabase, ScanFindsZipAnd7zRomsetsInEveryRomFolder) {
    EnvGuard listing("ORVEL_FAKE_LISTING", fixture("database/listing.xml"));
    ASSERT_EQ(cli("build").status, 0);
    dir.write("my roms é/mslug.zip", "x");
    dir.write("more/neogeo.7z", "x");
    std::string rompath = dir.file("my roms é") + ";" + dir.file("more");
#ifdef _WIN32
    std::replace(rompath.begin(), rompath.end(), '/', '\\');
    ASSERT_EQ(rompath.substr(1, 2), ":\\");
#endif
    dir.write("mame/mame.ini", "rompath" + std::string(19, ' ') + rompath + "\n");
    const CliRun scan = cli("scan");
    ASSERT_EQ(scan.status, 0) << (scan.err.empty() ? "" : scan.err.back());
    EXPECT_EQ(scan.out, std::vector<std::string>{"Available: 6 of 9"});
    EXPECT_EQ(cli("record mslug").out.at(14), "isavailable = yes");
    EXPECT_EQ(cli("record neogeo").out.at(14), "isavailable = yes");
}

TEST_F(CliDatabase, BuildLoadsAnExistingDatabaseAndRebuildKeepsFavourites) {
    EnvGuard listing("ORVEL_FAKE_LISTING", fixture("database/listing.xml"));
    ASSERT_EQ(cli("build").status, 0);
    // Mark a favourite in the file, as the desktop program would save it.
    std::string bytes = read_all(dir.file("data/ORVEL.qld"));
    const size_t at = bytes.find("isfavourite = ", bytes.find("[kinst]"));
    ASSERT_NE(at, std::string::npos);
    bytes.insert(at + 14, "yes");
    ASSERT_TRUE(write_file_atomic(dir.file("data/ORVEL.qld"), bytes));

    // Without MAME's listing a load still works: the file is read, MAME is not asked.
    EnvGuard no_listing("ORVEL_FAKE_LISTING", "");
    const CliRun load = cli("build");
    ASSERT_EQ(load.status, 0);
    EXPECT_EQ(load.out, std::vector<std::string>{"Machines: 9"});

    EnvGuard again("ORVEL_FAKE_LISTING", fixture("database/listing.xml"));
    const CliRun rebuild = cli("build --rebuild");
    ASSERT_EQ(rebuild.status, 0);
    EXPECT_EQ(rebuild.out.back(), "Machines: 9");
    const CliRun record = cli("record kinst");
    ASSERT_GE(record.out.size(), 14u);
    EXPECT_EQ(record.out[13], "isfavourite = yes");

    // A rebuild whose MAME fails says so and leaves the database as it was.
    const std::string before = read_all(dir.file("data/ORVEL.qld"));
    EnvGuard cut("ORVEL_FAKE_LX_CUT", "600");
    EnvGuard status("ORVEL_FAKE_EXIT", "3");
    const CliRun failed = cli("build --rebuild");
    EXPECT_EQ(failed.status, 1);
    ASSERT_FALSE(failed.err.empty());
    EXPECT_EQ(failed.err.back(), "orvel-cli: MAME failed while writing its listing (exit status "
                                 "3): fake mame: listing cut short");
    EXPECT_EQ(read_all(dir.file("data/ORVEL.qld")), before);
}

TEST_F(CliDatabase, ChangesMadeAtTheSameTimeAllSurvive) {
    EnvGuard listing("ORVEL_FAKE_LISTING", fixture("database/listing.xml"));
    ASSERT_EQ(cli("build").status, 0);
    std::vector<std::vector<std::string>> changes;
    for (const char* name :
         {"a2600", "cubeqst", "kinst13", "kinst", "mslug", "neogeo", "pinball", "z80", "z80dev"})
        changes.push_back({"--data", "data", "favourite", "add", name});
    for (const char* label : {"one", "two", "three", "four", "five"})
        changes.push_back({"--data", "data", "commandline", "mslug", "add", label});
    std::vector<std::unique_ptr<ChildProcess>> commands;
    for (const std::vector<std::string>& change : changes) {
        ChildProcess::Options options;
        options.working_folder = dir.path();
        options.discard_output = true;
        commands.push_back(std::make_unique<ChildProcess>());
        ASSERT_TRUE(commands.back()->start(ORVEL_CLI, change, options));
    }
    for (auto& command : commands)
        EXPECT_EQ(command->wait(60000), 0);
    const std::string bytes = read_all(dir.file("data/ORVEL.qld"));
    size_t favourites = 0;
    for (size_t at = 0; (at = bytes.find("isfavourite = yes", at)) != std::string::npos; ++at)
        ++favourites;
    EXPECT_EQ(favourites, 9u);
    EXPECT_EQ(cli("commandline mslug").out.size(), 6u); // the default line and the five added
    EXPECT_EQ(list_directory(dir.file("data"), "*tmp*").size(), 0u);
}

TEST_F(CliDatabase, ErrorsAreReported) {
    EXPECT_EQ(cli("build --fast").status, 2);
    EXPECT_EQ(cli("record").status, 2);
    EXPECT_EQ(cli("scan").status, 1); // no database yet
    EnvGuard listing("ORVEL_FAKE_LISTING", "");
    const CliRun build = cli("build"); // the fake MAME prints nothing
    EXPECT_EQ(build.status, 1);
    EXPECT_FALSE(file_exists(dir.file("data/ORVEL.qld")));
}
