#include "info/png.h"

#include "info/test_pictures.h"
#include "support/scripted_host.h"

#include <gtest/gtest.h>

#include <zlib.h>

using namespace orvel;

namespace {

std::uint32_t be32(const std::string& s, size_t at) {
    return (static_cast<std::uint32_t>(static_cast<unsigned char>(s[at])) << 24) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 1])) << 16) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 2])) << 8) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 3]));
}

void put_be32(std::string& s, size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        s[at + static_cast<size_t>(i)] = static_cast<char>((v >> (24 - 8 * i)) & 0xFF);
}

// Rewrites the size in the header chunk (and its checksum), as a lying file would.
std::string with_size(std::string png, std::uint32_t width, std::uint32_t height) {
    put_be32(png, 16, width);
    put_be32(png, 20, height);
    const auto crc = crc32(0, reinterpret_cast<const Bytef*>(png.data() + 12), 17);
    put_be32(png, 29, static_cast<std::uint32_t>(crc));
    return png;
}

} // namespace

TEST(Png, DecodesToRgba) {
    const std::string png = test::make_png(5, 3);
    ASSERT_TRUE(is_png(png));
    const auto image = decode_png(png);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 5);
    EXPECT_EQ(image->height, 3);
    ASSERT_EQ(image->pixels.size(), 5u * 3 * 4);
    const std::uint8_t* p = &image->pixels[(2 * 5 + 4) * 4]; // x 4, y 2
    EXPECT_EQ(p[0], 4);
    EXPECT_EQ(p[1], 2);
    EXPECT_EQ(p[2], 7);
    EXPECT_EQ(p[3], 200);
    EXPECT_EQ(be32(png, 16), 5u);

    test::TempDir dir;
    const auto from_file = decode_png_file(dir.write("a.png", png));
    ASSERT_TRUE(from_file);
    EXPECT_EQ(from_file->pixels, image->pixels);
    EXPECT_FALSE(decode_png_file(dir.file("missing.png")));
}

TEST(Png, DamagedInputGivesNoImage) {
    const std::string png = test::make_png(64, 64);
    // Cut at every length up to the last chunk: never a crash, never a half picture.
    for (size_t cut = 0; cut + 12 < png.size(); cut += 7)
        EXPECT_FALSE(decode_png(png.substr(0, cut))) << "cut at " << cut;
    EXPECT_FALSE(decode_png(""));
    EXPECT_FALSE(decode_png("GIF89a not a png"));
    // A header claiming far more pixels than the data holds.
    EXPECT_FALSE(decode_png(with_size(png, 16000, 16000)));
    EXPECT_FALSE(decode_png(with_size(png, 100000, 1)));
    EXPECT_FALSE(decode_png(with_size(png, 0, 64)));
    // Claiming a little more than the data holds runs out of data.
    EXPECT_FALSE(decode_png(with_size(png, 64, 65)));
    // Damaged image data.
    std::string bad = png;
    bad[bad.size() / 2] = static_cast<char>(bad[bad.size() / 2] ^ 0x55);
    EXPECT_FALSE(decode_png(bad));
}
