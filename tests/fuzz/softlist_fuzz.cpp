// Feeds arbitrary bytes to the software list reader: it must never crash, hang or leak, and the
// items it keeps must stay well formed.
#include "softlist/software_list.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<orvel::SoftwareItem> items;
    const std::string_view xml(reinterpret_cast<const char*>(data), size);
    const orvel::SoftwareParseResult result = orvel::parse_software_list(xml, "fuzz", items);
    if (result.error) (void)orvel::xml_error_text(*result.error);
    orvel::sort_software_items(items);
    for (const orvel::SoftwareItem& item : items) {
        if (item.list_name != "fuzz") std::abort();
        (void)item.media_switch();
    }
    (void)orvel::filter_software_items(items, orvel::SoftwareFilter::Missing);
    return 0;
}
