#include "database/availability.h"
#include "support/scripted_host.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace orvel;
using orvel::test::ScriptedHost;
using orvel::test::TempDir;

namespace {

Machine machine(const std::string& name, bool roms = true) {
    Machine m;
    m.name = name;
    m.requires_roms = roms;
    m.isavailable = true; // stale: every scan starts afresh
    return m;
}

std::vector<std::string> available(const MachineList& machines) {
    std::vector<std::string> names;
    for (const Machine& m : machines)
        if (m.isavailable) names.push_back(m.name);
    return names;
}

// A MAME folder with a relative ROM folder "roms" and an absolute one elsewhere.
struct RomFolders {
    TempDir mame;
    TempDir other;
    std::string rompath() const { return "roms;" + other.path(); }
    void add(const std::string& relative_to_roms) const {
        mame.write("roms/" + relative_to_roms, "x");
    }
};

MachineList sample() {
    MachineList list;
    list.push_back(machine("pacman"));
    list.push_back(machine("galaga"));
    Machine puckman = machine("puckman");
    puckman.cloneof = "pacman";
    puckman.romof = "pacman";
    list.push_back(puckman);
    Machine kinst = machine("kinst");
    kinst.disks = {"kinst"};
    list.push_back(kinst);
    Machine kinst13 = machine("kinst13");
    kinst13.cloneof = "kinst";
    kinst13.romof = "kinst";
    kinst13.disks = {"kinst13"};
    list.push_back(kinst13);
    Machine z80 = machine("z80dev");
    z80.isdevice = true;
    list.push_back(z80);
    list.push_back(machine("pong", false));
    list.push_back(machine("vic10"));
    Machine mslug = machine("mslug");
    mslug.romof = "neogeo";
    list.push_back(mslug);
    Machine neogeo = machine("neogeo");
    neogeo.isbios = true;
    list.push_back(neogeo);
    return list;
}

} // namespace

TEST(Availability, RomsetsDirectlyInAFolderWithoutRegardToCase) {
    RomFolders f;
    f.add("PacMan.ZIP");              // case differs
    f.add("sub/galaga.zip");          // a zip in a subfolder is not where MAME looks
    f.other.write("neogeo.zip", "x"); // the absolute folder
    MachineList list = sample();
    ScriptedHost host;
    const AvailabilityResult r = check_availability(list, f.rompath(), f.mame.path(), host);
    EXPECT_TRUE(r.scanned);
    EXPECT_EQ(r.found_files, 3u);
    // puckman is a clone of pacman; pong and vic10 need nothing; the device counts once
    // anything was found. kinst13 has only a missing disk; mslug only borrows from neogeo.
    EXPECT_EQ(available(list),
              (std::vector<std::string>{"pacman", "puckman", "z80dev", "pong", "vic10", "neogeo"}));
    EXPECT_EQ(r.available, 6u);

    // Running it again gives the same answer.
    check_availability(list, f.rompath(), f.mame.path(), host);
    EXPECT_EQ(available(list).size(), 6u);
}

TEST(Availability, BorrowedRomsetsMustBeFound) {
    RomFolders f;
    f.add("galaga.zip");
    MachineList list = sample();
    ScriptedHost host;
    check_availability(list, f.rompath(), f.mame.path(), host);
    // pacman and neogeo are in the database but not on disk: their borrowers stay missing.
    EXPECT_EQ(available(list), (std::vector<std::string>{"galaga", "z80dev", "pong", "vic10"}));
}

TEST(Availability, DisksLieInTheFolderOfTheParent) {
    RomFolders f;
    f.add("kinst/KINST13.chd"); // the clone's disk in the parent's folder
    f.add("kinst13/kinst.chd"); // the parent's disk in the wrong folder
    f.add("kinst.chd");         // a disk directly in the ROM folder
    MachineList list = sample();
    ScriptedHost host;
    check_availability(list, f.rompath(), f.mame.path(), host);
    const auto names = available(list);
    EXPECT_NE(std::find(names.begin(), names.end(), "kinst13"), names.end());
    EXPECT_EQ(std::find(names.begin(), names.end(), "kinst"), names.end());
}

TEST(Availability, SevenZipAndFolderRomsetsCount) {
    RomFolders f;
    f.add("pacman.7z");
    f.add("neogeo/sp-s2.sp1");
    f.add("kinst/kinst.chd"); // a folder holding only disks is no romset
    MachineList list = sample();
    ScriptedHost host;
    check_availability(list, f.rompath(), f.mame.path(), host);
    EXPECT_EQ(available(list), (std::vector<std::string>{"pacman", "puckman", "kinst", "z80dev",
                                                         "pong", "vic10", "neogeo"}));
}

TEST(Availability, OwnSetsParentsSetsAndSoftwareItemsInMachineFolders) {
    // mslug borrows ROMs from the neogeo BIOS; mslugb is its clone.
    struct Case {
        std::vector<std::string> files;
        std::vector<std::string> available; // besides z80dev, pong and vic10
    };
    const Case cases[] = {
        {{"neogeo.zip"}, {"neogeo"}},                                 // the BIOS alone
        {{"neogeo.zip", "mslug.zip"}, {"mslug", "mslugb", "neogeo"}}, // a merged set
        {{"neogeo.zip", "mslugb.zip"}, {"mslugb", "neogeo"}},
        // Software items live in folders named after the console: no folder romset.
        {{"neogeo/mslug.zip", "neogeo/kof98.7z", "neogeo/kof98.chd", "x.zip"}, {}},
        {{"neogeo/000-lo.lo", "neogeo/mslug.zip"}, {"neogeo"}},
    };
    for (const Case& c : cases) {
        RomFolders f;
        for (const std::string& file : c.files)
            f.add(file);
        MachineList list = sample();
        Machine mslugb = machine("mslugb");
        mslugb.cloneof = "mslug";
        mslugb.romof = "mslug";
        list.push_back(mslugb);
        ScriptedHost host;
        check_availability(list, f.rompath(), f.mame.path(), host);
        std::vector<std::string> want = c.available;
        want.insert(want.end(), {"pong", "vic10", "z80dev"});
        std::vector<std::string> got = available(list);
        std::sort(want.begin(), want.end());
        std::sort(got.begin(), got.end());
        EXPECT_EQ(got, want) << c.files.front();
    }
}

TEST(Availability, NothingFoundLeavesOnlyMachinesWithoutRoms) {
    RomFolders f;
    MachineList list = sample();
    Machine laserdisc = machine("laserdisc", false); // only a disk: it needs no ROMs
    laserdisc.disks = {"laserdisc"};
    list.push_back(laserdisc);
    ScriptedHost host;
    const AvailabilityResult r = check_availability(list, f.rompath(), f.mame.path(), host, true);
    EXPECT_EQ(r.found_files, 0u);
    // The device with ROMs stays missing.
    EXPECT_EQ(available(list), (std::vector<std::string>{"pong", "vic10", "laserdisc"}));
    EXPECT_EQ(host.progress,
              (std::vector<std::string>{"Scanning Folders...", "Adding Specials..."}));
}

TEST(Availability, EmptyRompathChangesNothing) {
    MachineList list = sample();
    ScriptedHost host;
    const AvailabilityResult r = check_availability(list, "", "/nowhere/", host);
    EXPECT_FALSE(r.scanned);
    for (const Machine& m : list)
        EXPECT_TRUE(m.isavailable) << m.name;
}
