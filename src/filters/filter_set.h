#pragma once
// The filter set: on/off flags named by fixed f_ keys plus the values some of them compare with.
// It lives in memory only; every start begins with the defaults. The tree and the search box
// change it; the caller then refills the list, which runs the filter pass (filter_pass.h). The
// filter table (filter_table.h) says which tree child turns each flag on and which records the
// flag keeps; several keys name what they remove rather than what they keep (f_chd is behind
// "Not Required", f_clones behind "Parent").

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace orvel {

// How the tree shows an empty year, manufacturer or source; as a filter value it selects the
// records whose field is empty.
inline constexpr std::string_view no_entry_caption = "[No Entry]";

struct FilterSet {
    // While a flag is 1 it keeps only the records its rule accepts; the rules of the flags set
    // by the tree are in the filter table, f_search and f_folder are the filter pass's own.
    std::uint8_t f_audit_complete = 0; // the romset audit's verdicts
    std::uint8_t f_audit_incomplete = 0;
    std::uint8_t f_audit_missing = 0;
    std::uint8_t f_audit_noroms = 0;
    std::uint8_t f_available = 0;
    std::uint8_t f_missing = 0;
    std::uint8_t f_isbios = 0;
    std::uint8_t f_bios = 0;
    std::uint8_t f_nonbios = 0;
    std::uint8_t f_notchd = 0;
    std::uint8_t f_chd = 0;
    std::uint8_t f_favourite = 0;
    std::uint8_t f_nonfavourite = 0;
    std::uint8_t f_manufacturer = 0;
    std::uint8_t f_nonmechanical = 0;
    std::uint8_t f_mechanical = 0;
    std::uint8_t f_played_recent = 0; // what the user has played (the play record)
    std::uint8_t f_played_most = 0;
    std::uint8_t f_played_never = 0;
    std::uint8_t f_clones = 0;
    std::uint8_t f_parent = 0;
    std::uint8_t f_runnable = 1;
    std::uint8_t f_nonrunnable = 0;
    std::uint8_t f_rotate = 0;
    std::uint8_t f_raster = 0;
    std::uint8_t f_vector = 0;
    std::uint8_t f_lcd = 0;
    std::uint8_t f_screenless = 0;
    std::uint8_t f_nonsoftware = 0;
    std::uint8_t f_software = 0;
    std::uint8_t f_source = 0;
    std::uint8_t f_good = 0;
    std::uint8_t f_imperfect = 0;
    std::uint8_t f_preliminary = 0;
    std::uint8_t f_year = 0;
    std::uint8_t f_search = 0; // hides records whose description and name lack the text
    std::uint8_t f_folder = 0; // restricts the list to the selected sub-folder

    std::string year;         // year filter value ("[No Entry]" means empty)
    std::string manufacturer; // manufacturer filter value ("[No Entry]" means empty)
    std::string source;       // source filter value (contained, without case)
    std::string rotate;       // "0", "90", "180" or "270"
    std::string search;       // the search box text
    std::string folder;       // caption of the folder whose sub-folder was chosen
    std::string sub_folder;   // caption of the chosen sub-folder

    struct Flag {
        std::string_view key;
        std::uint8_t FilterSet::*field;
    };
    // The 37 flags in the order of the table above.
    static const std::array<Flag, 37>& flags();
    // The flag for a key such as "f_runnable"; nullptr for an unknown key.
    std::uint8_t* find_flag(std::string_view key);
    const std::uint8_t* find_flag(std::string_view key) const;
};

// Every flag 0 except f_runnable 1; every value empty, the folder captions included.
void set_default_filter(FilterSet& filter);

// Sets flags and values from a child of a filter group, as a click on it in the tree does.
// child_position is 1-based within the group. Returns false (and changes nothing) for a group
// caption that is not a filter group, or a child position the group does not have. A choice
// touches only its own group's flags and value, so choices in different groups accumulate.
bool apply_tree_choice(FilterSet& filter, std::string_view group_caption, int child_position,
                       std::string_view child_caption);

// A sub-folder (or "All" under "Default") was chosen: f_folder is 0 for the caption "All" and
// 1 otherwise; the two captions are kept as the selected folder and sub-folder.
void choose_folder(FilterSet& filter, std::string_view folder_caption,
                   std::string_view item_caption);

// Keeps the search box text; f_search is 1 exactly when it is not empty. The caller refills.
void set_search_text(FilterSet& filter, std::string_view text);

// The filter half of "Reset Filter": every flag back to its default (f_folder 0), the year,
// manufacturer, search, rotate and source values emptied; the selected folder and sub-folder
// captions stay. The caller also rebuilds the tree items (reset_filter in filter_tree.h does
// both), puts the empty text in the search box and refills.
void reset_filter_set(FilterSet& filter);

} // namespace orvel
