#include "database/database_file.h"
#include "database/listing_build.h"
#include "platform/files.h"
#include "support/env_guard.h"
#include "support/scripted_host.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

using namespace orvel;
using orvel::test::ScriptedHost;
using orvel::test::TempDir;

namespace {

MachineList parse_fixture() {
    MachineList machines;
    const Status parse = parse_listing_file(orvel::test::fixture("database/listing.xml"), machines);
    EXPECT_TRUE(parse.ok()) << parse.message();
    return machines;
}

const Machine& named(const MachineList& machines, const std::string& name) {
    const std::int64_t pos = find_machine(machines, name);
    EXPECT_GE(pos, 0) << name;
    return machines[static_cast<size_t>(pos < 0 ? 0 : pos)];
}

// A MAME folder and a data folder in one temporary folder.
struct Folders {
    TempDir dir;
    Settings settings;
    MamePaths paths;
    Folders() {
        set_default_settings(settings, dir.path());
        settings.MAME_Path = dir.path() + "mame/";
        settings.ORVEL_Data = dir.path() + "data/";
        settings.MAME_Exe = ORVEL_FAKE_MAME;
        settings.MAME_Version = "0.251";
        create_folders(settings.MAME_Path);
        create_folders(settings.ORVEL_Data);
    }
    std::string listing() const { return settings.MAME_Path + "orvel.tmp"; }

    // What a build works on, and the build itself.
    MachineList machines;
    ViewList view;
    bool changed = false;
    ScriptedHost host;
    Status build(const BuildOptions& options = {}) {
        return build_database(settings, paths, machines, view, changed, host, options);
    }
};

size_t characters(const std::string& utf8) {
    size_t n = 0;
    for (unsigned char c : utf8)
        n += (c & 0xC0) != 0x80;
    return n;
}

} // namespace

TEST(ListingParse, MachineAttributesAndTexts) {
    const MachineList machines = parse_fixture();
    ASSERT_EQ(machines.size(), 9u);
    EXPECT_EQ(machines[0].name, "neogeo"); // document order before sorting

    const Machine& neogeo = named(machines, "neogeo");
    EXPECT_EQ(neogeo.description, "Neo-Geo MV-6F");
    EXPECT_EQ(neogeo.year, "1990");
    EXPECT_EQ(neogeo.manufacturer, "SNK");
    EXPECT_EQ(neogeo.sourcefile, "neogeo/neogeo.cpp");
    EXPECT_TRUE(neogeo.isbios);
    EXPECT_EQ(neogeo.driver_status, "imperfect");
    EXPECT_EQ(neogeo.driver_emulation, "good");
    EXPECT_EQ(neogeo.system_type, "");
    EXPECT_TRUE(neogeo.commandlines.empty());

    const Machine& kinst13 = named(machines, "kinst13");
    EXPECT_EQ(kinst13.cloneof, "kinst");
    EXPECT_EQ(kinst13.romof, "kinst");

    const Machine& a2600 = named(machines, "a2600");
    EXPECT_EQ(a2600.description, "Atari 2600 (NTSC) & friends"); // entities decoded
    EXPECT_EQ(a2600.sampleof, "a2600s");
    EXPECT_EQ(a2600.softwarelists, (std::vector<std::string>{"a2600", "a2600_cass"}));

    const Machine& z80 = named(machines, "z80");
    EXPECT_TRUE(z80.isdevice);
    EXPECT_FALSE(z80.runnable);
    EXPECT_EQ(z80.year, "");

    const Machine& pinball = named(machines, "pinball");
    EXPECT_TRUE(pinball.ismechanical);
    EXPECT_EQ(pinball.description, "Pinball <Mechanical>");
    EXPECT_EQ(pinball.manufacturer, "<unknown>");
}

