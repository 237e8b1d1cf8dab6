#include "database/played.h"
#include "info/machine_info.h"

#include "info/test_pictures.h"
#include "support/scripted_host.h"

#include <gtest/gtest.h>

using namespace orvel;
using orvel::test::make_png;
using orvel::test::make_zip;
using orvel::test::TempDir;

namespace {

std::vector<std::string> flatten(const std::vector<AttributeRow>& rows) {
    std::vector<std::string> out;
    for (const AttributeRow& r : rows)
        out.push_back(r.label + "=" + r.value);
    return out;
}

Machine machine(const std::string& name, const std::string& cloneof = "") {
    Machine m;
    m.name = name;
    m.cloneof = cloneof;
    return m;
}

} // namespace

TEST(AttributeRows, Parent) {
    Machine m = machine("pacman");
    m.sourcefile = "pacman.cpp";
    m.year = "1980";
    m.manufacturer = "Namco (Midway license)";
    m.driver_status = "good";
    m.requires_roms = true;
    m.screen_type = "raster";
    m.screen_rotate = "90";
    m.isavailable = true;
    m.disks.push_back("x");
    m.played = {3, 1700000000, 125};
    const std::vector<std::string> expected = {
        "Romset=pacman",      "Source File=pacman.cpp",
        "Year=1980",          "Manufacturer=Namco (Midway license)",
        "Set Type=Parent",    "Status=Good",
        "Mechanical=No",      "Machine Type=Machine",
        "Requires ROMs=Yes",  "Requires CHD=Yes",
        "Screen Type=Raster", "Screen Orientation=Vertical (90\u00B0)",
        "Runnable=Yes",       "Available=Yes",
        "Times Played=3",     "Last Played=" + last_played_text(m.played),
        "Play Time=0:02:05"};
    EXPECT_EQ(flatten(machine_attribute_rows(m)), expected);
}

TEST(AttributeRows, CloneGetsCloneOfRow) {
    Machine m = machine("puckmanb", "puckman");
    m.driver_status = "imperfect";
    m.screen_type = "lcd";
    m.screen_rotate = "180";
    m.runnable = false;
    m.ismechanical = true;
    m.isavailable = false;
    const auto rows = flatten(machine_attribute_rows(m));
    ASSERT_EQ(rows.size(), 18u);
    EXPECT_EQ(rows[15], "Times Played=0");
    EXPECT_EQ(rows[16], "Last Played=Never");
    EXPECT_EQ(rows[4], "Set Type=Clone");
    EXPECT_EQ(rows[5], "Clone Of=puckman");
    EXPECT_EQ(rows[6], "Status=Imperfect");
    EXPECT_EQ(rows[7], "Mechanical=Yes");
    EXPECT_EQ(rows[11], "Screen Type=Lcd");
    EXPECT_EQ(rows[12], "Screen Orientation=Horizontal (180\u00B0)");
    EXPECT_EQ(rows[13], "Runnable=No");
    EXPECT_EQ(rows[14], "Available=No");
}

TEST(AttributeRows, ScreenlessDeviceAndBios) {
    Machine m = machine("neogeo");
    m.isbios = true;
    auto rows = flatten(machine_attribute_rows(m));
    ASSERT_EQ(rows.size(), 17u);
    EXPECT_EQ(rows[7], "Machine Type=Bios");
    EXPECT_EQ(rows[10], "Screen Type=Screenless");
    EXPECT_EQ(rows[11], "Screen Orientation=N/a (\u00B0)");
    EXPECT_EQ(rows[12], "Runnable=Yes"); // only the exact "no" says No
    m.isdevice = true;
    rows = flatten(machine_attribute_rows(m));
    EXPECT_EQ(rows[7], "Machine Type=Device");
}

class PictureLookup : public ::testing::Test {
  protected:
    PictureLocation find(const std::string& key, const Machine& m) {
        return find_picture(*find_picture_kind(key), m, paths, mame.path());
    }
    TempDir mame;
    MamePaths paths;
    const std::string png = make_png(4, 4);
};

TEST_F(PictureLookup, FileInFolderComesFirst) {
    mame.write("snap/pacman.png", png);
    ASSERT_TRUE(make_zip(mame.file("snap/snap.zip"), {{"pacman.png", png}}));
    const PictureLocation found = find("snap", machine("pacman"));
    EXPECT_EQ(found.source, PictureSource::Folder);
    EXPECT_EQ(found.path, mame.file("snap/pacman.png"));
    const auto image = load_picture(found);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 4);
}

TEST_F(PictureLookup, ArchiveInsideTheFolderIsTheOnlyArchiveAsked) {
    ASSERT_TRUE(make_zip(mame.file("titles/titles.zip"),
                         {{"galaga.png", png}, {"sub/pacman.png", png}, {"PACMAN.png", png}}));
    ASSERT_TRUE(make_zip(mame.file("titles.zip"), {{"pacman.png", png}}));
    PictureLocation found = find("titles", machine("galaga"));
    EXPECT_EQ(found.source, PictureSource::ArchiveInside);
    EXPECT_EQ(found.path, mame.file("titles/titles.zip"));
    EXPECT_EQ(found.entry, "galaga.png");
    ASSERT_TRUE(load_picture(found));
    // Entries in a sub-folder or in other letter case are not the picture, and the archive
    // beside the folder is not consulted once the folder has its own.
    EXPECT_EQ(find("titles", machine("pacman")).source, PictureSource::NotFound);
}

