#include "softlist/software_list.h"

#include "support/scripted_host.h"

#include <gtest/gtest.h>

namespace orvel {
namespace {

using test::ScriptedHost;
using test::TempDir;

const char* const nes_list = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE softwarelist SYSTEM "softwarelist.dtd">
<softwarelist name="nes" description="Nintendo NES cartridges">
  <software name="smb">
    <description>Super Mario Bros.</description>
    <year>1985</year>
    <publisher>Nintendo</publisher>
    <info name="serial" value="NES-SM-USA"/>
    <part name="cart" interface="nes_cart"><dataarea name="prg" size="32768"/></part>
  </software>
  <software>
    <description>Nameless</description>
    <year>1999</year>
    <part name="flop1"/>
  </software>
  <software name="ff" cloneof="x">
    <description>final fantasy &amp; co</description>
    <year>1987</year>
    <publisher>Square</publisher>
    <part name="flop1"/><part name="flop2"/>
    <part name="cdrom"><diskarea name="cdrom"><disk name="FF Disc 1" sha1="00"/></diskarea></part>
  </software>
  <software name="vgm"><description>Alpha Tunes</description>
    <part name="001"/><part name="002"/></software>
</softwarelist>
)";

std::vector<SoftwareItem> parse(std::string_view xml, Status* result = nullptr) {
    std::vector<SoftwareItem> items;
    const Status r = parse_software_list(xml, "nes", items);
    if (result) *result = r;
    return items;
}

TEST(SoftwareList, ReadsItemsPartsAndDisks) {
    Status result;
    const auto items = parse(nes_list, &result);
    EXPECT_TRUE(result.ok()) << result.message();
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].name, "smb");
    EXPECT_EQ(items[0].list_name, "nes");
    EXPECT_EQ(items[0].description, "Super Mario Bros.");
    EXPECT_EQ(items[0].year, "1985");
    EXPECT_EQ(items[0].publisher, "Nintendo");
    EXPECT_EQ(items[0].parts, std::vector<std::string>{"cart1"});
    EXPECT_EQ(items[0].media_switch(), "cart1");
    EXPECT_EQ(items[0].available, SoftwareAvailability::Unscanned);
    // A software without a name makes no item and leaves the item before it alone.
    EXPECT_EQ(items[1].name, "ff");
    EXPECT_EQ(items[1].description, "final fantasy & co");
    EXPECT_EQ(items[1].year, "1987");
    EXPECT_EQ(items[1].parts, (std::vector<std::string>{"flop1", "flop2", "cdrom1"}));
    EXPECT_EQ(items[1].media_switch(), "flop1");
    EXPECT_EQ(items[1].disk_names, std::vector<std::string>{"FF Disc 1"});
    EXPECT_EQ(items[2].parts, (std::vector<std::string>{"001", "002"}));
    EXPECT_EQ(items[2].publisher, "");
    EXPECT_EQ(SoftwareItem{}.media_switch(), "");
}

TEST(SoftwareList, MediaSwitchOfAPartName) {
    EXPECT_EQ(media_switch_for_part("cart"), "cart1");
    EXPECT_EQ(media_switch_for_part("flop1"), "flop1");
    EXPECT_EQ(media_switch_for_part("flop2"), "flop2");
    EXPECT_EQ(media_switch_for_part("001"), "001");
    EXPECT_EQ(media_switch_for_part("cass"), "cass1");
}

TEST(SoftwareList, MalformedXmlKeepsTheItemsReadBefore) {
    const std::string broken =
        std::string(nes_list).substr(0, std::string(nes_list).find("<part name=\"001\"")) +
        "<part name=\"x\"></software>";
    Status result;
    const auto items = parse(broken, &result);
    ASSERT_TRUE(result.is(FailureKind::Malformed));
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[2].description, "Alpha Tunes");
    // The message, its line and its character.
    EXPECT_EQ(result.message(),
              "Error in the XML file:\nMessage: mismatched tag\nLine: 24   Character: 22");

    // Truncated in the middle of an item's title.
    const auto truncated = parse(std::string(nes_list).substr(0, 200), &result);
    ASSERT_TRUE(result.is(FailureKind::Malformed));
    ASSERT_EQ(truncated.size(), 1u);
    EXPECT_EQ(truncated[0].name, "smb");
}