TEST(ListingParse, NestedListsInDocumentOrder) {
    const MachineList machines = parse_fixture();
    const Machine& neogeo = named(machines, "neogeo");
    ASSERT_EQ(neogeo.bios_sets.size(), 3u);
    EXPECT_EQ(neogeo.bios_sets[0].bios_name, "euro");
    EXPECT_EQ(neogeo.bios_sets[0].bios_description, "Europe MVS (Ver. 2)");
    EXPECT_EQ(neogeo.bios_sets[2].bios_name, "japan");
    EXPECT_EQ(neogeo.bios_sets[2].bios_description, "Japan MVS (Ver. 3)");

    // Only overall, only status, and both.
    ASSERT_EQ(neogeo.driver_features.size(), 1u);
    EXPECT_EQ(neogeo.driver_features[0].driver_feature_type, "sound");
    EXPECT_EQ(neogeo.driver_features[0].driver_feature_status, "");
    EXPECT_EQ(neogeo.driver_features[0].driver_feature_overall, "imperfect");
    const Machine& mslug = named(machines, "mslug");
    ASSERT_EQ(mslug.driver_features.size(), 2u);
    EXPECT_EQ(mslug.driver_features[0].driver_feature_status, "imperfect");
    EXPECT_EQ(mslug.driver_features[0].driver_feature_overall, "");
    EXPECT_EQ(mslug.driver_features[1].driver_feature_type, "timing");
    EXPECT_EQ(mslug.driver_features[1].driver_feature_status, "unemulated");
    EXPECT_EQ(mslug.driver_features[1].driver_feature_overall, "imperfect");
}

TEST(ListingParse, RomsDisksAndDisplays) {
    const MachineList machines = parse_fixture();
    // A rom, whatever its status, means ROMs are needed; disks alone do not.
    EXPECT_TRUE(named(machines, "kinst").requires_roms);
    EXPECT_EQ(named(machines, "kinst").disks, std::vector<std::string>{"kinst"});
    EXPECT_FALSE(named(machines, "kinst13").requires_roms);
    EXPECT_EQ(named(machines, "kinst13").disks, std::vector<std::string>{"kinst13"});
    EXPECT_FALSE(named(machines, "a2600").requires_roms);

    // A later display overwrites an earlier one; no display leaves both empty.
    EXPECT_EQ(named(machines, "cubeqst").screen_type, "vector");
    EXPECT_EQ(named(machines, "cubeqst").screen_rotate, "270");
    EXPECT_EQ(named(machines, "neogeo").screen_type, "raster");
    EXPECT_EQ(named(machines, "neogeo").screen_rotate, "0");
    EXPECT_EQ(named(machines, "z80").screen_type, "");
    EXPECT_EQ(named(machines, "z80").screen_rotate, "");
}

TEST(ListingParse, MalformedListingReportsLineAndCharacter) {
    MachineList machines;
    const Status parse = parse_listing_text("<mame>\n<machine name=\"a\">\n</mame>\n", machines);
    EXPECT_TRUE(parse.is(FailureKind::Malformed));
    EXPECT_EQ(parse.message(),
              "Error in the XML file:\nMessage: mismatched tag\nLine: 3   Character: 3");
}

// A name is a file name and one of MAME's arguments: a name that could leave a folder or become
// several arguments or an option leaves its machine out, with nothing of it written anywhere.
TEST(ListingParse, MachinesWithoutPlainNamesAreLeftOutAndCounted) {
    std::string xml = "<mame>";
    for (const char* name : {"../../etc/x", "a b", "-autoboot_script", ".hidden", "a\\b", "a/b",
                             "x&#10;y", "x&#9;y", "", "pac..man"})
        xml += std::string("<machine name=\"") + name +
               "\" cloneof=\"wrong\"><description>Bad</description><rom name=\"r\" size=\"1\"/>"
               "<softwarelist name=\"nes\"/></machine>";
    xml += "<machine sourcefile=\"s.cpp\"/>" // no name at all: nothing, not counted
           "<machine name=\"ok_1\"><softwarelist name=\"../x\"/><softwarelist name=\"nes\"/>"
           "</machine></mame>";
    MachineList machines;
    RomData roms;
    std::size_t left_out = 0;
    ASSERT_TRUE(parse_listing_text(xml, machines, &roms, &left_out));
    EXPECT_EQ(left_out, 10u);
    ASSERT_EQ(machines.size(), 1u);
    EXPECT_EQ(machines[0].name, "ok_1");
    EXPECT_EQ(machines[0].sourcefile, "");
    EXPECT_EQ(machines[0].softwarelists, std::vector<std::string>{"nes"});
    EXPECT_EQ(roms.sets().size(), 1u);

    // The build says how many it left out.
    Folders f;
    f.settings.MAME_Exe = f.dir.path() + "no-such-mame";
    ASSERT_TRUE(write_file_atomic(f.listing(), xml));
    ASSERT_TRUE(f.build());
    EXPECT_EQ(f.machines.size(), 1u);
    EXPECT_EQ(f.host.messages(), std::vector<std::string>{"Listing: " + left_out_text(10)});
    EXPECT_EQ(left_out_text(10).rfind("10 machines were left out of the database", 0), 0u);
}

