// The database file of any shape: reading what the reader's records write gives them back
// unchanged, and looking a section up never reads outside the bytes.
#include "database/database_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

std::string write(const orvel::MachineList& machines) {
    std::string out;
    for (const orvel::Machine& m : machines)
        orvel::append_record_section(out, m);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    orvel::MachineList machines;
    orvel::parse_database(bytes, machines);
    const std::string written = write(machines);
    orvel::MachineList loaded;
    orvel::parse_database(written, loaded);
    if (loaded.size() != machines.size() || write(loaded) != written) std::abort();
    for (const char* name : {"pacman", "a", ""})
        (void)orvel::find_record_section(bytes, name);
    return 0;
}
