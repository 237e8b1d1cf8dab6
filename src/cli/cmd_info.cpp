// orvel-cli info NAME: the attribute table as LABEL<TAB>VALUE, then one line per picture kind:
// KIND<TAB>SOURCE<TAB>PATH<TAB>ENTRY (source 0 not found, 1 file, 2 archive inside the folder,
// 3 archive beside it; ENTRY only for archives).

#include "cli/common.h"
#include "info/machine_info.h"

#include <iostream>

namespace orvel::cli {

int cmd_info(const Options& options, const std::vector<std::string>& args) {
    if (args.size() != 1) return fail("info: usage: info NAME", usage_error);
    AppState state;
    TerminalHost host(options.answer);
    std::string error;
    const Machine* found = open_named_machine(options, state, host, "info", args[0], error);
    if (!found) return fail(error);
    const Machine& machine = *found;

    for (const AttributeRow& row : machine_attribute_rows(machine))
        std::cout << row.label << "\t" << row.value << "\n";
    for (const PictureKind& kind : picture_kinds()) {
        const PictureLocation found =
            find_picture(kind, machine, state.mame_paths, state.settings.MAME_Path);
        std::cout << kind.key << "\t" << static_cast<int>(found.source) << "\t" << found.path
                  << "\t" << found.entry << "\n";
    }
    return ok;
}

} // namespace orvel::cli
