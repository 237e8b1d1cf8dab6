#include "filters/filter_tree.h"

#include "filters/filter_table.h"
#include "platform/text.h"

#include <algorithm>
#include <unordered_set>

namespace orvel {

namespace {

TreeItem item(std::string caption, int icon, int level, int kind, bool expanded = false) {
    TreeItem t;
    t.caption = std::move(caption);
    t.expanded = expanded ? 1 : 0;
    t.icon = icon;
    t.level = level;
    t.kind = kind;
    return t;
}

// The distinct values of one field (exact, with case), the empty value as "[No Entry]", sorted
// without regard to case; values equal without case keep a fixed order among themselves.
std::vector<std::string_view> distinct_values(const MachineList& machines,
                                              std::string Machine::*field) {
    std::unordered_set<std::string_view> seen;
    seen.reserve(4096);
    std::vector<std::string_view> values;
    for (const Machine& m : machines) {
        const std::string& v = m.*field;
        const std::string_view caption = v.empty() ? no_entry_caption : std::string_view(v);
        if (seen.insert(caption).second) values.push_back(caption);
    }
    std::sort(values.begin(), values.end(), [](std::string_view a, std::string_view b) {
        const int c = icompare(a, b);
        return c != 0 ? c < 0 : a < b;
    });
    return values;
}

} // namespace

void build_filter_tree(const MachineList& machines, const FolderList& folders,
                       TreeItemList& items) {
    items.clear();
    items.push_back(item("Filters", icon_filters_root, 0, kind_root, true));
    for (const FilterGroup& group : filter_groups()) {
        items.push_back(item(std::string(group.caption), group.picture, 1, kind_filters));
        const int chosen = group.default_child();
        if (!group.lists_values()) {
            // The fixed children, then "All".
            for (size_t c = 0; c <= group.children.size(); ++c) {
                const std::string_view caption =
                    c < group.children.size() ? group.children[c].caption : "All";
                items.push_back(item(std::string(caption),
                                     static_cast<int>(c) == chosen ? icon_chosen : icon_unchosen, 2,
                                     kind_filters));
            }
            continue;
        }
        items.push_back(item("All", icon_chosen, 2, kind_filters));
        for (const std::string_view v : distinct_values(machines, group.field))
            items.push_back(item(std::string(v), icon_unchosen, 2, kind_filters));
    }
    items.push_back(item("Folders", icon_folders_root, 0, kind_root, true));
    items.push_back(item("Default", icon_folder, 1, kind_folders));
    items.push_back(item("All", icon_chosen, 2, kind_folders));
    for (const Folder& folder : folders) {
        items.push_back(item(folder.caption, icon_folder, 1, kind_folders));
        for (const SubFolder& sub : folder.sub_folders)
            items.push_back(item(sub.caption, icon_unchosen, 2, kind_folders));
    }
}

std::size_t group_of(const TreeItemList& items, std::size_t index) {
    if (index >= items.size() || items[index].level == 0) return std::string::npos;
    const int want = items[index].level - 1;
    for (std::size_t i = index; i-- > 0;)
        if (items[i].level == want) return i;
    return std::string::npos;
}

ChildRange children_of(const TreeItemList& items, std::size_t group_index) {
    ChildRange range{group_index + 1, group_index + 1};
    if (group_index >= items.size()) return {items.size(), items.size()};
    const int child_level = items[group_index].level + 1;
    while (range.last < items.size() && items[range.last].level >= child_level)
        ++range.last;
    return range;
}

bool apply_tree_selection(TreeItemList& items, std::size_t index, FilterSet& filter) {
    if (index >= items.size() || items[index].level != 2) return false;
    const std::size_t group = group_of(items, index);
    if (group == std::string::npos) return false;
    const ChildRange range = children_of(items, group);
    for (std::size_t i = range.first; i < range.last; ++i)
        if (items[i].level == 2) items[i].icon = i == index ? icon_chosen : icon_unchosen;
    if (items[index].kind != kind_filters)
        return true; // a sub-folder: on_tree_click has chosen the folder already
    const int position = static_cast<int>(index - range.first) + 1;
    return apply_tree_choice(filter, items[group].caption, position, items[index].caption);
}

bool on_tree_click(TreeItemList& items, std::size_t index, FilterSet& filter) {
    if (index >= items.size() || items[index].level != 2) return false;
    if (items[index].kind == kind_filters) return apply_tree_selection(items, index, filter);
    if (items[index].kind != kind_folders) return false;
    // One sub-folder is chosen across all folders.
    for (TreeItem& t : items)
        if (t.kind == kind_folders && t.level == 2) t.icon = icon_unchosen;
    items[index].icon = icon_chosen;
    std::size_t folder = index;
    while (folder > 0 && items[folder].level == 2)
        --folder;
    choose_folder(filter, items[folder].caption, items[index].caption);
    apply_tree_selection(items, index, filter);
    return true;
}

std::size_t find_tree_child(const TreeItemList& items, TreeKind kind, std::string_view group,
                            std::string_view child) {
    for (std::size_t g = 0; g < items.size(); ++g) {
        if (items[g].level != 1 || items[g].kind != kind || items[g].caption != group) continue;
        const ChildRange range = children_of(items, g);
        for (std::size_t i = range.first; i < range.last; ++i)
            if (items[i].level == 2 && items[i].caption == child) return i;
    }
    return std::string::npos;
}

void expand_tree(TreeItemList& items) {
    for (TreeItem& t : items)
        t.expanded = 1;
}

void close_tree(TreeItemList& items) {
    for (TreeItem& t : items)
        if (t.level == 1 || t.level == 2) t.expanded = 0;
}

void set_item_expanded(TreeItemList& items, std::size_t index, bool expanded) {
    if (index < items.size()) items[index].expanded = expanded ? 1 : 0;
}

void reset_filter(FilterSet& filter, TreeItemList& items, const MachineList& machines,
                  const FolderList& folders) {
    build_filter_tree(machines, folders, items);
    reset_filter_set(filter);
}

} // namespace orvel
