#pragma once
// The filter groups of the tree, each described once: its caption and picture, its children,
// the flag or value a child sets and which records that flag or value keeps. The tree's items
// (filter_tree.h), the choices (apply_tree_choice), the filter pass (filter_pass.h) and the tree
// view all read this table; a new group is one more row here.
//
// Two shapes of group exist. A flag group gives each child its own flag, and the flag keeps the
// records its test accepts ("Needs BIOS" turns on f_bios, which keeps machines with BIOS sets).
// A value group has one flag and one value: the child's value is compared with a record field,
// exactly or contained without case. Its children are either fixed ("Screen Rotate") or the
// distinct values of the field ("Manufacturer", "Source", "Year"). Every group also has an "All"
// child that turns its flags off: last among fixed children, first before distinct values.

#include "database/machine.h"
#include "filters/filter_set.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvel {

// How a value group compares its value with the record field.
enum class ValueMatch {
    Exact,
    // Contained without case; an empty value keeps only records whose field is empty.
    ContainedWithoutCase,
};

// A fixed child of a group, "All" aside.
struct FilterChild {
    std::string_view caption;
    // In a flag group: the flag the child turns on and the records that flag keeps.
    std::uint8_t FilterSet::*flag = nullptr;
    bool (*keeps)(const Machine&) = nullptr;
    // In a value group with fixed children: the value the child sets.
    std::string_view value;
};

struct FilterGroup {
    std::string_view caption;
    int picture = 0; // the picture beside the caption (host/pictures.h)
    // Fixed children in tree order; empty when the children are the field's distinct values.
    std::vector<FilterChild> children;
    // A value group's flag, its value in the filter set and the record field it compares with;
    // null for a flag group.
    std::uint8_t FilterSet::*flag = nullptr;
    std::string FilterSet::*value = nullptr;
    std::string Machine::*field = nullptr;
    ValueMatch match = ValueMatch::Exact;
    // The user and the availability scan change these records' fields during a run, so the
    // pass reads them afresh; every other test reads fields only a new machine list changes.
    bool live = false;

    bool is_value_group() const { return flag != nullptr; }
    // Children are "All", then one per distinct value of the field ("[No Entry]" for empty).
    bool lists_values() const { return children.empty(); }
    // Position (0-based, "All" included) of the child that matches the default filter set.
    int default_child() const;
};

// The 16 groups in tree order.
const std::vector<FilterGroup>& filter_groups();
// The group with this caption; nullptr when there is none.
const FilterGroup* find_filter_group(std::string_view caption);

// The value a filter set's value stands for: "[No Entry]", the tree's caption for an empty
// field, means the empty value in the groups that list a field's values.
std::string_view compared_value(const FilterGroup& group, const FilterSet& filter);
// Whether a record field's value passes a value group's rule for a wanted value.
bool value_matches(const FilterGroup& group, std::string_view field, std::string_view wanted);

} // namespace orvel
