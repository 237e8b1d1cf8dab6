// The ROM data the listing pass keeps, its file, the zip directory reader and the results file.
#include "audit/archive_entries.h"
#include "audit/audit_results.h"
#include "database/listing_build.h"
#include "database/rom_data.h"
#include "platform/files.h"
#include "support/romset_writer.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace orvel;

namespace {

RomData fixture_data(MachineList& machines) {
    RomData data;
    const std::string xml =
        read_file(std::string(ORVEL_FIXTURES_DIR) + "/audit/listing.xml", no_size_limit)
            .value_or("");
    EXPECT_TRUE(parse_listing_text(xml, machines, &data).ok());
    return data;
}

const RomEntry& rom_of(const RomData& d, const std::string& set, const std::string& rom) {
    const RomSet& s = d.sets()[static_cast<size_t>(d.find(set))];
    for (std::uint32_t r = 0; r < s.rom_count; ++r)
        if (d.text(d.roms()[s.first_rom + r].name) == rom) return d.roms()[s.first_rom + r];
    static const RomEntry none;
    ADD_FAILURE() << set << "/" << rom;
    return none;
}

TEST(RomData, TheListingPassKeepsEveryRomFieldAndTheDevicesWithRoms) {
    MachineList machines;
    const RomData d = fixture_data(machines);
    EXPECT_EQ(d.sets().size(), machines.size());
    const RomEntry& merged = rom_of(d, "pacman", "82s123.7f");
    EXPECT_EQ(d.text(merged.merge), "pm1-1.7f");
    EXPECT_EQ(merged.size, 32u);
    EXPECT_EQ(merged.crc, 0x2fc650bdu);
    EXPECT_EQ(sha1_text(merged.sha1), "8d0268dee78e47c712202b0ec4f1f51109b1f2a5");
    EXPECT_TRUE(merged.is(rom_flag::has_crc) && merged.is(rom_flag::has_sha1));
    EXPECT_TRUE(rom_of(d, "dauphin", "reflexes.bin").is(rom_flag::optional));
    EXPECT_TRUE(rom_of(d, "dauphin", "dolphin_moni.rom").is(rom_flag::nodump));
    EXPECT_FALSE(rom_of(d, "dauphin", "dolphin_moni.rom").is(rom_flag::has_crc));
    EXPECT_TRUE(rom_of(d, "patinho", "loader.bin").is(rom_flag::baddump));
    const RomEntry& disk = rom_of(d, "cs11_ssp", "cs_11_ssp");
    EXPECT_TRUE(disk.is(rom_flag::disk) && disk.is(rom_flag::nodump));
    const RomSet& sinbadn = d.sets()[static_cast<size_t>(d.find("sinbadn"))];
    EXPECT_EQ(d.text(sinbadn.romof), "sinbad");
    EXPECT_EQ(d.text(sinbadn.cloneof), "sinbad");
    // Of apple1's dozen device references only the one with ROMs is kept.
    const RomSet& apple1 = d.sets()[static_cast<size_t>(d.find("apple1"))];
    ASSERT_EQ(apple1.device_count, 1u);
    EXPECT_EQ(d.text(d.device_refs()[apple1.first_device]), "a1cass");
}

TEST(RomData, TheFileGivesBackWhatWasWrittenAndRefusesDamage) {
    MachineList machines;
    const RomData d = fixture_data(machines);
    const std::string bytes = d.serialize();
    const Result<RomData> back = RomData::parse(bytes);
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back->serialize(), bytes);
    EXPECT_EQ(back->find("pacman"), d.find("pacman"));
    for (const size_t cut : {size_t{0}, size_t{12}, bytes.size() - 1}) {
        EXPECT_TRUE(RomData::parse(bytes.substr(0, cut)).is(FailureKind::Malformed)) << cut;
    }
    std::string pointing_out = bytes;
    pointing_out[28 + back->pool_size()] = '\xff'; // the first set's name offset
    pointing_out[28 + back->pool_size() + 3] = '\x7f';
    EXPECT_TRUE(RomData::parse(pointing_out).is(FailureKind::Malformed));
    EXPECT_TRUE(load_rom_data("/nowhere/ORVEL.roms").is(FailureKind::Missing));
}

TEST(ZipDirectory, ReadsNamesSizesAndCrcsAndRefusesBrokenDirectories) {
    const std::string folder =
        with_separator(std::filesystem::temp_directory_path().string()) + "orvel_zipdir_test/";
    std::filesystem::remove_all(folder);
    ASSERT_TRUE(test::write_zip(folder + "a.zip",
                                {{"one.bin", 64, 0xdeadbeef}, {"sub/two.bin", 8, 0x01020304}}));
    const std::string bytes = read_file(folder + "a.zip", no_size_limit).value_or("");
    std::filesystem::remove_all(folder);
    const auto read_from = [](const std::string& b) {
        return read_zip_directory(b.size(), [&](std::uint64_t at, std::size_t n, std::string& out) {
            if (at > b.size() || b.size() - at < n) return false;
            out = b.substr(static_cast<size_t>(at), n);
            return true;
        });
    };
    const auto entries = read_from(bytes);
    ASSERT_TRUE(entries.ok());
    ASSERT_EQ(entries->size(), 2u);
    EXPECT_EQ((*entries)[1].name, "sub/two.bin");
    EXPECT_EQ((*entries)[1].size, 8u);
    EXPECT_EQ((*entries)[1].crc, 0x01020304u);
    // A comment after the end record is passed over.
    std::string commented = bytes;
    commented[commented.size() - 2] = 5;
    commented += "hello";
    EXPECT_TRUE(read_from(commented).ok());
    std::string outside = bytes; // the directory's offset beyond the file
    outside[outside.size() - 4] = '\x7f';
    for (const std::string& broken : {std::string(), bytes.substr(0, bytes.size() - 3),
                                      bytes.substr(bytes.size() - 22), outside})
        EXPECT_TRUE(read_from(broken).is(FailureKind::Malformed)) << broken.size();
}

TEST(AuditResults, RoundTripByNameAndUnknownWordsPassOver) {
    MachineList machines(3);
    machines[0].name = "pacman";
    machines[0].audit = AuditVerdict::Complete;
    machines[1].name = "gts1";
    machines[1].audit = AuditVerdict::Missing;
    machines[2].name = "pong";
    const std::string text = audit_results_text(machines);
    EXPECT_EQ(text, "pacman\tcomplete\r\ngts1\tmissing\r\n");
    MachineList back = machines;
    for (Machine& m : back)
        m.audit = AuditVerdict::Incomplete;
    parse_audit_results(text + "pong\tsplendid\nnobody\tcomplete\n", back);
    EXPECT_EQ(back[0].audit, AuditVerdict::Complete);
    EXPECT_EQ(back[1].audit, AuditVerdict::Missing);
    EXPECT_EQ(back[2].audit, AuditVerdict::Unknown);
}

} // namespace
