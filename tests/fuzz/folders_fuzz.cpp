// Category folder files of any shape, against a few machines: every position a sub-folder
// lists must be one of theirs.
#include "filters/folders.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const orvel::MachineList machines = [] {
        orvel::MachineList list;
        for (const char* name : {"pacman", "puckman", "galaga", "1942", "sf2"}) {
            list.emplace_back();
            list.back().name = name;
        }
        return list;
    }();
    static const orvel::NameMap names = orvel::build_name_map(machines);
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    orvel::Folder folder;
    if (orvel::read_folder_file(bytes, names, folder))
        for (const orvel::SubFolder& sub : folder.sub_folders)
            for (const std::int64_t p : sub.machines)
                if (p < 0 || static_cast<std::size_t>(p) >= machines.size()) std::abort();
    (void)orvel::folder_caption_of(bytes);
    return 0;
}
