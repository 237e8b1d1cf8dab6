// MAME's mame.ini and ui.ini of any shape, read one after the other as start-up reads them.
#include "settings/mame_config.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    orvel::MamePaths paths;
    orvel::parse_mame_config(paths, bytes);
    orvel::parse_mame_config(paths, bytes.substr(size / 2));
    return 0;
}
