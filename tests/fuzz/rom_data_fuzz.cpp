// ROM data files of any shape: what the reader accepts points only inside its pool, and writing
// it gives back the same bytes.
#include "database/rom_data.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const orvel::Result<orvel::RomData> parsed = orvel::RomData::parse(bytes);
    if (!parsed) return 0;
    const orvel::RomData& d = *parsed;
    for (const orvel::RomSet& s : d.sets()) {
        (void)d.find(d.text(s.name));
        for (std::uint32_t r = 0; r < s.rom_count; ++r)
            (void)d.text(d.roms()[s.first_rom + r].merge);
        for (std::uint32_t i = 0; i < s.device_count; ++i)
            (void)d.text(d.device_refs()[s.first_device + i]);
    }
    if (d.serialize() != bytes) std::abort();
    return 0;
}
