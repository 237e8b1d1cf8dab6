#pragma once
// Everything the desktop program keeps while it runs: the application state plus the filter
// set, the category folders, the tree item list and the filter pass's index.

#include "app/app_state.h"
#include "filters/filter_pass.h"
#include "filters/filter_set.h"
#include "filters/filter_tree.h"
#include "filters/folders.h"

namespace orvel::gui {

struct Session {
    AppState state;
    FilterSet filter;
    FolderList folders;
    TreeItemList tree;
    ListIndex index;

    Session() { set_default_filter(filter); }
};

} // namespace orvel::gui