TEST(SoftwareList, NestedSoftwareIsSkippedWithWhatItHolds) {
    // Enough items before the nesting that the item list must grow while it is read.
    std::string xml = "<softwarelist>";
    for (int i = 0; i < 40; ++i)
        xml += "<software name=\"s" + std::to_string(i) +
               "\"><description>T</description>"
               "</software>";
    xml += "<software name=\"outer\"><description>Outer<software name=\"inner\">"
           "<description>Inner</description><part name=\"cart\"/></software> title"
           "</description><year>1990</year></software>"
           "<software name=\"after\"><description>After</description></software>"
           "</softwarelist>";
    Status result;
    const auto items = parse(xml, &result);
    EXPECT_TRUE(result.ok()) << result.message();
    ASSERT_EQ(items.size(), 42u);
    EXPECT_EQ(items[40].name, "outer");
    EXPECT_EQ(items[40].description, "Outer title");
    EXPECT_EQ(items[40].year, "1990");
    EXPECT_TRUE(items[40].parts.empty());
    EXPECT_EQ(items[41].name, "after");
    EXPECT_EQ(items[41].description, "After");
}

TEST(SoftwareList, LoadSortsAndReportsErrorsThroughTheHost) {
    TempDir mame;
    mame.write("hash/nes.xml", nes_list);
    mame.write("hash/bad.xml", "<softwarelist><software name=\"a\"><description>Zed</description>"
                               "</software><software name=\"b\"><description>alpha");
    mame.write("hash/empty.xml", "");
    SoftwareItemList list;
    ScriptedHost host;

    Status load = load_software_list("nes", "hash", "roms", mame.path(), list, host);
    EXPECT_TRUE(load.ok()) << load.message();
    EXPECT_EQ(software_list_title(list.items.size()), "Software List (3 Titles)");
    EXPECT_TRUE(host.prompts.empty());
    ASSERT_EQ(list.items.size(), 3u);
    EXPECT_EQ(list.list_name, "nes");
    EXPECT_EQ(list.items[0].description, "Alpha Tunes");
    EXPECT_EQ(list.items[1].description, "final fantasy & co");
    EXPECT_EQ(list.items[2].description, "Super Mario Bros.");
    EXPECT_EQ(list.current, 0);
    for (const SoftwareItem& item : list.items)
        EXPECT_EQ(item.available, SoftwareAvailability::Missing);

    load = load_software_list("bad", "hash", "roms", mame.path(), list, host);
    EXPECT_EQ(software_list_title(list.items.size()), "Software List (2 Titles)");
    ASSERT_EQ(host.prompts.size(), 1u);
    EXPECT_EQ(host.prompts[0].title, "Error");
    EXPECT_EQ(host.prompts[0].buttons, Buttons::Ok);
    EXPECT_EQ(host.prompts[0].text.rfind("Error in the XML file:\nMessage: ", 0), 0u);
    ASSERT_EQ(list.items.size(), 2u);
    EXPECT_EQ(list.items[0].name, "b"); // the title read before the end counts for sorting
    EXPECT_EQ(list.items[1].name, "a");

    // Missing and empty files: no items, no message.
    for (const char* name : {"missing", "empty", ""}) {
        load = load_software_list(name, "hash", "roms", mame.path(), list, host);
        EXPECT_TRUE(load.is(FailureKind::Missing)) << name;
        EXPECT_EQ(software_list_title(list.items.size()), "Software List (0 Titles)");
        EXPECT_TRUE(list.items.empty());
        EXPECT_EQ(list.current, -1);
    }
    EXPECT_EQ(host.prompts.size(), 1u);
}

#ifndef _WIN32 // Windows does not open a folder as a file at all
TEST(SoftwareList, AReadErrorIsAnErrorNotTheEndOfTheList) {
    // A folder opens as a file, but reading it fails: nothing may pass for a short list.
    TempDir mame;
    mame.write("hash/nes.xml/placeholder", "");
    SoftwareItemList list;
    ScriptedHost host;
    const Status load = load_software_list("nes", "hash", "roms", mame.path(), list, host);
    const std::string expected =
        "The software list could not be read: " + mame.path() + "hash/nes.xml (";
    EXPECT_TRUE(load.is(FailureKind::Error));
    EXPECT_EQ(load.message().substr(0, expected.size()), expected);
    ASSERT_EQ(host.prompts.size(), 1u);
    EXPECT_EQ(host.prompts[0].title, "Error");
    EXPECT_EQ(host.prompts[0].text, load.message());
    EXPECT_TRUE(list.items.empty());
}
#endif