TEST_F(PictureLookup, ArchiveBesideTheFolder) {
    mame.write("snap/other.png", png);
    ASSERT_TRUE(make_zip(mame.file("snap.zip"), {{"pacman.png", png}}));
    const PictureLocation found = find("snap", machine("pacman"));
    EXPECT_EQ(found.source, PictureSource::ArchiveBeside);
    EXPECT_EQ(found.path, mame.file("snap.zip"));
    const auto image = load_picture(found);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->height, 4);
    EXPECT_EQ(find("snap", machine("galaga")).source, PictureSource::NotFound);
}

TEST_F(PictureLookup, CloneFallsBackToItsParent) {
    mame.write("snap/pacman.png", png);
    mame.write("snap/puckmod.png", png);
    PictureLocation found = find("snap", machine("pacmanf", "pacman"));
    EXPECT_EQ(found.source, PictureSource::Folder);
    EXPECT_EQ(found.file_name, "pacman.png");
    EXPECT_TRUE(found.from_parent);
    found = find("snap", machine("puckmod", "pacman"));
    EXPECT_EQ(found.file_name, "puckmod.png");
    EXPECT_FALSE(found.from_parent);
}

TEST_F(PictureLookup, ConfiguredFolderAndIcons) {
    paths.icons_directory = "art/my icons";
    mame.write("art/my icons/pacman.ico", "icon bytes");
    mame.write("icons/galaga.ico", "not configured");
    const PictureLocation found = find("icons", machine("pacman"));
    EXPECT_EQ(found.source, PictureSource::Folder);
    EXPECT_EQ(load_picture_bytes(found), std::optional<std::string>("icon bytes"));
    EXPECT_FALSE(load_picture(found)); // not a PNG
    EXPECT_EQ(find("icons", machine("galaga")).source, PictureSource::NotFound);
}

TEST(Zip, EntriesAndDamagedArchives) {
    TempDir dir;
    const std::string png = make_png(3, 2);
    const std::string zip = dir.file("a.zip");
    ASSERT_TRUE(make_zip(zip, {{"x.txt", "hello"}, {"b.png", png}}));
    EXPECT_TRUE(zip_has_entry(zip, "x.txt"));
    EXPECT_FALSE(zip_has_entry(zip, "X.TXT"));
    EXPECT_EQ(read_zip_entry(zip, "x.txt"), std::optional<std::string>("hello"));
    const auto image = load_image_from_zip(zip, "b.png");
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 3);
    EXPECT_FALSE(load_image_from_zip(zip, "x.txt"));

    EXPECT_FALSE(zip_has_entry(dir.file("missing.zip"), "x.txt"));
    const std::string not_zip = dir.write("not.zip", "this is not an archive at all");
    EXPECT_FALSE(zip_has_entry(not_zip, "x.txt"));
    const std::string whole = test::read_all(zip);
    const std::string cut = dir.write("cut.zip", whole.substr(0, whole.size() / 2));
    EXPECT_FALSE(read_zip_entry(cut, "b.png"));
    EXPECT_FALSE(load_image_from_zip(cut, "b.png"));
}

// The index reads an archive's directory once, answers every later lookup from memory, reads
// entries (stored or deflated) straight from their offsets, and reads the directory again only
// when the file changes.
TEST(Zip, IndexReadsTheDirectoryOnceWhileTheArchiveIsUnchanged) {
    TempDir dir;
    const std::string zip = dir.file("titles.zip");
    std::vector<std::pair<std::string, std::string>> entries;
    for (int i = 0; i < 200; ++i)
        entries.emplace_back("m" + std::to_string(i) + ".png",
                             std::string(100 + i, char('a' + i % 26)));
    ASSERT_TRUE(make_zip(zip, entries));
    ZipIndex index;
    for (const char* name : {"m0.png", "m199.png", "m50.png"})
        EXPECT_EQ(index.has_entry(zip, name), std::optional<bool>(true)) << name;
    EXPECT_EQ(index.has_entry(zip, "M0.PNG"), std::optional<bool>(false));
    EXPECT_EQ(index.has_entry(dir.file("none.zip"), "m0.png"), std::optional<bool>(false));
    const ZipIndex::EntryBytes read = index.read_entry(zip, "m199.png", 1 << 20);
    EXPECT_TRUE(read.answered);
    EXPECT_EQ(read.bytes, entries[199].second);
    EXPECT_EQ(index.read_entry(zip, "m199.png", 100).bytes, std::nullopt); // over the limit
    EXPECT_EQ(read_zip_entry(zip, "m7.png", &index), entries[7].second);
    EXPECT_EQ(index.directories_read(), 1u);

    // Another archive in its place (a new size) is read anew.
    ASSERT_TRUE(make_zip(zip, {{"m0.png", "new"}}));
    EXPECT_EQ(index.read_entry(zip, "m0.png", 1 << 20).bytes, std::optional<std::string>("new"));
    EXPECT_EQ(index.has_entry(zip, "m199.png"), std::optional<bool>(false));
    EXPECT_EQ(index.directories_read(), 2u);

    // Without a central directory the index cannot tell; the lookup walks the archive instead.
    const std::string cut = dir.write("cut.zip", test::read_all(zip).substr(0, 40));
    EXPECT_EQ(index.has_entry(cut, "m0.png"), std::nullopt);
    EXPECT_FALSE(index.read_entry(cut, "m0.png", 1 << 20).answered);
}
