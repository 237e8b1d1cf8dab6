#include "database/database_file.h"
#include "platform/files.h"
#include "support/scripted_host.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>

#ifndef _WIN32
#include <sys/resource.h>
#endif

using namespace orvel;
using orvel::test::read_all;
using orvel::test::ScriptedHost;
using orvel::test::TempDir;

namespace {

Machine parent_with_one_bios() {
    Machine m;
    m.name = "pacman";
    m.description = "Pac-Man (Midway)";
    m.sourcefile = "namco/pacman.cpp";
    m.year = "1980";
    m.manufacturer = "Namco (Midway license)";
    m.requires_roms = true;
    m.isavailable = true;
    m.screen_type = "raster";
    m.screen_rotate = "90";
    m.driver_status = "good";
    m.driver_emulation = "good";
    m.commandlines.push_back(default_commandline());
    m.bios_sets.push_back({"default", "Default BIOS"});
    return m;
}

Machine full_record() {
    Machine m = parent_with_one_bios();
    m.name = "kinst";
    m.description = "Killer Instinct = v1.5d"; // values may hold "="
    m.system_type = "arcade";
    m.cloneof = "kinstp";
    m.romof = "kinstp";
    m.sampleof = "kinsts";
    m.isbios = true;
    m.isdevice = true;
    m.ismechanical = true;
    m.isfavourite = true;
    m.runnable = false;
    m.commandlines.push_back({"Fast = quick", "-nothrottle -bios x=y", 0});
    m.driver_features = {{"sound", "", "imperfect"}, {"graphics", "imperfect", ""}};
    m.bios_sets.push_back({"asia", "Asia (Ver. 3)"});
    m.softwarelists = {"snes", "snes_bspack"};
    m.disks = {"kinst", "kinst2"};
    return m;
}

void expect_same(const Machine& a, const Machine& b) {
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.description, b.description);
    EXPECT_EQ(a.system_type, b.system_type);
    EXPECT_EQ(a.sourcefile, b.sourcefile);
    EXPECT_EQ(a.romof, b.romof);
    EXPECT_EQ(a.cloneof, b.cloneof);
    EXPECT_EQ(a.year, b.year);
    EXPECT_EQ(a.manufacturer, b.manufacturer);
    EXPECT_EQ(a.sampleof, b.sampleof);
    EXPECT_EQ(a.requires_roms, b.requires_roms);
    EXPECT_EQ(a.isbios, b.isbios);
    EXPECT_EQ(a.isdevice, b.isdevice);
    EXPECT_EQ(a.ismechanical, b.ismechanical);
    EXPECT_EQ(a.isfavourite, b.isfavourite);
    EXPECT_EQ(a.isavailable, b.isavailable);
    EXPECT_EQ(a.runnable, b.runnable);
    EXPECT_EQ(a.screen_type, b.screen_type);
    EXPECT_EQ(a.screen_rotate, b.screen_rotate);
    EXPECT_EQ(a.driver_status, b.driver_status);
    EXPECT_EQ(a.driver_emulation, b.driver_emulation);
    ASSERT_EQ(a.commandlines.size(), b.commandlines.size());
    for (size_t i = 0; i < a.commandlines.size(); ++i) {
        EXPECT_EQ(a.commandlines[i].commandline_name, b.commandlines[i].commandline_name);
        EXPECT_EQ(a.commandlines[i].commandline_string, b.commandlines[i].commandline_string);
        EXPECT_EQ(a.commandlines[i].commandline_bios, b.commandlines[i].commandline_bios);
    }
    ASSERT_EQ(a.driver_features.size(), b.driver_features.size());
    for (size_t i = 0; i < a.driver_features.size(); ++i) {
        EXPECT_EQ(a.driver_features[i].driver_feature_type,
                  b.driver_features[i].driver_feature_type);
        EXPECT_EQ(a.driver_features[i].driver_feature_status,
                  b.driver_features[i].driver_feature_status);
        EXPECT_EQ(a.driver_features[i].driver_feature_overall,
                  b.driver_features[i].driver_feature_overall);
    }
    ASSERT_EQ(a.bios_sets.size(), b.bios_sets.size());
    for (size_t i = 0; i < a.bios_sets.size(); ++i) {
        EXPECT_EQ(a.bios_sets[i].bios_name, b.bios_sets[i].bios_name);
        EXPECT_EQ(a.bios_sets[i].bios_description, b.bios_sets[i].bios_description);
    }
    EXPECT_EQ(a.softwarelists, b.softwarelists);
    EXPECT_EQ(a.disks, b.disks);
}

struct DataFolder {
    TempDir dir;
    Settings settings;
    DataFolder() {
        set_default_settings(settings, dir.path());
        settings.MAME_Version = "0.251";
    }
};