TEST(ListingParse, SortIsByDescriptionWithoutCaseAndStable) {
    MachineList machines = parse_fixture();
    sort_by_description(machines);
    std::vector<std::string> names;
    for (const Machine& m : machines)
        names.push_back(m.name);
    EXPECT_EQ(names, (std::vector<std::string>{"a2600", "cubeqst", "kinst13", "kinst", "mslug",
                                               "neogeo", "pinball", "z80", "z80dev"}));
}

TEST(BuildDatabase, ReusesALeftOverListingWithoutRunningMame) {
    Folders f;
    f.settings.MAME_Exe = f.dir.path() + "no-such-mame";
    copy_file(orvel::test::fixture("database/listing.xml"), f.listing());
    const Status result = f.build();
    EXPECT_TRUE(result.ok()) << result.message();
    EXPECT_FALSE(f.changed);
    EXPECT_TRUE(f.host.console.empty()); // MAME was not asked
    EXPECT_FALSE(file_exists(f.listing()));
    EXPECT_EQ(f.host.progress,
              (std::vector<std::string>{"Loading XML Data...", "Processing XML Data...",
                                        "Checking ROM Availability...", "Sorting Database...",
                                        "Saving Quickload File...", "Saving Database...", ""}));

    ASSERT_EQ(f.machines.size(), 9u);
    EXPECT_EQ(f.machines.front().name, "a2600");
    EXPECT_EQ(f.view, (ViewList{0, 1, 2, 3, 4, 5, 6, 7, 8}));
    for (const Machine& m : f.machines) {
        ASSERT_EQ(m.commandlines.size(), 1u) << m.name;
        EXPECT_EQ(m.commandlines[0].commandline_name, "Default");
        EXPECT_EQ(m.commandlines[0].commandline_string, "");
        EXPECT_EQ(m.commandlines[0].commandline_bios, -1);
    }

    // The saved file reads back as the same list.
    MachineList loaded;
    ViewList loaded_view;
    ASSERT_TRUE(load_database(f.settings, loaded, loaded_view, f.host));
    ASSERT_EQ(loaded.size(), f.machines.size());
    for (size_t i = 0; i < loaded.size(); ++i) {
        EXPECT_EQ(loaded[i].name, f.machines[i].name);
        EXPECT_EQ(loaded[i].bios_sets.size(), f.machines[i].bios_sets.size());
    }
}

