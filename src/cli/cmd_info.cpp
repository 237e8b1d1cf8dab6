// orvel-cli info NAME [--dat]: the attribute table as LABEL<TAB>VALUE, then one line per picture
// kind: KIND<TAB>SOURCE<TAB>PATH<TAB>ENTRY (source 0 not found, 1 file, 2 archive inside the
// folder, 3 archive beside it; ENTRY only for archives). --dat adds dat<TAB>KIND<TAB>FILE for
// the DAT text the information window opens on (0 and nothing when there is none) and the lines
// its text list shows.

#include "cli/common.h"
#include "info/dat_files.h"
#include "info/machine_info.h"

#include <iostream>

namespace orvel::cli {

int cmd_info(const Options& options, const std::vector<std::string>& args) {
    std::vector<std::string> names;
    bool dat = false;
    for (const std::string& arg : args) {
        if (arg == "--dat")
            dat = true;
        else
            names.push_back(arg);
    }
    if (names.size() != 1) return fail("info: usage: info NAME [--dat]", usage_error);
    AppState state;
    TerminalHost host(options.answer);
    std::string error;
    const Machine* found = open_named_machine(options, state, host, "info", names[0], error);
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
    if (!dat) return ok;
    const DatTexts texts =
        read_dat_texts(state.dat_cache, machine,
                       dat_folders(state.mame_paths.historypath, state.settings.MAME_Path),
                       fixed_width_measure(dat_terminal_char_width));
    const int kind = dat_kind_to_show(texts);
    std::cout << "dat\t" << kind << "\t" << dat_file_name(kind) << "\n";
    for (const std::string& line :
         dat_shown_lines(kind, kind == 0 ? std::string() : texts[static_cast<size_t>(kind - 1)]))
        std::cout << line << "\n";
    return ok;
}

} // namespace orvel::cli