const char* const pacman_section = "\r\n"
                                   "[pacman]\r\n"
                                   "description = Pac-Man (Midway)\r\n"
                                   "sourcefile = namco/pacman.cpp\r\n"
                                   "romof = \r\n"
                                   "cloneof = \r\n"
                                   "year = 1980\r\n"
                                   "manufacturer = Namco (Midway license)\r\n"
                                   "sampleof = \r\n"
                                   "system_type = \r\n"
                                   "requires_roms = yes\r\n"
                                   "isbios = \r\n"
                                   "isdevice = \r\n"
                                   "ismechanical = \r\n"
                                   "isfavourite = \r\n"
                                   "isavailable = yes\r\n"
                                   "runnable = \r\n"
                                   "screen_type = raster\r\n"
                                   "screen_rotate = 90\r\n"
                                   "driver_status = good\r\n"
                                   "driver_emulation = good\r\n"
                                   "commandline_name = Default\r\n"
                                   "commandline_string = \r\n"
                                   "commandline_bios = -1\r\n"
                                   "bios_name = default\r\n"
                                   "bios_description = Default BIOS\r\n"
                                   "\r\n";

} // namespace

TEST(DatabaseFile, WritesHeadingAndRecordSectionsExactly) {
    DataFolder d;
    MachineList machines{parent_with_one_bios()};
    Machine bare;
    bare.name = "z80";
    machines.push_back(bare);
    bool changed = true;
    ScriptedHost host;
    ASSERT_TRUE(save_database(machines, d.settings, changed, host).ok());
    EXPECT_FALSE(changed);
    const std::string bytes = read_all(database_path(d.settings));
    const std::string heading = "; Orvel V0.050 Alpha\r\n; Game Database File\r\n;\r\n"
                                "; Mame v0.251\r\n; Entries: 2\r\n";
    ASSERT_EQ(bytes.substr(0, heading.size()), heading);
    ASSERT_EQ(bytes.substr(heading.size(), std::string(pacman_section).size()), pacman_section);
    // A record with empty nested lists has exactly the 19 key lines.
    const std::string rest = bytes.substr(heading.size() + std::string(pacman_section).size());
    EXPECT_EQ(rest.substr(0, 12), "\r\n[z80]\r\ndes");
    size_t lines = 0;
    for (size_t p = rest.find("[z80]"); (p = rest.find("\r\n", p)) != std::string::npos; p += 2)
        ++lines;
    EXPECT_EQ(lines, 1u + 19u + 1u); // "[z80]" line end, the key lines, the closing empty line
    EXPECT_EQ(bytes.substr(bytes.size() - 5), " \r\n\r\n");
    EXPECT_EQ(bytes.find("\xEF\xBB\xBF"), std::string::npos);
    EXPECT_EQ(host.progress, (std::vector<std::string>{"Saving Database...", ""}));

    EXPECT_EQ(find_record_section(bytes, "pacman"),
              std::string(pacman_section).substr(2, std::string(pacman_section).size() - 4));
    EXPECT_EQ(find_record_section(bytes, "pacma"), "");
}

TEST(DatabaseFile, RoundTripKeepsEveryField) {
    DataFolder d;
    MachineList machines{full_record(), parent_with_one_bios()};
    bool changed = true;
    ScriptedHost host;
    ASSERT_TRUE(save_database(machines, d.settings, changed, host).ok());
    MachineList loaded;
    ViewList view{7, 8, 9};
    ASSERT_TRUE(load_database(d.settings, loaded, view, host).ok());
    ASSERT_EQ(loaded.size(), 2u);
    expect_same(loaded[0], machines[0]);
    expect_same(loaded[1], machines[1]);
    EXPECT_EQ(view, (ViewList{0, 1}));
    EXPECT_TRUE(host.messages().empty());
}

TEST(DatabaseFile, LoadReadsRecordsThatStraddleItsReadBlocks) {
    // Well over one read block (1 MiB), so that lines are split between blocks.
    DataFolder d;
    MachineList machines;
    for (int i = 0; i < 2500; ++i) {
        machines.push_back(i % 2 ? full_record() : parent_with_one_bios());
        machines.back().name += std::to_string(i);
        machines.back().description.append(static_cast<size_t>(i % 300), 'x');
    }
    bool changed = true;
    ScriptedHost host;
    ASSERT_TRUE(save_database(machines, d.settings, changed, host).ok());
    ASSERT_GT(file_size(database_path(d.settings)), 2 << 20);
    MachineList loaded;
    ViewList view;
    ASSERT_TRUE(load_database(d.settings, loaded, view, host).ok());
    ASSERT_EQ(loaded.size(), machines.size());
    for (size_t i = 0; i < machines.size(); ++i)
        expect_same(loaded[i], machines[i]);
}

