#include "filters/filter_tree.h"
#include "machines.h"

#include <gtest/gtest.h>

using namespace orvel;
using namespace orvel::test;

namespace {

MachineList tree_machines() {
    MachineList ms = {machine("a"), machine("b"), machine("c"), machine("d")};
    ms[0].manufacturer = "Sega";
    ms[1].manufacturer = "sega"; // differs only in case: its own child
    ms[2].manufacturer = "Atari";
    ms[3].manufacturer = "Sega";
    ms[0].year = "1985";
    ms[1].year = "1985";
    ms[2].year = "1979";
    ms[3].year = "1985";
    ms[0].sourcefile = "sega/x.cpp";
    ms[1].sourcefile = "";
    ms[2].sourcefile = "atari/y.cpp";
    ms[3].sourcefile = "";
    return ms;
}

FolderList tree_folders() {
    FolderList fs(2);
    fs[0].caption = "genre";
    fs[0].sub_folders = {{"Maze", {0}}, {"Shooter", {1, 2}}};
    fs[1].caption = "Year"; // the same caption as a filter group
    fs[1].sub_folders = {{"Best", {3}}};
    return fs;
}

std::vector<std::string> children(const TreeItemList& items, TreeKind kind,
                                  std::string_view group) {
    std::vector<std::string> out;
    for (size_t g = 0; g < items.size(); ++g)
        if (items[g].level == 1 && items[g].kind == kind && items[g].caption == group) {
            const ChildRange r = children_of(items, g);
            for (size_t i = r.first; i < r.last; ++i)
                out.push_back(items[i].caption);
            break;
        }
    return out;
}

std::string chosen_child(const TreeItemList& items, TreeKind kind, std::string_view group) {
    for (size_t g = 0; g < items.size(); ++g)
        if (items[g].level == 1 && items[g].kind == kind && items[g].caption == group) {
            std::string out;
            const ChildRange r = children_of(items, g);
            for (size_t i = r.first; i < r.last; ++i)
                if (items[i].chosen()) out += (out.empty() ? "" : "+") + items[i].caption;
            return out;
        }
    return "?";
}

size_t index_of(const TreeItemList& items, TreeKind kind, std::string_view group,
                std::string_view child) {
    const size_t i = find_tree_child(items, kind, group, child);
    EXPECT_NE(i, std::string::npos) << group << "/" << child;
    return i;
}

} // namespace

