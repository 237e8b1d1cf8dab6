#pragma once
// PNG decoding into 8-bit RGBA, for artwork and the program's own stored pictures. Decoding is
// safe on damaged input: a truncated file, bad chunks or a header that claims more pixels than
// the data could hold give no image, never a crash.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvel {

struct Image {
    int width = 0;
    int height = 0;
    // Rows top to bottom, each width * 4 bytes: red, green, blue, alpha (not premultiplied).
    std::vector<std::uint8_t> pixels;
};

// Pictures larger than this in either direction are refused.
inline constexpr std::uint32_t max_image_dimension = 16384;
// And larger than this in all (width * height).
inline constexpr std::uint64_t max_image_pixels = 64ull * 1024 * 1024;

bool is_png(std::string_view bytes);
std::optional<Image> decode_png(std::string_view bytes);
std::optional<Image> decode_png_file(const std::string& path);

} // namespace orvel
