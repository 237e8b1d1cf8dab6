// PNG decoding of damaged, truncated or lying files. The pixel buffer must match the size.
#include "info/png.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto image =
        orvel::decode_png(std::string_view(reinterpret_cast<const char*>(data), size));
    if (image && image->pixels.size() != static_cast<std::size_t>(image->width) *
                                             static_cast<std::size_t>(image->height) * 4)
        std::abort();
    return 0;
}