TEST(FilterTree, BuildsGroupsWithTheirDefaultChildrenThenTheFolders) {
    const MachineList ms = tree_machines();
    TreeItemList items;
    build_filter_tree(ms, tree_folders(), items);
    ASSERT_FALSE(items.empty());
    EXPECT_EQ(items[0].caption, "Filters");
    EXPECT_EQ(items[0].level, 0);
    EXPECT_EQ(items[0].kind, kind_root);
    EXPECT_EQ(items[0].expanded, 1);
    std::vector<std::string> groups;
    for (const TreeItem& t : items)
        if (t.level == 1 && t.kind == kind_filters) {
            groups.push_back(t.caption);
            EXPECT_EQ(t.expanded, 0);
        }
    EXPECT_EQ(groups,
              std::vector<std::string>({"Audit", "Availability", "BIOS", "CHD Machines",
                                        "Favourites", "Manufacturer", "Mechanical", "Played",
                                        "Romset Type", "Runnability", "Screen Rotate",
                                        "Screen Type", "Software", "Source", "Status", "Year"}));
    EXPECT_EQ(children(items, kind_filters, "Runnability"),
              std::vector<std::string>({"Runnable", "Non Runnable", "All"}));
    EXPECT_EQ(chosen_child(items, kind_filters, "Runnability"), "Runnable");
    EXPECT_EQ(chosen_child(items, kind_filters, "BIOS"), "All");
    EXPECT_EQ(chosen_child(items, kind_filters, "Year"), "All");
    EXPECT_EQ(children(items, kind_filters, "Screen Rotate").front(), "0\xC2\xB0");
    // Distinct values with case, sorted without case, the empty value once as "[No Entry]".
    const auto makers = children(items, kind_filters, "Manufacturer");
    ASSERT_EQ(makers.size(), 4u);
    EXPECT_EQ(makers[0], "All");
    EXPECT_EQ(makers[1], "Atari");
    EXPECT_TRUE((makers[2] == "Sega" && makers[3] == "sega") ||
                (makers[2] == "sega" && makers[3] == "Sega"));
    EXPECT_EQ(children(items, kind_filters, "Year"),
              std::vector<std::string>({"All", "1979", "1985"}));
    EXPECT_EQ(children(items, kind_filters, "Source"),
              std::vector<std::string>({"All", "[No Entry]", "atari/y.cpp", "sega/x.cpp"}));
    // The Folders root, "Default" with "All" chosen, then the folders in list order.
    const size_t folders_root = index_of(items, kind_folders, "Default", "All") - 2;
    EXPECT_EQ(items[folders_root].caption, "Folders");
    EXPECT_EQ(items[folders_root].kind, kind_root);
    EXPECT_EQ(items[folders_root].expanded, 1);
    std::vector<std::string> tail;
    for (size_t i = folders_root + 1; i < items.size(); ++i)
        tail.push_back(std::to_string(items[i].level) + items[i].caption +
                       (items[i].chosen() ? "*" : ""));
    EXPECT_EQ(tail, std::vector<std::string>(
                        {"1Default", "2All*", "1genre", "2Maze", "2Shooter", "1Year", "2Best"}));
    for (size_t i = folders_root + 1; i < items.size(); ++i)
        EXPECT_EQ(items[i].kind, kind_folders);
}

TEST(FilterTree, NoEntryAppearsOnlyWhenSomeMachineHasTheFieldEmpty) {
    MachineList ms = {machine("a"), machine("b")};
    ms[0].year = "1990";
    ms[1].year = "1990";
    TreeItemList items;
    build_filter_tree(ms, {}, items);
    EXPECT_EQ(children(items, kind_filters, "Year"), std::vector<std::string>({"All", "1990"}));
    EXPECT_EQ(children(items, kind_filters, "Manufacturer"),
              std::vector<std::string>({"All", "[No Entry]"}));
}

TEST(FilterTree, ChoosingAChildMovesTheMarkerInItsGroupOnlyAndAppliesIt) {
    const MachineList ms = tree_machines();
    TreeItemList items;
    build_filter_tree(ms, tree_folders(), items);
    FilterSet f;
    EXPECT_TRUE(on_tree_click(items, index_of(items, kind_filters, "BIOS", "Needs BIOS"), f));
    EXPECT_EQ(chosen_child(items, kind_filters, "BIOS"), "Needs BIOS");
    EXPECT_EQ(chosen_child(items, kind_filters, "Runnability"), "Runnable");
    EXPECT_EQ(f.f_bios, 1);
    // The last Year child is followed by the Folders root, which keeps its own icon.
    const size_t last_year = index_of(items, kind_filters, "Year", "1985");
    EXPECT_EQ(items[last_year + 1].caption, "Folders");
    EXPECT_TRUE(on_tree_click(items, last_year, f));
    EXPECT_EQ(items[last_year + 1].icon, icon_folders_root);
    EXPECT_EQ(f.year, "1985");
    EXPECT_EQ(chosen_child(items, kind_filters, "Year"), "1985");
    EXPECT_TRUE(on_tree_click(items, index_of(items, kind_filters, "Year", "All"), f));
    EXPECT_EQ(f.f_year, 0);
}

