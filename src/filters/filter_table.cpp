#include "filters/filter_table.h"

#include "host/pictures.h"
#include "platform/text.h"

namespace orvel {

namespace {

using F = FilterSet;
using M = const Machine&;

FilterGroup flag_group(std::string_view caption, int picture, std::vector<FilterChild> children,
                       bool live = false) {
    FilterGroup g;
    g.caption = caption;
    g.picture = picture;
    g.children = std::move(children);
    g.live = live;
    return g;
}

FilterGroup value_group(std::string_view caption, int picture, std::uint8_t F::*flag,
                        std::string F::*value, std::string Machine::*field,
                        ValueMatch match = ValueMatch::Exact,
                        std::vector<FilterChild> children = {}) {
    FilterGroup g;
    g.caption = caption;
    g.picture = picture;
    g.children = std::move(children);
    g.flag = flag;
    g.value = value;
    g.field = field;
    g.match = match;
    return g;
}

FilterChild child(std::string_view caption, std::uint8_t F::*flag, bool (*keeps)(M)) {
    FilterChild c;
    c.caption = caption;
    c.flag = flag;
    c.keeps = keeps;
    return c;
}

FilterChild fixed_value(std::string_view caption, std::string_view value) {
    FilterChild c;
    c.caption = caption;
    c.value = value;
    return c;
}

} // namespace

const std::vector<FilterGroup>& filter_groups() {
    // Several flags are named after what they remove rather than what their child shows:
    // "Required" turns on f_notchd, "Parent" f_clones, "Is Mechanical" f_nonmechanical,
    // "Uses Software" f_nonsoftware.
    static const std::vector<FilterGroup> groups = {
        // The romset audit's verdicts (a machine not audited yet is in none of them).
        flag_group("Audit", icon::availability,
                   {child("Complete", &F::f_audit_complete,
                          [](M m) { return m.audit == AuditVerdict::Complete; }),
                    child("Incomplete", &F::f_audit_incomplete,
                          [](M m) { return m.audit == AuditVerdict::Incomplete; }),
                    child("Missing", &F::f_audit_missing,
                          [](M m) { return m.audit == AuditVerdict::Missing; }),
                    child("Needs No ROMs", &F::f_audit_noroms,
                          [](M m) { return m.audit == AuditVerdict::NoRoms; })},
                   true),
        flag_group("Availability", icon::availability,
                   {child("Available", &F::f_available, [](M m) { return m.isavailable; }),
                    child("Missing", &F::f_missing, [](M m) { return !m.isavailable; })},
                   true),
        flag_group("BIOS", icon::bios,
                   {child("Is BIOS", &F::f_isbios, [](M m) { return m.isbios; }),
                    child("Needs BIOS", &F::f_bios, [](M m) { return !m.bios_sets.empty(); }),
                    child("Non BIOS", &F::f_nonbios, [](M m) { return m.bios_sets.empty(); })}),
        flag_group("CHD Machines", icon::chd,
                   {child("Required", &F::f_notchd, [](M m) { return !m.disks.empty(); }),
                    child("Not Required", &F::f_chd, [](M m) { return m.disks.empty(); })}),
        flag_group("Favourites", icon::favourites,
                   {child("Favourite", &F::f_favourite, [](M m) { return m.isfavourite; }),
                    child("Non Favourite", &F::f_nonfavourite, [](M m) { return !m.isfavourite; })},
                   true),
        value_group("Manufacturer", icon::manufacturer, &F::f_manufacturer, &F::manufacturer,
                    &Machine::manufacturer),
        flag_group(
            "Mechanical", icon::mechanical,
            {child("Is Mechanical", &F::f_nonmechanical, [](M m) { return m.ismechanical; }),
             child("Non Mechanical", &F::f_mechanical, [](M m) { return !m.ismechanical; })}),
        // The play record. "Recently Played" and "Most Played" also order the list (the filter
        // pass does that): the last machines played, most recent first, and the most played.
        flag_group(
            "Played", icon::run_machine,
            {child("Recently Played", &F::f_played_recent, [](M m) { return m.played.times > 0; }),
             child("Most Played", &F::f_played_most, [](M m) { return m.played.times > 0; }),
             child("Never Played", &F::f_played_never, [](M m) { return m.played.times == 0; })},
            true),
        flag_group("Romset Type", icon::romset_type,
                   {child("Parent", &F::f_clones, [](M m) { return m.cloneof.empty(); }),
                    child("Clone", &F::f_parent, [](M m) { return !m.cloneof.empty(); })}),
        flag_group("Runnability", icon::runnability,
                   {child("Runnable", &F::f_runnable, [](M m) { return m.runnable; }),
                    child("Non Runnable", &F::f_nonrunnable, [](M m) { return !m.runnable; })}),
        value_group("Screen Rotate", icon::screen_rotate, &F::f_rotate, &F::rotate,
                    &Machine::screen_rotate, ValueMatch::Exact,
                    {fixed_value("0\xC2\xB0", "0"), fixed_value("90\xC2\xB0", "90"),
                     fixed_value("180\xC2\xB0", "180"), fixed_value("270\xC2\xB0", "270")}),
        flag_group(
            "Screen Type", icon::screen_type,
            {child("Raster", &F::f_raster, [](M m) { return m.screen_type == "raster"; }),
             child("Vector", &F::f_vector, [](M m) { return m.screen_type == "vector"; }),
             child("LCD", &F::f_lcd, [](M m) { return m.screen_type == "lcd"; }),
             child("Screenless", &F::f_screenless, [](M m) { return m.screen_type.empty(); })}),
        flag_group(
            "Software", icon::software,
            {child("Uses Software", &F::f_nonsoftware,
                   [](M m) { return !m.softwarelists.empty(); }),
             child("No Software", &F::f_software, [](M m) { return m.softwarelists.empty(); })}),
        value_group("Source", icon::source, &F::f_source, &F::source, &Machine::sourcefile,
                    ValueMatch::ContainedWithoutCase),
        flag_group("Status", icon::status,
                   {child("Good", &F::f_good, [](M m) { return m.driver_status == "good"; }),
                    child("Imperfect", &F::f_imperfect,
                          [](M m) { return m.driver_status == "imperfect"; }),
                    child("Preliminary", &F::f_preliminary,
                          [](M m) { return m.driver_status == "preliminary"; })}),
        value_group("Year", icon::year, &F::f_year, &F::year, &Machine::year),
    };
    return groups;
}

const FilterGroup* find_filter_group(std::string_view caption) {
    for (const FilterGroup& g : filter_groups())
        if (g.caption == caption) return &g;
    return nullptr;
}

int FilterGroup::default_child() const {
    const FilterSet defaults;
    const int all = lists_values() ? 0 : static_cast<int>(children.size());
    if (is_value_group()) {
        if (!(defaults.*flag) || lists_values()) return all;
        for (size_t c = 0; c < children.size(); ++c)
            if (children[c].value == defaults.*value) return static_cast<int>(c);
        return all;
    }
    for (size_t c = 0; c < children.size(); ++c)
        if (defaults.*(children[c].flag)) return static_cast<int>(c);
    return all;
}

std::string_view compared_value(const FilterGroup& group, const FilterSet& filter) {
    const std::string& v = filter.*group.value;
    return group.lists_values() && v == no_entry_caption ? std::string_view() : std::string_view(v);
}

bool value_matches(const FilterGroup& group, std::string_view field, std::string_view wanted) {
    if (group.match == ValueMatch::Exact) return field == wanted;
    return wanted.empty() ? field.empty() : !field.empty() && icontains(field, wanted);
}

} // namespace orvel
