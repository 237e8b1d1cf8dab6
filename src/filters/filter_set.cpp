#include "filters/filter_set.h"

#include "filters/filter_table.h"

namespace orvel {

const std::array<FilterSet::Flag, 37>& FilterSet::flags() {
    static const std::array<Flag, 37> table = {{
        {"f_audit_complete", &FilterSet::f_audit_complete},
        {"f_audit_incomplete", &FilterSet::f_audit_incomplete},
        {"f_audit_missing", &FilterSet::f_audit_missing},
        {"f_audit_noroms", &FilterSet::f_audit_noroms},
        {"f_available", &FilterSet::f_available},
        {"f_missing", &FilterSet::f_missing},
        {"f_isbios", &FilterSet::f_isbios},
        {"f_bios", &FilterSet::f_bios},
        {"f_nonbios", &FilterSet::f_nonbios},
        {"f_notchd", &FilterSet::f_notchd},
        {"f_chd", &FilterSet::f_chd},
        {"f_favourite", &FilterSet::f_favourite},
        {"f_nonfavourite", &FilterSet::f_nonfavourite},
        {"f_manufacturer", &FilterSet::f_manufacturer},
        {"f_nonmechanical", &FilterSet::f_nonmechanical},
        {"f_mechanical", &FilterSet::f_mechanical},
        {"f_played_recent", &FilterSet::f_played_recent},
        {"f_played_most", &FilterSet::f_played_most},
        {"f_played_never", &FilterSet::f_played_never},
        {"f_clones", &FilterSet::f_clones},
        {"f_parent", &FilterSet::f_parent},
        {"f_runnable", &FilterSet::f_runnable},
        {"f_nonrunnable", &FilterSet::f_nonrunnable},
        {"f_rotate", &FilterSet::f_rotate},
        {"f_raster", &FilterSet::f_raster},
        {"f_vector", &FilterSet::f_vector},
        {"f_lcd", &FilterSet::f_lcd},
        {"f_screenless", &FilterSet::f_screenless},
        {"f_nonsoftware", &FilterSet::f_nonsoftware},
        {"f_software", &FilterSet::f_software},
        {"f_source", &FilterSet::f_source},
        {"f_good", &FilterSet::f_good},
        {"f_imperfect", &FilterSet::f_imperfect},
        {"f_preliminary", &FilterSet::f_preliminary},
        {"f_year", &FilterSet::f_year},
        {"f_search", &FilterSet::f_search},
        {"f_folder", &FilterSet::f_folder},
    }};
    return table;
}

std::uint8_t* FilterSet::find_flag(std::string_view key) {
    for (const Flag& f : flags())
        if (f.key == key) return &(this->*f.field);
    return nullptr;
}

const std::uint8_t* FilterSet::find_flag(std::string_view key) const {
    return const_cast<FilterSet*>(this)->find_flag(key);
}

void set_default_filter(FilterSet& filter) {
    filter = FilterSet{};
}

bool apply_tree_choice(FilterSet& filter, std::string_view group_caption, int position,
                       std::string_view caption) {
    const FilterGroup* group = find_filter_group(group_caption);
    if (!group) return false;
    if (group->lists_values()) {
        // "All" turns the flag off and empties the value, any other child turns it on with the
        // child's caption ("[No Entry]" standing for the empty field).
        const bool all = caption == "All";
        filter.*group->flag = all ? 0 : 1;
        filter.*group->value =
            all || caption == no_entry_caption ? std::string() : std::string(caption);
        return true;
    }
    // Fixed children: the one at position (1-based) is chosen, the position after the last
    // ("All") turns the group's flags off.
    const int count = static_cast<int>(group->children.size());
    if (position < 1 || position > count + 1) return false;
    const FilterChild* chosen = position <= count ? &group->children[position - 1] : nullptr;
    if (group->is_value_group()) {
        filter.*group->flag = chosen ? 1 : 0;
        filter.*group->value = chosen ? std::string(chosen->value) : std::string();
        return true;
    }
    for (const FilterChild& child : group->children)
        filter.*child.flag = &child == chosen ? 1 : 0;
    return true;
}

void choose_folder(FilterSet& filter, std::string_view folder_caption,
                   std::string_view item_caption) {
    filter.f_folder = item_caption == "All" ? 0 : 1;
    filter.folder = folder_caption;
    filter.sub_folder = item_caption;
}

void set_search_text(FilterSet& filter, std::string_view text) {
    filter.search = text;
    filter.f_search = text.empty() ? 0 : 1;
}

void reset_filter_set(FilterSet& filter) {
    std::string folder = std::move(filter.folder);
    std::string sub_folder = std::move(filter.sub_folder);
    filter = FilterSet{};
    filter.folder = std::move(folder);
    filter.sub_folder = std::move(sub_folder);
}

} // namespace orvel
