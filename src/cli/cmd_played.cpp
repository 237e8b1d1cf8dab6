// orvel-cli played [NAME]: the play record. Without a name, one line per machine played, the
// most recent first: NAME<TAB>TIMES PLAYED<TAB>LAST PLAYED<TAB>PLAY TIME; with one, that
// machine's three rows as the information window shows them (LABEL<TAB>VALUE).

#include "cli/common.h"
#include "database/played.h"

#include <algorithm>
#include <iostream>

namespace orvel::cli {

int cmd_played(const Options& options, const std::vector<std::string>& args) {
    if (args.size() > 1 || (!args.empty() && !args[0].empty() && args[0][0] == '-'))
        return fail("played: usage: played [NAME]", usage_error);
    AppState state;
    TerminalHost host(options.answer);
    std::string error;
    if (args.size() == 1) {
        const Machine* machine = open_named_machine(options, state, host, "played", args[0], error);
        if (!machine) return fail(error);
        std::cout << "Times Played\t" << machine->played.times << "\n"
                  << "Last Played\t" << last_played_text(machine->played) << "\n"
                  << "Play Time\t" << play_time_text(machine->played) << "\n";
        return ok;
    }
    if (const Status read = load_core_settings(options, state.settings); !read)
        return fail("played: " + std::string(read.message()));
    const PlayedMap played = read_played(state.settings.ORVEL_Data);
    std::vector<PlayedMap::const_iterator> order;
    for (auto it = played.begin(); it != played.end(); ++it)
        order.push_back(it);
    std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) {
        return a->second.last_start > b->second.last_start;
    });
    for (const auto& it : order)
        std::cout << it->first << "\t" << it->second.times << "\t" << last_played_text(it->second)
                  << "\t" << play_time_text(it->second) << "\n";
    return ok;
}

} // namespace orvel::cli