TEST(BuildDatabase, AsksMameForItsListingBehindTheBanner) {
    Folders f;
    Status result;
    {
        orvel::test::EnvGuard listing("ORVEL_FAKE_LISTING",
                                      orvel::test::fixture("database/listing.xml"));
        result = f.build();
    }
    EXPECT_TRUE(result.ok()) << result.message();
    EXPECT_EQ(f.machines.size(), 9u);
    EXPECT_FALSE(file_exists(f.listing()));
    EXPECT_GT(file_size(database_path(f.settings)), 0);

    const std::vector<std::string> banner = build_banner(f.settings);
    ASSERT_EQ(f.host.console.size(), banner.size() + 2);
    EXPECT_EQ(f.host.console.front(), "open:Starting Orvel...");
    EXPECT_EQ(f.host.console.back(), "close");
    EXPECT_EQ(f.host.console[1], "");
    EXPECT_EQ(f.host.console[2], "╔═════════════════════════════╗");
    EXPECT_EQ(f.host.console[4], "║            Orvel            ║");
    EXPECT_EQ(f.host.console[6], "║         V0.050 Alpha        ║");
    EXPECT_EQ(f.host.console[8], "║  Found Mame Version 0.251   ║");
    EXPECT_EQ(f.host.console[10], "║  Generating Mame XML File.  ║");
    EXPECT_EQ(f.host.console[14], "║ This May Take A Few Minutes ║");
    EXPECT_EQ(f.host.console[16], "╚═════════════════════════════╝");
    // Each box line is 31 characters wide.
    for (size_t i = 2; i <= 16; ++i) {
        if (i != 8) {
            EXPECT_EQ(characters(f.host.console[i]), 31u) << f.host.console[i];
        }
    }
}

TEST(BuildDatabase, MalformedListingShowsTheErrorAndEnds) {
    Folders f;
    write_file_atomic(f.listing(), "<mame>\n<machine name=\"a\">\n</mame>\n");
    const Status result = f.build();
    EXPECT_TRUE(result.is(FailureKind::Malformed));
    EXPECT_EQ(f.host.messages(),
              std::vector<std::string>{"Error: Error in the XML file:\nMessage: "
                                       "mismatched tag\nLine: 3   Character: 3"});
    EXPECT_TRUE(f.machines.empty());
    EXPECT_FALSE(file_exists(database_path(f.settings)));
    // Not reused at the next start: MAME is asked again.
    EXPECT_FALSE(file_exists(f.listing()));
}

TEST(BuildDatabase, MameWritingNothingLeavesNoDatabase) {
    Folders f;
    orvel::test::EnvGuard no_listing("ORVEL_FAKE_LISTING", ""); // the fake MAME prints nothing
    const Status result = f.build();
    EXPECT_TRUE(result.is(FailureKind::Missing));
    EXPECT_TRUE(f.machines.empty());
    EXPECT_TRUE(f.host.messages().empty());
    EXPECT_FALSE(file_exists(database_path(f.settings)));
    EXPECT_FALSE(file_exists(f.listing()));
}

TEST(BuildDatabase, CarriesFavouritesAndCommandLinesIntoTheNewRecords) {
    MachineList old(2);
    old[0].name = "neogeo";
    old[0].isfavourite = true;
    old[0].commandlines = {{"Default", "", 2}, {"Fast", "-nothrottle", 5}};
    old[1].name = "gone";
    old[1].isfavourite = true;
    MachineList machines = parse_fixture();
    for (Machine& m : machines)
        m.commandlines.push_back(default_commandline());
    carry_user_data(old, machines);
    const Machine& neogeo = named(machines, "neogeo");
    EXPECT_TRUE(neogeo.isfavourite);
    ASSERT_EQ(neogeo.commandlines.size(), 2u);
    EXPECT_EQ(neogeo.commandlines[0].commandline_bios, 2);  // still one of its 3 BIOS sets
    EXPECT_EQ(neogeo.commandlines[1].commandline_bios, -1); // position 5 no longer exists
    EXPECT_EQ(neogeo.commandlines[1].commandline_string, "-nothrottle");
    EXPECT_FALSE(named(machines, "mslug").isfavourite);
    EXPECT_EQ(named(machines, "mslug").commandlines.size(), 1u);
}

