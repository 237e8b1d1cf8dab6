// orvel-cli list: the rows of the machine list after the given tree choices and search text,
// one per line as NAME<TAB>TITLE<TAB>MANUFACTURER<TAB>YEAR; --count prints only the status
// bar's "Showing: N of M".

#include "cli/list_common.h"
#include "filters/list_texts.h"

#include <iostream>

namespace orvel::cli {

int cmd_list(const Options& options, const std::vector<std::string>& args) {
    ListOptions list;
    if (const int status = parse_list_options(args, list, nullptr); status != ok) return status;
    AppState state;
    TerminalHost host(options.answer);
    std::string error;
    if (!load_machines_and_folders(options, state, host, error)) return fail(error);
    if (const int status = apply_list_options(state, list); status != ok) return status;
    if (list.count) {
        std::cout << status_texts(state.machines, state.view, state.current_machine).fields[0]
                  << "\n";
        return ok;
    }
    std::string out;
    for (const std::int64_t p : state.view) {
        const Machine& m = state.machines[static_cast<size_t>(p)];
        out += m.name;
        out += '\t';
        out += title_cell(m);
        out += '\t';
        out += m.manufacturer;
        out += '\t';
        out += m.year;
        out += '\n';
    }
    std::cout << out;
    return ok;
}

} // namespace orvel::cli
