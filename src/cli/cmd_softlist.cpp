// orvel-cli softlist: one software list with each item's availability, in list order (narrowed
// by --filter and by --search like the window's search box), as
// AVAILABLE<TAB>NAME<TAB>MEDIA SWITCH<TAB>YEAR<TAB>PUBLISHER<TAB>DESCRIPTION lines, then the
// window's title line.

#include "cli/common.h"
#include "softlist/software_list.h"

#include <iostream>

namespace orvel::cli {

namespace {

// A host that counts the message boxes it passes on.
class CountingHost : public TerminalHost {
  public:
    using TerminalHost::TerminalHost;
    int messages = 0;
    Answer message(std::string_view title, std::string_view text, Buttons buttons,
                   Icon icon) override {
        ++messages;
        return TerminalHost::message(title, text, buttons, icon);
    }
};

} // namespace

int cmd_softlist(const Options& options, const std::vector<std::string>& args) {
    std::string list_name;
    SoftwareFilter filter = SoftwareFilter::All;
    std::string search;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--search") {
            if (i + 1 >= args.size()) return fail("softlist: --search needs a text", usage_error);
            search = args[++i];
        } else if (args[i] == "--filter") {
            if (i + 1 >= args.size())
                return fail("softlist: --filter needs all, available or missing", usage_error);
            const std::string& f = args[++i];
            if (f == "all")
                filter = SoftwareFilter::All;
            else if (f == "available")
                filter = SoftwareFilter::Available;
            else if (f == "missing")
                filter = SoftwareFilter::Missing;
            else
                return fail("softlist: --filter needs all, available or missing, not '" + f + "'",
                            usage_error);
        } else if (!args[i].empty() && args[i].front() == '-') {
            return fail("softlist: unknown option '" + args[i] + "'", usage_error);
        } else if (list_name.empty()) {
            list_name = args[i];
        } else {
            return fail("softlist: unexpected argument '" + args[i] + "'", usage_error);
        }
    }
    if (list_name.empty())
        return fail("softlist: which software list? (for example nes)", usage_error);

    AppState state;
    CountingHost host(options.answer);
    std::string error;
    if (!start_core(options, state, host, error)) return fail(error);
    const SoftwareListLoad load =
        load_software_list(list_name, state.mame_paths.hashpath, state.mame_paths.rompath,
                           state.settings.MAME_Path, state.software_items, host);
    const auto& items = state.software_items.items;
    for (const std::int64_t position : filter_software_items(items, filter, search)) {
        const SoftwareItem& item = items[static_cast<std::size_t>(position)];
        std::cout << availability_word(item.available) << '\t' << item.name << '\t'
                  << item.media_switch() << '\t' << item.year << '\t' << item.publisher << '\t'
                  << item.description << '\n';
    }
    std::cout << load.title << '\n';
    if (!load.file_loaded)
        return fail(
            "softlist: no software list file " +
            software_list_path(state.mame_paths.hashpath, state.settings.MAME_Path, list_name));
    return host.messages == 0 ? ok : failure;
}

} // namespace orvel::cli