TEST(FilterTree, RootsGroupsAndFoldersAreNotChoices) {
    const MachineList ms = tree_machines();
    TreeItemList items;
    build_filter_tree(ms, tree_folders(), items);
    const TreeItemList before = items;
    FilterSet f;
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].level < 2) {
            EXPECT_FALSE(on_tree_click(items, i, f)) << items[i].caption;
        }
    EXPECT_FALSE(on_tree_click(items, items.size(), f));
    for (size_t i = 0; i < items.size(); ++i)
        EXPECT_EQ(items[i].icon, before[i].icon) << i;
    EXPECT_EQ(f.f_runnable, 1);
    EXPECT_EQ(f.f_folder, 0);
}

TEST(FilterTree, SubFoldersShareOneMarkerAndNeverApplyAFilterGroup) {
    const MachineList ms = tree_machines();
    TreeItemList items;
    build_filter_tree(ms, tree_folders(), items);
    FilterSet f;
    EXPECT_TRUE(on_tree_click(items, index_of(items, kind_folders, "genre", "Shooter"), f));
    EXPECT_EQ(f.f_folder, 1);
    EXPECT_EQ(f.folder, "genre");
    EXPECT_EQ(f.sub_folder, "Shooter");
    EXPECT_EQ(chosen_child(items, kind_folders, "genre"), "Shooter");
    EXPECT_EQ(chosen_child(items, kind_folders, "Default"), "");
    // A folder captioned like a filter group restricts by folder only.
    EXPECT_TRUE(on_tree_click(items, index_of(items, kind_folders, "Year", "Best"), f));
    EXPECT_EQ(f.folder, "Year");
    EXPECT_EQ(f.f_year, 0);
    EXPECT_EQ(f.year, "");
    EXPECT_EQ(chosen_child(items, kind_folders, "genre"), "");
    EXPECT_EQ(chosen_child(items, kind_filters, "Year"), "All");
    EXPECT_TRUE(on_tree_click(items, index_of(items, kind_folders, "Default", "All"), f));
    EXPECT_EQ(f.f_folder, 0);
    EXPECT_EQ(chosen_child(items, kind_folders, "Default"), "All");
}

TEST(FilterTree, ExpandCloseAndResetOnTheItemList) {
    const MachineList ms = tree_machines();
    TreeItemList items;
    build_filter_tree(ms, tree_folders(), items);
    expand_tree(items);
    for (const TreeItem& t : items)
        EXPECT_EQ(t.expanded, 1);
    close_tree(items);
    for (const TreeItem& t : items)
        EXPECT_EQ(t.expanded, t.level == 0 ? 1 : 0) << t.caption;
    set_item_expanded(items, 1, true);
    EXPECT_EQ(items[1].expanded, 1);
    set_item_expanded(items, items.size() + 5, true); // ignored

    FilterSet f;
    on_tree_click(items, index_of(items, kind_filters, "Status", "Good"), f);
    on_tree_click(items, index_of(items, kind_folders, "genre", "Maze"), f);
    reset_filter(f, items, ms, tree_folders());
    EXPECT_EQ(chosen_child(items, kind_filters, "Status"), "All");
    EXPECT_EQ(chosen_child(items, kind_folders, "Default"), "All");
    EXPECT_EQ(items[1].expanded, 0);
    EXPECT_EQ(f.f_good, 0);
    EXPECT_EQ(f.f_folder, 0);
    EXPECT_EQ(f.folder, "genre");
}

TEST(FilterTree, FindsChildrenByGroupAndCaption) {
    const MachineList ms = tree_machines();
    TreeItemList items;
    build_filter_tree(ms, tree_folders(), items);
    EXPECT_EQ(find_tree_child(items, kind_filters, "Year", "1999"), std::string::npos);
    EXPECT_EQ(find_tree_child(items, kind_filters, "Genre", "All"), std::string::npos);
    EXPECT_EQ(find_tree_child(items, kind_filters, "Year", "Best"), std::string::npos);
    const size_t all = find_tree_child(items, kind_filters, "Availability", "All");
    EXPECT_EQ(items[group_of(items, all)].caption, "Availability");
    EXPECT_EQ(group_of(items, 0), std::string::npos);
}