TEST(DatabaseFile, FlagsReadOnlyTheWordsTheFileWrites) {
    struct Case {
        const char* lines;
        bool isbios, runnable;
    };
    const Case cases[] = {
        {"isbios = yes\nrunnable = no\n", true, false},
        {"isbios = \nrunnable = \n", false, true},
        {"isbios = Yes\nrunnable = yes\n", false, true},
        {"", false, true},
    };
    for (const Case& c : cases) {
        MachineList machines;
        parse_database(std::string("[a]\n") + c.lines, machines);
        ASSERT_EQ(machines.size(), 1u);
        EXPECT_EQ(machines[0].isbios, c.isbios) << c.lines;
        EXPECT_EQ(machines[0].runnable, c.runnable) << c.lines;
    }
}

TEST(DatabaseFile, ReaderToleratesDamagedFiles) {
    // No final empty line, LF line ends, a nameless record, unknown keys, nested values before
    // the line that opens them, a BIOS choice that is no number.
    const std::string text = "; heading\n"
                             "\n[]\ndescription = lost\n\n"
                             "[a]\nbios_description = orphan\ncommandline_bios = 3\n"
                             "colour = red\ndescription = A = B\ncommandline_name = Default\n"
                             "commandline_bios = -1\ncommandline_name = X\ncommandline_bios = x\n"
                             "\n\n[b]\r\ndescription = B\r\nyear = 1999";
    MachineList machines;
    parse_database(text, machines);
    ASSERT_EQ(machines.size(), 2u);
    EXPECT_EQ(machines[0].name, "a");
    EXPECT_EQ(machines[0].description, "A = B");
    EXPECT_TRUE(machines[0].bios_sets.empty());
    ASSERT_EQ(machines[0].commandlines.size(), 2u);
    EXPECT_EQ(machines[0].commandlines[0].commandline_bios, -1);
    EXPECT_EQ(machines[0].commandlines[1].commandline_bios, -1);
    EXPECT_EQ(machines[1].name, "b");
    EXPECT_EQ(machines[1].year, "1999");

    // Cut anywhere, a saved file still yields every record that was complete.
    std::string saved;
    append_database_heading(saved, Settings{}, 3);
    MachineList three{full_record(), parent_with_one_bios(), full_record()};
    three[2].name = "last";
    for (const Machine& m : three)
        append_record_section(saved, m);
    for (size_t cut = 0; cut <= saved.size(); cut += 7) {
        MachineList part;
        parse_database(std::string_view(saved).substr(0, cut), part);
        const size_t second_end = saved.find("[last]");
        if (cut >= second_end) {
            ASSERT_GE(part.size(), 2u) << cut;
        }
        if (cut == saved.size()) {
            ASSERT_EQ(part.size(), 3u);
            expect_same(part[2], three[2]);
        }
    }
}

TEST(DatabaseFile, LineBreaksInValuesAreWrittenAsBlanks) {
    // A value with a line break must not end the record: what follows it is kept.
    Machine m = parent_with_one_bios();
    m.description = "Two\nLines\r\nHere";
    m.commandlines.push_back(CommandLine{"Line\rbreak", "-x\n-y", 0});
    std::string saved;
    append_record_section(saved, m);
    MachineList loaded;
    parse_database(saved, loaded);
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(loaded[0].description, "Two Lines  Here");
    ASSERT_EQ(loaded[0].commandlines.size(), m.commandlines.size());
    EXPECT_EQ(loaded[0].commandlines.back().commandline_name, "Line break");
    EXPECT_EQ(loaded[0].commandlines.back().commandline_string, "-x -y");
    EXPECT_EQ(loaded[0].bios_sets.size(), m.bios_sets.size());
}

TEST(DatabaseFile, DamagedOrHugeFilesAreReadWithinBounds) {
    // Every "[" might open a record, but the reservation follows what the bytes can hold.
    const std::string brackets(1 << 20, '[');
    MachineList machines;
    parse_database(brackets, machines);
    EXPECT_LE(machines.capacity(), brackets.size() / 100);

    // A file larger than any real database is refused without being read.
    DataFolder d;
    const std::string path = database_path(d.settings);
    ASSERT_TRUE(create_folders(d.settings.ORVEL_Data));
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(std::fseek(f, static_cast<long>(max_database_bytes), SEEK_SET), 0);
    ASSERT_EQ(std::fputc('\n', f), '\n'); // sparse: takes no room on disk
    std::fclose(f);
    ViewList view;
    ScriptedHost host;
    EXPECT_FALSE(load_database(d.settings, machines, view, host).ok());
    EXPECT_TRUE(machines.empty());
    ASSERT_EQ(host.messages().size(), 1u);
    EXPECT_EQ(host.messages()[0],
              "Oops: The database file is too large to be read (more than 1 GB): " + path);
}

