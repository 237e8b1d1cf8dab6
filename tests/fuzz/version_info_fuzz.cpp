// Executables of any shape: the version resource is read with every field, with and without
// labels.
#include "fuzz_file.h"
#include "info/version_info.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = orvel::fuzz::input_file(data, size);
    (void)orvel::read_version_info(path, 0x1FFF, true);
    (void)orvel::read_version_info(path, orvel::version_product_version, false);
    return 0;
}
