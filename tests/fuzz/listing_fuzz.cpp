// MAME's XML listing of any shape: the records it yields, sorted, must survive the database
// file: written, read back and written again, they give the same bytes.
#include "database/database_file.h"
#include "database/listing_build.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    orvel::MachineList machines;
    const orvel::ListingParse parse = orvel::parse_listing_text(
        std::string_view(reinterpret_cast<const char*>(data), size), machines);
    if (!parse.ok) (void)orvel::xml_error_text(parse.error);
    orvel::sort_by_description(machines);
    std::string written;
    for (const orvel::Machine& m : machines)
        if (!m.name.empty()) orvel::append_record_section(written, m);
    orvel::MachineList loaded;
    orvel::parse_database(written, loaded);
    std::string again;
    for (const orvel::Machine& m : loaded)
        orvel::append_record_section(again, m);
    if (again != written) std::abort();
    return 0;
}