TEST(SoftwareList, HashFolderResolution) {
    TempDir mame;
    TempDir elsewhere;
    elsewhere.write("nes.xml", nes_list);
    EXPECT_EQ(software_list_path("hash", mame.path(), "nes"), mame.file("hash/nes.xml"));
    EXPECT_EQ(software_list_path("hash;" + elsewhere.path(), mame.path(), "nes"),
              elsewhere.file("nes.xml"));
    EXPECT_EQ(software_list_path("\"" + elsewhere.path() + "\"", mame.path(), "nes"),
              elsewhere.file("nes.xml"));
}

TEST(SoftwareList, AvailabilityLooksBelowEveryRomFolder) {
    TempDir mame;
    TempDir absolute;
    std::vector<SoftwareItem> items = parse(nes_list);
    items.push_back(items[0]);
    items.back().name = "smbj";
    items.back().disk_names = {"FF Disc 1"}; // a disk name two items share

    mame.write("roms/nes/SMB.ZIP", "x");                   // capitals
    absolute.write("nes/deeper/still/ff disc 1.chd", "x"); // a disk, in a deeper folder
    mame.write("roms/snes/vgm.zip", "x");                  // another list's folder
    mame.write("roms/nes/vgm", "x");                       // no extension: counts
    mame.write("roms/nes/smbj.zip.bak", "x");              // base name "smbj.zip": no match
    scan_software_availability(items, "nes", "roms;" + absolute.path(), mame.path());
    EXPECT_EQ(items[0].available, SoftwareAvailability::Available); // smb
    EXPECT_EQ(items[1].available, SoftwareAvailability::Available); // ff, through its disk
    EXPECT_EQ(items[2].available, SoftwareAvailability::Available); // vgm
    EXPECT_EQ(items[3].available, SoftwareAvailability::Available); // smbj, through the shared disk

    // A clone's disk named like its parent, in the clone's own folder, is the clone's only.
    std::vector<SoftwareItem> saturn(2);
    saturn[0].name = "culdcept";
    saturn[0].disk_names = {"culdcept"};
    saturn[1].name = "culdcepta";
    saturn[1].disk_names = {"culdcept"};
    mame.write("roms/saturn/culdcepta/culdcept.chd", "x");
    scan_software_availability(saturn, "saturn", "roms", mame.path());
    EXPECT_EQ(saturn[0].available, SoftwareAvailability::Missing);
    EXPECT_EQ(saturn[1].available, SoftwareAvailability::Available);

    std::vector<SoftwareItem> fresh = parse(nes_list);
    scan_software_availability(fresh, "nes", "", mame.path());
    for (const SoftwareItem& item : fresh)
        EXPECT_EQ(item.available, SoftwareAvailability::Missing);

    items[1].available = SoftwareAvailability::Missing;
    EXPECT_EQ(filter_software_items(items, SoftwareFilter::All),
              (std::vector<std::int64_t>{0, 1, 2, 3}));
    EXPECT_EQ(filter_software_items(items, SoftwareFilter::Available),
              (std::vector<std::int64_t>{0, 2, 3}));
    EXPECT_EQ(filter_software_items(items, SoftwareFilter::Missing),
              (std::vector<std::int64_t>{1}));

    // The search narrows by title or short name, without regard to case, within the filter.
    struct Case {
        SoftwareFilter filter;
        const char* search;
        std::vector<std::int64_t> shown;
    };
    for (const Case& c :
         {Case{SoftwareFilter::All, "MARIO", {0, 3}}, Case{SoftwareFilter::All, "smbj", {3}},
          Case{SoftwareFilter::All, "fantasy &", {1}},
          Case{SoftwareFilter::Available, "fantasy", {}}, Case{SoftwareFilter::Missing, "f", {1}},
          Case{SoftwareFilter::All, "zzz", {}}})
        EXPECT_EQ(filter_software_items(items, c.filter, c.search), c.shown) << c.search;

    // Accents are ignored, in a loaded list (keys made once) and in one made by hand alike.
    std::vector<SoftwareItem> accents(2);
    accents[0].description = "Jing\xC5\xAB"
                             "kan Monogatari";
    accents[1].description = "Pok\xC3\xA9mon Pinball";
    accents[1].name = "pokepinb";
    for (const bool prepared : {false, true}) {
        if (prepared) prepare_software_search(accents);
        EXPECT_EQ(filter_software_items(accents, SoftwareFilter::All, "jinguk"),
                  (std::vector<std::int64_t>{0}));
        EXPECT_EQ(filter_software_items(accents, SoftwareFilter::All, "POKEMON"),
                  (std::vector<std::int64_t>{1}));
        EXPECT_EQ(filter_software_items(accents, SoftwareFilter::All, "pok\xC3\xA9pinb"),
                  (std::vector<std::int64_t>{1}));
    }
}

} // namespace
} // namespace orvel