TEST(DatabaseFile, AFileThatCannotBeReadIsNamedWithTheReason) {
    // A folder in place of the file cannot be read even by root, unlike a file without rights.
    for (const bool folder : {false, true}) {
        DataFolder d;
        if (folder) {
            ASSERT_TRUE(create_folders(database_path(d.settings) + "/"));
        }
        MachineList machines{parent_with_one_bios()};
        ViewList view{0};
        ScriptedHost host;
        const Status loaded = load_database(d.settings, machines, view, host);
        EXPECT_EQ(loaded.is(FailureKind::Missing), !folder);
        EXPECT_TRUE(machines.empty());
        EXPECT_TRUE(view.empty());
        const std::string reason = folder ? test::folder_read_reason : "No such file or directory";
        EXPECT_EQ(host.messages(),
                  std::vector<std::string>{"Oops: The database file could not be read: " +
                                           database_path(d.settings) + " (" + reason + ")"});
    }
}

TEST(DatabaseFile, BackupHoldsTheFileAsItWasBeforeTheSave) {
    DataFolder d;
    d.settings.ORVEL_DB_Backup = 1;
    MachineList machines{parent_with_one_bios()};
    bool changed = true;
    ScriptedHost host;
    ASSERT_TRUE(save_database(machines, d.settings, changed, host).ok());
    EXPECT_FALSE(file_exists(database_backup_path(d.settings)));
    const std::string first = read_all(database_path(d.settings));
    machines[0].isfavourite = true;
    ASSERT_TRUE(save_database(machines, d.settings, changed, host).ok());
    EXPECT_EQ(read_all(database_backup_path(d.settings)), first);
    EXPECT_NE(read_all(database_path(d.settings)), first);
    EXPECT_EQ(host.progress,
              (std::vector<std::string>{"Saving Database...", "", "Backing Up Database", "",
                                        "Saving Database...", ""}));
}

#ifndef _WIN32 // a file size limit is a POSIX resource limit
TEST(DatabaseFile, FailedSaveKeepsTheOldFileAndTheChangedFlag) {
    DataFolder d;
    MachineList machines{parent_with_one_bios()};
    bool changed = true;
    ScriptedHost host;
    ASSERT_TRUE(save_database(machines, d.settings, changed, host).ok());
    const std::string before = read_all(database_path(d.settings));
    // A file size limit makes the write fail (even for root).
    machines[0].isfavourite = true;
    changed = true;
    rlimit old_limit{};
    ::getrlimit(RLIMIT_FSIZE, &old_limit);
    const auto old_signal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old_limit;
    small.rlim_cur = 100;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const Status result = save_database(machines, d.settings, changed, host);
    ::setrlimit(RLIMIT_FSIZE, &old_limit);
    std::signal(SIGXFSZ, old_signal);
    EXPECT_FALSE(result.ok());
    EXPECT_NE(result.message().find("ORVEL.qld (File too large)"), std::string::npos)
        << result.message();
    EXPECT_EQ(list_directory(d.settings.ORVEL_Data).size(), 1u); // no temporary file left
    EXPECT_TRUE(changed);
    EXPECT_EQ(read_all(database_path(d.settings)), before);
}
#endif

TEST(DatabaseFile, ASaveWithoutItsBackupOrDataFolderFailsAndSaysWhy) {
    // Either way nothing is written: the old file (when there is one) stays, the list stays
    // unsaved, and the failure names what could not be made.
    enum Blocked { Backup, Folder };
    for (const Blocked blocked : {Backup, Folder}) {
        SCOPED_TRACE(blocked == Backup ? "backup" : "data folder");
        DataFolder d;
        MachineList machines{parent_with_one_bios()};
        bool changed = true;
        ScriptedHost host;
        ASSERT_TRUE(save_database(machines, d.settings, changed, host).ok());
        std::string expected;
        if (blocked == Backup) {
            // A folder where the backup file belongs cannot be replaced by a file.
            d.settings.ORVEL_DB_Backup = 1;
            ASSERT_TRUE(create_folder(database_backup_path(d.settings)));
            expected =
                "The database backup could not be written: " + database_backup_path(d.settings) +
                " (";
        } else {
            // A data folder below a plain file cannot be created.
            d.settings.ORVEL_Data = database_path(d.settings) + "/data/";
            expected = "The data folder could not be created: " + d.settings.ORVEL_Data + " (";
        }
        const std::string before = read_all(d.dir.file("ORVEL.qld"));
        machines[0].isfavourite = true;
        changed = true;
        const Status saved = save_database(machines, d.settings, changed, host);
        ASSERT_FALSE(saved.ok());
        EXPECT_EQ(saved.message().substr(0, expected.size()), expected);
        EXPECT_TRUE(changed);
        EXPECT_EQ(read_all(d.dir.file("ORVEL.qld")), before);
    }
}
