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
    if (!start_core(options, state, host, error)) return fail(error);
    if (!open_machine_database(state, host, error)) return fail(error);
    const std::int64_t position = find_machine(state.machines, args[0]);
    if (position < 0) return fail("info: no machine named '" + args[0] + "'");
    const Machine& machine = state.machines[static_cast<std::size_t>(position)];

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
