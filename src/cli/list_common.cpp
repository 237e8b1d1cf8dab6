#include "cli/list_common.h"

#include "filters/filter_tree.h"
#include "filters/folders.h"

#include <iostream>

namespace orvel::cli {

bool load_machines_and_folders(const Options& options, AppState& state, Host& host,
                               std::string& error) {
    if (!start_core(options, state, host, error)) return false;
    if (!open_machine_database(state, host, error)) return false;
    load_folders(state.mame_paths.categorypath, state.settings.MAME_Path, state.machines,
                 state.folders);
    return true;
}

int parse_list_options(const std::vector<std::string>& args, ListOptions& out,
                       std::vector<std::string>* rest) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= args.size()) return false;
            into = args[++i];
            return true;
        };
        std::string v;
        if (a == "--choose" || a == "--folder") {
            if (!value(v)) return fail(a + " needs \"GROUP/CHILD\"", usage_error);
            out.choices.push_back({a == "--folder", v});
        } else if (a == "--search") {
            if (!value(v)) return fail("--search needs a text", usage_error);
            out.search = v;
        } else if (a == "--sort") {
            if (!value(v) || (v != "description" && v != "name" && v != "played"))
                return fail("--sort needs description, name or played", usage_error);
            out.sort = v == "name"     ? SortType::Name
                       : v == "played" ? SortType::LastPlayed
                                       : SortType::Description;
        } else if (a == "--count") {
            out.count = true;
        } else if (rest && (a.empty() || a[0] != '-')) {
            rest->push_back(a);
        } else {
            return fail("unknown option '" + a + "'", usage_error);
        }
    }
    return ok;
}

int apply_list_options(AppState& state, const ListOptions& options) {
    build_filter_tree(state.machines, state.folders, state.tree);
    for (const ListOptions::Choice& choice : options.choices) {
        // Group and folder captions hold no "/", children may ("Sega / Gremlin").
        const size_t slash = choice.path.find('/');
        if (slash == std::string::npos)
            return fail("'" + choice.path + "' is not GROUP/CHILD", usage_error);
        const std::string group = choice.path.substr(0, slash);
        const std::string child = choice.path.substr(slash + 1);
        const TreeKind kind = choice.folder ? kind_folders : kind_filters;
        const size_t item = find_tree_child(state.tree, kind, group, child);
        if (item == std::string::npos)
            return fail(std::string(choice.folder ? "no such folder: " : "no such choice: ") +
                            choice.path,
                        usage_error);
        on_tree_click(state.tree, item, state.filter);
    }
    if (options.search) set_search_text(state.filter, *options.search);
    const SortType sort =
        options.sort ? *options.sort : sort_type_of(state.settings.ORVEL_Sort_Type);
    state.current_machine = refill_view(state.machines, state.filter, state.folders, sort,
                                        state.view, state.list_index);
    return ok;
}

} // namespace orvel::cli