TEST(BuildDatabase, AListingRunThatFallsSilentIsEndedAndReported) {
    Folders f;
    orvel::test::EnvGuard listing("ORVEL_FAKE_LISTING",
                                  orvel::test::fixture("database/listing.xml"));
    orvel::test::EnvGuard cut("ORVEL_FAKE_LX_CUT", "600"); // then silent for an hour
    BuildOptions options;
    options.listing_silence_ms = 500;
    const auto begin = std::chrono::steady_clock::now();
    const Status result = f.build(options);
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(10));
    EXPECT_TRUE(result.is(FailureKind::Error));
    EXPECT_EQ(f.host.messages(), std::vector<std::string>{"Error: MAME wrote nothing for 0.5 "
                                                          "seconds while writing its listing and "
                                                          "was ended."});
    EXPECT_TRUE(f.machines.empty());
    EXPECT_FALSE(file_exists(database_path(f.settings)));
    EXPECT_FALSE(file_exists(f.listing()));
}

TEST(BuildDatabase, AFailedListingRunOrWriteIsReportedWithItsReason) {
    orvel::test::EnvGuard listing("ORVEL_FAKE_LISTING",
                                  orvel::test::fixture("database/listing.xml"));
    struct Case {
        const char* cut;      // where the fake MAME stops, failing
        bool disk_full;       // the listing file on a full disk
        std::string expected; // after "Error: "
    };
    const Case cases[] = {
        {"600", false,
         "MAME failed while writing its listing (exit status 3): fake mame: listing cut short"},
        {"", true, "The listing could not be written to LISTING: No space left on device"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        Folders f;
        orvel::test::EnvGuard cut("ORVEL_FAKE_LX_CUT", c.cut);
        orvel::test::EnvGuard status("ORVEL_FAKE_EXIT", "3");
#ifdef _WIN32
        if (c.disk_full) continue; // a full disk is a POSIX device file
#else
        if (c.disk_full) std::filesystem::create_symlink("/dev/full", f.listing());
#endif
        const Status result = f.build();
        EXPECT_TRUE(result.is(FailureKind::Error));
        std::string expected = c.expected;
        if (const size_t at = expected.find("LISTING"); at != std::string::npos)
            expected.replace(at, 7, f.listing());
        EXPECT_EQ(f.host.messages(), std::vector<std::string>{"Error: " + expected});
        EXPECT_TRUE(f.machines.empty());
        EXPECT_FALSE(file_exists(database_path(f.settings)));
    }
}

// While a slow MAME writes its listing, the count of machines read rises, against the machines
// of the database being replaced.
TEST(BuildDatabase, TheListingCountsTheMachinesReadSoFar) {
    Folders f;
    orvel::test::EnvGuard listing("ORVEL_FAKE_LISTING",
                                  orvel::test::fixture("database/listing.xml"));
    orvel::test::EnvGuard slow("ORVEL_FAKE_LX_DELAY_MS", "200");
    const MachineList old(5);
    BuildOptions options;
    options.carry_from = &old;
    ASSERT_TRUE(f.build(options).ok());
    ASSERT_GE(f.host.counts.size(), 3u);
    // A busy machine may hand two pieces over with no machine between them: the count never
    // falls, and it rises over the run.
    for (size_t i = 0; i < f.host.counts.size(); ++i) {
        EXPECT_EQ(f.host.counts[i].second, 5u);
        if (i > 0) {
            EXPECT_GE(f.host.counts[i].first, f.host.counts[i - 1].first);
        }
    }
    EXPECT_LT(f.host.counts.front().first, f.host.counts.back().first);
    EXPECT_LE(f.host.counts.back().first, 9u);
}

TEST(BuildDatabase, ALeftOverListingIsReusedOnlyWhenComplete) {
    Folders f;
    const std::string full = orvel::test::read_all(orvel::test::fixture("database/listing.xml"));
    // Cut off right after a machine, as an interrupted build leaves it.
    const size_t cut = full.find("</machine>") + 11;
    write_file_atomic(f.listing(), full.substr(0, cut));
    orvel::test::EnvGuard listing("ORVEL_FAKE_LISTING",
                                  orvel::test::fixture("database/listing.xml"));
    const Status result = f.build();
    EXPECT_TRUE(result.ok()) << result.message();
    EXPECT_EQ(f.machines.size(), 9u);
    EXPECT_FALSE(f.host.console.empty()); // MAME was asked
    EXPECT_TRUE(f.host.messages().empty());
}
