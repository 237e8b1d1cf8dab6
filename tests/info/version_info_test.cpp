#include "info/version_info.h"
#include "support/scripted_host.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace orvel;
using namespace orvel::test;

namespace {

// Builds small Windows executables byte by byte: headers, one ".rsrc" section and a version
// resource laid out as the resource compiler lays it out.
struct Bytes {
    std::string data;
    void u16(std::uint16_t v) {
        data.push_back(static_cast<char>(v & 0xFF));
        data.push_back(static_cast<char>(v >> 8));
    }
    void u32(std::uint32_t v) {
        u16(static_cast<std::uint16_t>(v & 0xFFFF));
        u16(static_cast<std::uint16_t>(v >> 16));
    }
    void pad4() {
        while (data.size() % 4)
            data.push_back('\0');
    }
    void put32(size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            data[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    }
};

void utf16z(Bytes& b, const std::u16string& text) {
    for (char16_t c : text)
        b.u16(c);
    b.u16(0);
}

// One version block: length, value length, type, key, padding, value, padding, children.
std::string block(const std::u16string& key, const std::string& value, std::uint16_t value_length,
                  bool text, const std::vector<std::string>& children) {
    Bytes b;
    b.u16(0);
    b.u16(value_length);
    b.u16(text ? 1 : 0);
    utf16z(b, key);
    b.pad4();
    b.data += value;
    for (const std::string& c : children) {
        b.pad4();
        b.data += c;
    }
    b.data[0] = static_cast<char>(b.data.size() & 0xFF);
    b.data[1] = static_cast<char>(b.data.size() >> 8);
    return b.data;
}

std::string string_entry(const std::u16string& key, const std::u16string& value) {
    Bytes v;
    utf16z(v, value);
    return block(key, v.data, static_cast<std::uint16_t>(value.size() + 1), true, {});
}

struct VersionSpec {
    std::vector<std::pair<std::u16string, std::u16string>> strings = {
        {u"FileVersion", u"0.251.0.0"},
        {u"ProductName", u"MAME"},
        {u"ProductVersion", u"0.251"},
        {u"CompanyName", u"MAMEdev.org"}};
    std::u16string table = u"040904B0";
    std::uint16_t language = 0x0409, code_page = 0x04B0;
    bool translation = true;
};

std::string version_resource(const VersionSpec& spec) {
    std::vector<std::string> entries;
    for (const auto& [k, v] : spec.strings)
        entries.push_back(string_entry(k, v));
    const std::string table = block(spec.table, "", 0, true, entries);
    const std::string string_info = block(u"StringFileInfo", "", 0, true, {table});
    Bytes pair;
    pair.u16(spec.language);
    pair.u16(spec.code_page);
    std::vector<std::string> children = {string_info};
    if (spec.translation)
        children.push_back(
            block(u"VarFileInfo", "", 0, true, {block(u"Translation", pair.data, 4, false, {})}));
    Bytes fixed;
    fixed.u32(0xFEEF04BD);
    while (fixed.data.size() < 52)
        fixed.u32(0);
    return block(u"VS_VERSION_INFO", fixed.data, 52, false, children);
}

// A whole executable around a version resource; pe64 selects the 64-bit optional header.
std::string executable(const std::string& resource, bool pe64 = false) {
    const std::uint32_t section_va = 0x1000, section_file = 0x200;
    const std::uint16_t optional_size = pe64 ? 240 : 224;
    Bytes b;
    b.data.assign(0x40, '\0');
    b.data[0] = 'M';
    b.data[1] = 'Z';
    b.put32(0x3C, 0x40);
    b.data += std::string("PE\0\0", 4);
    b.u16(pe64 ? 0x8664 : 0x14C); // machine
    b.u16(1);                     // sections
    b.u32(0);
    b.u32(0);
    b.u32(0);
    b.u16(optional_size);
    b.u16(0x0102);
    const size_t opt = b.data.size();
    b.data.append(optional_size, '\0');
    b.data[opt] = 0x0B;
    b.data[opt + 1] = pe64 ? 0x02 : 0x01;
    const size_t dirs = opt + (pe64 ? 112 : 96);
    b.put32(opt + (pe64 ? 108 : 92), 16);

    // Resource tree: type 16 -> name 1 -> language 0x409 -> data entry -> resource bytes. An
    // icon type comes first and leads nowhere useful: it must be passed over.
    Bytes r;
    auto header = [&r](std::uint16_t ids) {
        r.u32(0);
        r.u32(0);
        r.u32(0);
        r.u16(0);
        r.u16(ids);
    };
    header(2);
    r.u32(3);
    r.u32(0x80000000u | 0x00);
    r.u32(16);
    r.u32(0x80000000u | 0x20);
    header(1); // 0x20
    r.u32(1);
    r.u32(0x80000000u | 0x38);
    header(1); // 0x38
    r.u32(0x0409);
    r.u32(0x50);
    r.u32(section_va + 0x60); // 0x50: the data entry
    r.u32(static_cast<std::uint32_t>(resource.size()));
    r.u32(0);
    r.u32(0);
    r.data += resource;
    r.pad4();

    b.put32(dirs + 16, section_va);
    b.put32(dirs + 20, static_cast<std::uint32_t>(r.data.size()));
    b.data += ".rsrc";
    b.data.append(3, '\0');
    b.u32(static_cast<std::uint32_t>(r.data.size()));
    b.u32(section_va);
    b.u32(static_cast<std::uint32_t>(r.data.size()));
    b.u32(section_file);
    b.data.append(16, '\0');
    b.data.resize(section_file, '\0');
    b.data += r.data;
    return b.data;
}

} // namespace

TEST(VersionInfo, ProductVersionAloneOrLabelled) {
    TempDir dir;
    const std::string exe = dir.write("mame.exe", executable(version_resource({})));
    EXPECT_EQ(read_version_info(exe, version_product_version, false), "0.251");
    EXPECT_EQ(read_version_info(exe, version_product_version, true), "ProductVersion:\t0.251");
    const std::string exe64 = dir.write("mame64.exe", executable(version_resource({}), true));
    EXPECT_EQ(read_version_info(exe64, version_product_version, false), "0.251");
}

TEST(VersionInfo, FieldsComeInBitOrderAndMissingOnesAreLeftOut) {
    TempDir dir;
    const std::string exe = dir.write("mame.exe", executable(version_resource({})));
    EXPECT_EQ(read_version_info(exe,
                                version_company_name | version_file_version | version_comments |
                                    version_product_version | version_language,
                                true),
              "FileVersion:\t0.251.0.0\nProductVersion:\t0.251\nCompanyName:\tMAMEdev.org\n"
              "Language:\tEnglish (United States)");
    EXPECT_EQ(read_version_info(exe, version_product_name | version_language, false),
              "MAME\nEnglish (United States)");
}

TEST(VersionInfo, TheTranslationNamesTheStringTable) {
    TempDir dir;
    VersionSpec other;
    other.table = u"080904E4";
    other.language = 0x0809;
    other.code_page = 0x04E4;
    other.strings = {{u"ProductVersion", u"0.260 \u00E9\U0001F600"}};
    const std::string exe = dir.write("a.exe", executable(version_resource(other)));
    EXPECT_EQ(read_version_info(exe, version_product_version | version_language, false),
              "0.260 \xC3\xA9\xF0\x9F\x98\x80\nEnglish (United Kingdom)");

    VersionSpec mismatch;
    mismatch.language = 0x0407;
    const std::string exe2 = dir.write("b.exe", executable(version_resource(mismatch)));
    EXPECT_EQ(read_version_info(exe2, version_product_version, false), "");

    VersionSpec no_translation;
    no_translation.translation = false;
    const std::string exe3 = dir.write("c.exe", executable(version_resource(no_translation)));
    EXPECT_EQ(read_version_info(exe3, version_product_version, false), "");
}

TEST(VersionInfo, FilesWithoutAVersionResource) {
    TempDir dir;
    EXPECT_EQ(read_version_info(dir.file("missing.exe"), 64, false), "");
    EXPECT_EQ(read_version_info(dir.write("empty.exe", ""), 64, false), "");
    EXPECT_EQ(read_version_info(dir.write("mame", "\x7F"
                                                  "ELF\x02\x01\x01"),
                                64, false),
              "");
    EXPECT_EQ(read_version_info(dir.write("mz.exe", "MZ"), 64, false), "");
    EXPECT_EQ(read_version_info(dir.path(), 64, false), "");
}

TEST(VersionInfo, TruncatedAndDamagedFilesNeverCrash) {
    TempDir dir;
    const std::string good = executable(version_resource({}));
    const std::string path = dir.file("damaged.exe");
    // Every prefix: either nothing or the right answer.
    for (size_t n = 0; n < good.size(); n += 5) {
        dir.write("damaged.exe", good.substr(0, n));
        const std::string v = read_version_info(path, 0xFFFF, true);
        EXPECT_TRUE(v.empty() || v.find("0.251") != std::string::npos) << n;
    }
    // Every byte set to an extreme value, one at a time.
    const char extremes[] = {'\x00', '\xFF', '\x7F'};
    for (size_t i = 0; i < good.size(); ++i) {
        std::string bad = good;
        bad[i] = extremes[i % 3];
        dir.write("damaged.exe", bad);
        (void)read_version_info(path, 0xFFFF, true);
    }
    SUCCEED() << "no crash on " << good.size() << " damaged files";
}
