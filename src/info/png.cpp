#include "info/png.h"

#include "platform/files.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <new>

namespace orvel {

namespace {

// Deflate packs at most about 1032 bytes into one, and a pixel may take as little as one bit
// of the unpacked data; a header claiming more than that is lying and is refused before any
// memory is set aside for it.
constexpr std::uint64_t max_unpack_ratio = 1032ull * 32;

struct MemoryReader {
    const unsigned char* data;
    std::size_t size;
    std::size_t position;
};

void read_memory(png_structp png, png_bytep out, png_size_t length) {
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (length > reader->size - reader->position) png_error(png, "truncated");
    std::memcpy(out, reader->data + reader->position, length);
    reader->position += length;
}

void on_error(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void on_warning(png_structp, png_const_charp) {}

// The part of the decode that libpng may leave with a long jump. Every object here is plain
// data; the image and the row pointers belong to the caller, so no destructor is skipped.
bool decode_into(png_structp png, png_infop info, std::size_t input_size, Image* image,
                 std::vector<png_bytep>* rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_user_limits(png, max_image_dimension, max_image_dimension);
    png_set_chunk_malloc_max(png, 8u * 1024 * 1024);
    png_read_info(png, info);

    png_uint_32 width = 0, height = 0;
    int bit_depth = 0, colour_type = 0;
    png_get_IHDR(png, info, &width, &height, &bit_depth, &colour_type, nullptr, nullptr, nullptr);
    const std::uint64_t pixels = static_cast<std::uint64_t>(width) * height;
    if (width == 0 || height == 0 || width > max_image_dimension || height > max_image_dimension ||
        pixels > max_image_pixels ||
        pixels > static_cast<std::uint64_t>(input_size) * max_unpack_ratio)
        return false;

    const bool has_trns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    if (colour_type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (colour_type == PNG_COLOR_TYPE_GRAY && bit_depth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (has_trns) png_set_tRNS_to_alpha(png);
    if (bit_depth == 16) png_set_strip_16(png);
    if (colour_type == PNG_COLOR_TYPE_GRAY || colour_type == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    if (!(colour_type & PNG_COLOR_MASK_ALPHA) && !has_trns)
        png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<std::size_t>(width) * 4) return false;

    image->pixels.assign(static_cast<std::size_t>(pixels) * 4, 0);
    rows->resize(height);
    for (png_uint_32 y = 0; y < height; ++y)
        (*rows)[y] = image->pixels.data() + static_cast<std::size_t>(y) * width * 4;
    png_read_image(png, rows->data());
    // The chunks after the image data are not needed; a file cut off after them still shows.
    image->width = static_cast<int>(width);
    image->height = static_cast<int>(height);
    return true;
}

} // namespace

bool is_png(std::string_view bytes) {
    return bytes.size() >= 8 &&
           png_sig_cmp(reinterpret_cast<png_const_bytep>(bytes.data()), 0, 8) == 0;
}

std::optional<Image> decode_png(std::string_view bytes) {
    if (!is_png(bytes)) return std::nullopt;
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, &on_error, &on_warning);
    if (!png) return std::nullopt;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return std::nullopt;
    }
    MemoryReader reader{reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), 0};
    png_set_read_fn(png, &reader, &read_memory);

    Image image;
    std::vector<png_bytep> rows;
    bool ok = false;
    try {
        ok = decode_into(png, info, bytes.size(), &image, &rows);
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    png_destroy_read_struct(&png, &info, nullptr);
    if (!ok) return std::nullopt;
    return image;
}

std::optional<Image> decode_png_file(const std::string& path) {
    const std::int64_t size = file_size(path);
    if (size < 8 || static_cast<std::uint64_t>(size) > max_image_pixels * 4) return std::nullopt;
    const Result<std::string> bytes = read_file(path, max_image_pixels * 4);
    if (!bytes) return std::nullopt;
    return decode_png(*bytes);
}

} // namespace orvel
