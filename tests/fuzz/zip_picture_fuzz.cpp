// Zip archives of any shape holding pictures: entries are looked up, read within the size cap
// and decoded as PNG.
#include "fuzz_file.h"
#include "info/machine_info.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& archive = orvel::fuzz::input_file(data, size);
    for (const char* entry : {"pacman.png", "snap/pacman.png"}) {
        (void)orvel::zip_has_entry(archive, entry);
        if (const auto image = orvel::load_image_from_zip(archive, entry))
            if (image->width <= 0 || image->height <= 0) std::abort();
    }
    return 0;
}
