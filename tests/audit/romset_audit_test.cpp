// The romset audit over collections written from real listing records (MAME 0.251, trimmed):
// merged, split and non-merged, zip, 7z and loose folders, with one fault at a time.
#include "audit/audit_results.h"
#include "audit/romset_audit.h"
#include "audit/sha1.h"
#include "database/listing_build.h"
#include "platform/files.h"
#include "support/romset_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <set>

using namespace orvel;
using orvel::test::RomFile;

namespace {

std::string fixture_listing() {
    return read_file(std::string(ORVEL_FIXTURES_DIR) + "/audit/listing.xml", no_size_limit)
        .value_or("");
}

// An independent reading of the listing: plain text search for the attributes the collection
// is written from, so that a fault in the listing parser cannot hide behind the generator.
struct ListedRom {
    std::string name, merge, status;
    std::uint64_t size = 0;
    std::uint32_t crc = 0;
    bool optional = false;
};
struct ListedMachine {
    std::string name, cloneof;
    bool isdevice = false;
    std::vector<ListedRom> roms;
    std::vector<std::string> devices;
};

std::string attribute(std::string_view tag, const std::string& key) {
    const std::string look = " " + key + "=\"";
    const size_t at = tag.find(look);
    if (at == std::string_view::npos) return {};
    const size_t start = at + look.size();
    return std::string(tag.substr(start, tag.find('"', start) - start));
}

std::map<std::string, ListedMachine> read_listing(const std::string& xml) {
    std::map<std::string, ListedMachine> out;
    ListedMachine* current = nullptr;
    for (size_t at = xml.find('<'); at != std::string::npos; at = xml.find('<', at + 1)) {
        const std::string_view tag(xml.data() + at, xml.find('>', at) - at);
        if (tag.substr(0, 9) == "<machine ") {
            ListedMachine m;
            m.name = attribute(tag, "name");
            m.cloneof = attribute(tag, "cloneof");
            m.isdevice = attribute(tag, "isdevice") == "yes";
            current = &(out[m.name] = m);
        } else if (current && tag.substr(0, 5) == "<rom ") {
            ListedRom r;
            r.name = attribute(tag, "name");
            r.merge = attribute(tag, "merge");
            r.status = attribute(tag, "status");
            r.size = std::stoull(attribute(tag, "size"));
            const std::string crc = attribute(tag, "crc");
            r.crc = crc.empty() ? 0 : static_cast<std::uint32_t>(std::stoul(crc, nullptr, 16));
            r.optional = attribute(tag, "optional") == "yes";
            current->roms.push_back(r);
        } else if (current && tag.substr(0, 12) == "<device_ref ") {
            current->devices.push_back(attribute(tag, "name"));
        }
    }
    return out;
}

enum class Layout { Merged, Split, NonMerged };

// What each archive of a collection holds, by set name, before it is written.
using Collection = std::map<std::string, std::vector<RomFile>>;

Collection collection(const std::map<std::string, ListedMachine>& listing, Layout layout) {
    Collection sets;
    for (const auto& [name, m] : listing) {
        const std::string home = layout == Layout::Merged && !m.cloneof.empty() &&
                                         listing.count(m.cloneof) && !listing.at(m.cloneof).isdevice
                                     ? m.cloneof
                                     : name;
        for (const ListedRom& r : m.roms) {
            if (r.status == "nodump") continue;
            if (!r.merge.empty() && layout != Layout::NonMerged) continue;
            RomFile f{r.name, r.size, r.crc};
            // In a merged set a clone's ROM that shares its name with another goes into a folder.
            if (home != name)
                for (const RomFile& other : sets[home])
                    if (other.name == f.name) f.name = name + "/" + f.name;
            sets[home].push_back(f);
        }
    }
    for (auto it = sets.begin(); it != sets.end();)
        it = it->second.empty() ? sets.erase(it) : std::next(it);
    return sets;
}

// Whether MAME would ask the machine for any ROM at all (its own or its devices').
bool needs_roms(const std::map<std::string, ListedMachine>& listing, const ListedMachine& m) {
    if (!m.roms.empty()) return true;
    for (const std::string& d : m.devices)
        if (listing.count(d) && !listing.at(d).roms.empty()) return true;
    return false;
}

class RomsetAudit : public ::testing::Test {
  protected:
    void SetUp() override {
        xml = fixture_listing();
        listing = read_listing(xml);
        MachineList machines;
        ASSERT_TRUE(parse_listing_text(xml, machines, &data).ok());
        folder = with_separator(std::filesystem::temp_directory_path().string()) + "orvel_audit_" +
                 std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name() + path_separator;
        std::filesystem::remove_all(folder);
        create_folders(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    void write(const Collection& sets) {
        for (const auto& [name, files] : sets)
            ASSERT_TRUE(test::write_zip(folder + name + ".zip", files)) << name;
    }

    AuditVerdict verdict(const std::string& name) {
        RomsetAuditor auditor(data, {folder});
        return auditor.verdict(static_cast<std::uint32_t>(data.find(name)));
    }

    // The finding for one ROM of a machine's audit.
    RomFinding finding(const std::string& machine, const std::string& rom) {
        RomsetAuditor auditor(data, {folder});
        for (const RomFinding& f :
             auditor.audit(static_cast<std::uint32_t>(data.find(machine))).roms)
            if (data.text(data.roms()[f.rom].name) == rom) return f;
        ADD_FAILURE() << "no ROM " << rom << " in " << machine;
        return {};
    }

    std::string xml;
    std::map<std::string, ListedMachine> listing;
    RomData data;
    std::string folder;
};

TEST_F(RomsetAudit, CompleteCollectionsOfEveryLayoutMatchTheListing) {
    for (const Layout layout : {Layout::Merged, Layout::Split, Layout::NonMerged}) {
        std::filesystem::remove_all(folder);
        create_folders(folder);
        const Collection sets = collection(listing, layout);
        write(sets);
        SilentHost host;
        const AuditRun run = audit_romsets(data, {folder}, host);
        // Every archive is read once, however many machines share it.
        EXPECT_EQ(run.sources_read, sets.size());
        for (const auto& [name, m] : listing) {
            const std::int64_t set = data.find(name);
            ASSERT_GE(set, 0) << name;
            EXPECT_EQ(run.verdicts[static_cast<size_t>(set)],
                      needs_roms(listing, m) ? AuditVerdict::Complete : AuditVerdict::NoRoms)
                << name << " in layout " << static_cast<int>(layout);
        }
    }
}

TEST_F(RomsetAudit, EachFaultGivesItsVerdict) {
    struct Case {
        const char* fault;
        std::function<void(Collection&)> change;
        const char* machine;
        AuditVerdict verdict;
        const char* rom = nullptr; // and this ROM's status
        RomStatus status = RomStatus::Good;
    };
    const auto drop = [](Collection& c, const std::string& set, const std::string& rom) {
        auto& files = c[set];
        std::erase_if(files, [&](const RomFile& f) { return f.name == rom; });
    };
    const auto edit = [](Collection& c, const std::string& set, const std::string& rom,
                         const std::function<void(RomFile&)>& how) {
        for (RomFile& f : c[set])
            if (f.name == rom) how(f);
    };
    const std::vector<Case> cases = {
        {"a missing ROM", [&](Collection& c) { drop(c, "puckman", "pm1_prg1.6e"); }, "puckman",
         AuditVerdict::Incomplete, "pm1_prg1.6e", RomStatus::Missing},
        {"a wrong CRC",
         [&](Collection& c) { edit(c, "pacman", "pacman.6e", [](RomFile& f) { f.crc ^= 1; }); },
         "pacman", AuditVerdict::Incomplete, "pacman.6e", RomStatus::WrongCrc},
        {"a wrong size",
         [&](Collection& c) { edit(c, "pacman", "pacman.6f", [](RomFile& f) { f.size += 16; }); },
         "pacman", AuditVerdict::Incomplete, "pacman.6f", RomStatus::WrongSize},
        {"a ROM under another name",
         [&](Collection& c) {
             edit(c, "pacman", "pacman.6h", [](RomFile& f) { f.name = "pacman.6x"; });
         },
         "pacman", AuditVerdict::Incomplete, "pacman.6h", RomStatus::WrongName},
        {"a clone whose ROMs sit only in its parent",
         [&](Collection& c) {
             for (const RomFile& f : c["pacman"])
                 c["puckman"].push_back(f);
             c.erase("pacman");
         },
         "pacman", AuditVerdict::Complete},
        {"a clone's set absent", [&](Collection& c) { c.erase("pacman"); }, "pacman",
         AuditVerdict::Missing, "pacman.6e", RomStatus::Missing},
        {"a parent's shared ROM absent", [&](Collection& c) { drop(c, "puckman", "pm1-1.7f"); },
         "pacman", AuditVerdict::Incomplete, "82s123.7f", RomStatus::Missing},
        {"the BIOS set missing (the game)", [&](Collection& c) { c.erase("gts1"); }, "sinbad",
         AuditVerdict::Incomplete, "u5_cf.bin", RomStatus::Missing},
        {"the BIOS set missing (a clone of the game)", [&](Collection& c) { c.erase("gts1"); },
         "sinbadn", AuditVerdict::Incomplete},
        {"the BIOS set missing (the BIOS)", [&](Collection& c) { c.erase("gts1"); }, "gts1",
         AuditVerdict::Missing},
        {"a missing device set", [&](Collection& c) { c.erase("a1cass"); }, "apple1",
         AuditVerdict::Incomplete, "apple-a3.3", RomStatus::Missing},
        {"an optional ROM absent", [&](Collection& c) { drop(c, "dauphin", "reflexes.bin"); },
         "dauphin", AuditVerdict::Complete, "reflexes.bin", RomStatus::OptionalAbsent},
        {"a nodump ROM absent", [](Collection&) {}, "dauphin", AuditVerdict::Complete,
         "dolphin_moni.rom", RomStatus::NoDumpAbsent},
        {"nodump ROMs and disk absent", [](Collection&) {}, "cs11_ssp", AuditVerdict::Complete,
         "cs_11_ssp", RomStatus::NoDumpAbsent},
        {"a bad dump with another CRC",
         [&](Collection& c) { edit(c, "patinho", "loader.bin", [](RomFile& f) { f.crc ^= 7; }); },
         "patinho", AuditVerdict::Complete, "loader.bin", RomStatus::BadDump},
        {"no ROMs at all", [](Collection&) {}, "pong", AuditVerdict::NoRoms},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        std::filesystem::remove_all(folder);
        create_folders(folder);
        Collection sets = collection(listing, Layout::Split);
        c.change(sets);
        write(sets);
        EXPECT_EQ(verdict(c.machine), c.verdict);
        if (c.rom) {
            EXPECT_EQ(finding(c.machine, c.rom).status, c.status);
        }
    }
}

TEST_F(RomsetAudit, AWronglyNamedRomSaysWhereItWasFound) {
    Collection sets = collection(listing, Layout::Split);
    for (RomFile& f : sets["pacman"])
        if (f.name == "pacman.6h") f.name = "sub/pacman.6x";
    write(sets);
    const RomFinding f = finding("pacman", "pacman.6h");
    EXPECT_EQ(f.status, RomStatus::WrongName);
    EXPECT_EQ(f.where, folder + "pacman.zip");
    EXPECT_EQ(f.found_as, "sub/pacman.6x");
}

TEST_F(RomsetAudit, SevenZipAndLooseFolderSets) {
    Collection sets = collection(listing, Layout::Split);
    ASSERT_TRUE(test::write_7z(folder + "puckman.7z", sets["puckman"]));
    ASSERT_TRUE(test::write_loose(folder + "apple1", sets["apple1"]));
    std::vector<RomFile> wrong = sets["sinbad"];
    wrong.front().crc ^= 1;
    ASSERT_TRUE(test::write_7z(folder + "sinbad.7z", wrong));
    for (const char* name : {"puckman", "apple1", "sinbad"})
        sets.erase(name);
    write(sets);
    EXPECT_EQ(verdict("puckman"), AuditVerdict::Complete);
    EXPECT_EQ(verdict("pacman"), AuditVerdict::Complete); // its shared ROMs from the 7z parent
    EXPECT_EQ(verdict("apple1"), AuditVerdict::Complete);
    EXPECT_EQ(verdict("sinbad"), AuditVerdict::Incomplete);
    EXPECT_EQ(finding("apple1", "s2513.d2").where, join_path(folder + "apple1", "s2513.d2"));
}

TEST_F(RomsetAudit, RomsAreFoundInAnyRomFolder) {
    const Collection sets = collection(listing, Layout::Split);
    const std::string second = folder + "second/";
    create_folders(second);
    for (const auto& [name, files] : sets)
        ASSERT_TRUE(test::write_zip((name == "puckman" ? second : folder) + name + ".zip", files));
    RomsetAuditor auditor(data, {folder, second});
    EXPECT_EQ(auditor.verdict(static_cast<std::uint32_t>(data.find("pacman"))),
              AuditVerdict::Complete);
}

// A listing of our own, with SHA-1s of the data the writer makes, for the deep check and disks.
TEST(RomsetAuditDeep, DecompressesAndComparesSha1AndReadsDiskHeaders) {
    const std::string good_data = test::forged_data(64, 0x12345678);
    Sha1 h;
    h.add(good_data);
    const std::string good_sha1 = sha1_text(h.finish());
    const std::string xml =
        "<mame><machine name=\"deep\">"
        "<rom name=\"good.bin\" size=\"64\" crc=\"12345678\" sha1=\"" +
        good_sha1 +
        "\"/>"
        "<rom name=\"forged.bin\" size=\"64\" crc=\"0badf00d\" "
        "sha1=\"0000000000000000000000000000000000000001\"/>"
        "<disk name=\"disc\" sha1=\"00112233445566778899aabbccddeeff00112233\"/>"
        "</machine></mame>";
    RomData data;
    MachineList machines;
    ASSERT_TRUE(parse_listing_text(xml, machines, &data).ok());
    const std::string folder =
        with_separator(std::filesystem::temp_directory_path().string()) + "orvel_audit_deep/";
    std::filesystem::remove_all(folder);
    ASSERT_TRUE(test::write_zip(folder + "deep.zip",
                                {{"good.bin", 64, 0x12345678}, {"forged.bin", 64, 0x0badf00d}}));
    std::array<std::uint8_t, 20> disk{};
    ASSERT_TRUE(parse_sha1("00112233445566778899aabbccddeeff00112233", disk));
    ASSERT_TRUE(test::write_chd(folder + "deep/disc.chd", disk));
    {
        RomsetAuditor auditor(data, {folder});
        const MachineAudit shallow = auditor.audit(0);
        EXPECT_EQ(shallow.verdict, AuditVerdict::Complete);
        const MachineAudit deep = auditor.deep_audit(0);
        EXPECT_EQ(deep.verdict, AuditVerdict::Incomplete);
        ASSERT_EQ(deep.roms.size(), 3u);
        EXPECT_EQ(deep.roms[0].status, RomStatus::Good);
        EXPECT_EQ(deep.roms[1].status, RomStatus::WrongSha1);
        EXPECT_EQ(deep.roms[2].status, RomStatus::Good); // the disk, by its header
    }
    disk[0] ^= 1;
    ASSERT_TRUE(test::write_chd(folder + "deep/disc.chd", disk));
    RomsetAuditor auditor(data, {folder});
    EXPECT_EQ(auditor.audit(0).roms[2].status, RomStatus::WrongSha1);
    std::filesystem::remove_all(folder);
}

TEST(RomsetAuditSha1, KnownAnswers) {
    for (const auto& [text, digest] : std::vector<std::pair<std::string, std::string>>{
             {"", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
             {"abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
             {std::string(1000, 'a'), "291e9a6c66994949b57ba5e650361e98fc36b1ba"}}) {
        Sha1 h;
        h.add(text);
        EXPECT_EQ(sha1_text(h.finish()), digest) << text.size();
    }
}

} // namespace
