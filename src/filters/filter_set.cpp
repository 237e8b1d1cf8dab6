#include "filters/filter_set.h"

namespace orvel {

const std::array<FilterSet::Flag, 30>& FilterSet::flags() {
    static const std::array<Flag, 30> table = {{
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

namespace {

// Turns on the one flag of a group at position (1-based) and the others off; the position
// after the last flag ("All") turns them all off.
bool choose_one(FilterSet& filter, std::initializer_list<std::uint8_t FilterSet::*> group,
                int position) {
    const int count = static_cast<int>(group.size());
    if (position < 1 || position > count + 1) return false;
    int i = 1;
    for (auto field : group)
        filter.*field = (i++ == position) ? 1 : 0;
    return true;
}

// A dynamic group: "All" turns the flag off and empties the value, any other child turns it on
// with the child's caption ("[No Entry]" standing for the empty field).
void choose_value(FilterSet& filter, std::uint8_t FilterSet::*flag, std::string FilterSet::*value,
                  std::string_view caption) {
    if (caption == "All") {
        filter.*flag = 0;
        (filter.*value).clear();
    } else {
        filter.*flag = 1;
        filter.*value = caption == no_entry_caption ? std::string() : std::string(caption);
    }
}

} // namespace

bool apply_tree_choice(FilterSet& filter, std::string_view group, int position,
                       std::string_view caption) {
    using F = FilterSet;
    if (group == "Availability")
        return choose_one(filter, {&F::f_available, &F::f_missing}, position);
    if (group == "BIOS")
        return choose_one(filter, {&F::f_isbios, &F::f_bios, &F::f_nonbios}, position);
    if (group == "CHD Machines") return choose_one(filter, {&F::f_notchd, &F::f_chd}, position);
    if (group == "Favourites")
        return choose_one(filter, {&F::f_favourite, &F::f_nonfavourite}, position);
    if (group == "Mechanical")
        return choose_one(filter, {&F::f_nonmechanical, &F::f_mechanical}, position);
    if (group == "Romset Type") return choose_one(filter, {&F::f_clones, &F::f_parent}, position);
    if (group == "Runnability")
        return choose_one(filter, {&F::f_runnable, &F::f_nonrunnable}, position);
    if (group == "Screen Type")
        return choose_one(filter, {&F::f_raster, &F::f_vector, &F::f_lcd, &F::f_screenless},
                          position);
    if (group == "Software")
        return choose_one(filter, {&F::f_nonsoftware, &F::f_software}, position);
    if (group == "Status")
        return choose_one(filter, {&F::f_good, &F::f_imperfect, &F::f_preliminary}, position);
    if (group == "Screen Rotate") {
        static constexpr std::string_view angles[] = {"0", "90", "180", "270"};
        if (position < 1 || position > 5) return false;
        filter.f_rotate = position <= 4 ? 1 : 0;
        filter.rotate = position <= 4 ? std::string(angles[position - 1]) : std::string();
        return true;
    }
    if (group == "Manufacturer") {
        choose_value(filter, &F::f_manufacturer, &F::manufacturer, caption);
        return true;
    }
    if (group == "Source") {
        choose_value(filter, &F::f_source, &F::source, caption);
        return true;
    }
    if (group == "Year") {
        choose_value(filter, &F::f_year, &F::year, caption);
        return true;
    }
    return false;
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
