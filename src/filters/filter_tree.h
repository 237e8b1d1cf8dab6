#pragma once
// The filter tree as a list of items in display order: the "Filters" root with one group per
// filter kind whose children behave like radio buttons (the chosen one carries the chosen
// marker), then the "Folders" root with "Default"/"All" and the category folders. A tree view
// only displays this list; clicks come back through on_tree_click.

#include "database/machine.h"
#include "filters/filter_set.h"
#include "filters/folders.h"
#include "host/pictures.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvel {

// Pictures of the tree's items (host/pictures.h); each group's own picture is in the filter
// table.
enum TreeIcon : int {
    icon_none = 0,
    icon_filters_root = icon::filters_root,
    icon_folders_root = icon::folders_root,
    icon_folder = icon::folder,     // "Default" and every category folder
    icon_chosen = icon::chosen,     // the chosen child of a group (a green check mark)
    icon_unchosen = icon::unchosen, // every other child (the same mark in light grey)
};

enum TreeKind : int { kind_filters = 1, kind_folders = 2, kind_root = 3 };

struct TreeItem {
    std::string caption;
    std::uint8_t expanded = 0; // 1 while shown expanded
    int icon = icon_none;      // a picture number
    int level = 0;             // 0 root, 1 group or folder, 2 child or sub-folder
    int kind = kind_root;      // a TreeKind

    bool chosen() const { return icon == icon_chosen; }
};

using TreeItemList = std::vector<TreeItem>;

// Rebuilds the item list from the filter table: every group on its default child (matching the
// default filter set),
// groups and folders collapsed, the two roots expanded. The children of the dynamic groups are
// the distinct values of their field (case-sensitive distinctness, the empty value shown once
// as "[No Entry]"), sorted without regard to case.
void build_filter_tree(const MachineList& machines, const FolderList& folders, TreeItemList& items);

// A left click on item index (the tree's selection has moved there). A child of a filter group
// applies its choice; a sub-folder (or "All" under "Default") moves the folder marker and
// chooses the folder. Roots, groups and folders do nothing. Returns true when the filter set
// changed and the list must be refilled (the caller keeps the selected row number).
bool on_tree_click(TreeItemList& items, std::size_t index, FilterSet& filter);

// Moves the chosen marker within the clicked item's group and applies the choice for a filter
// group child. Returns true when the filter set may have changed. on_tree_click calls it.
bool apply_tree_selection(TreeItemList& items, std::size_t index, FilterSet& filter);

// The group (or folder) of an item: the nearest item above it one level up; npos for a root.
std::size_t group_of(const TreeItemList& items, std::size_t index);
// The children of the group item at group_index: [first, last) positions in the item list.
struct ChildRange {
    std::size_t first = 0;
    std::size_t last = 0;
};
ChildRange children_of(const TreeItemList& items, std::size_t group_index);

// Finds a child by its group's caption and its own caption (exact), among items of one kind;
// npos when there is none. For a folder caption shared by several folders, the first.
std::size_t find_tree_child(const TreeItemList& items, TreeKind kind, std::string_view group,
                            std::string_view child);

// "Expand Tree": every item expanded. "Close Tree": every group, folder and child collapsed,
// the two roots stay open. The caller redisplays the tree.
void expand_tree(TreeItemList& items);
void close_tree(TreeItemList& items);
// The tree view reports an expand or a collapse of the item at index.
void set_item_expanded(TreeItemList& items, std::size_t index, bool expanded);

// "Reset Filter" in the core: the tree items rebuilt with every group on its default child and
// the filter set back to its defaults (folder captions kept). The caller then empties the
// search box, refills the list, selects row 0 and updates the status bar.
void reset_filter(FilterSet& filter, TreeItemList& items, const MachineList& machines,
                  const FolderList& folders);

} // namespace orvel
