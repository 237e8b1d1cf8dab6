#pragma once
// The filter pass: puts the machines in the configured order, decides for every record whether
// it is shown and rebuilds the view list from the shown ones, restricted to the selected
// sub-folder when one is chosen.
//
// Records are stored once and never move: the sort is kept as an order of positions (ListIndex)
// and the view list holds machine-list positions in that order, so row N shows
// machines[view[N]], and folder references (positions) stay valid whatever the sort.
//
// The pass runs on every keystroke in the search box, so ListIndex keeps, per machine, the
// case-folded search keys and what the filter table's tests say of it (built once per
// generation of the list), the sort order (redone only when the sort type or the list changes)
// and the last search's matches (a longer search text that contains the previous one only
// re-tests the previous matches).

#include "database/machine.h"
#include "filters/filter_set.h"
#include "filters/folders.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvel {

// LastPlayed puts the machines played most recently first, the rest after them by description.
enum class SortType { Description = 0, Name = 1, LastPlayed = 2 };
// ORVEL_Sort_Type: 0 sorts by description ("Full Name"), 2 by last played, anything else by name.
inline SortType sort_type_of(std::int64_t setting) {
    return setting == 0   ? SortType::Description
           : setting == 2 ? SortType::LastPlayed
                          : SortType::Name;
}

// How many machines "Recently Played" keeps.
inline constexpr std::size_t recently_played_count = 50;

// What the filter pass keeps between passes, built for one generation of the machine list
// (MachineList::generation) and rebuilt when the list has another. Favourite and availability
// marks need no new generation: the pass reads them from the records every time.
class ListIndex {
  public:
    // Positions of all machines in list order (the order of the last pass).
    const std::vector<std::int64_t>& order() const { return order_; }
    // Place of a machine position in that order (for sorting rows that come from folders).
    std::int64_t rank(std::int64_t position) const;

  private:
    friend void filter_machines(const MachineList&, const FilterSet&, const FolderList&, SortType,
                                ViewList&, ListIndex&);
    void rebuild(const MachineList& machines);
    void sort(SortType type);
    void search(std::string_view folded_text);
    void scan_all(std::string_view text, std::vector<std::uint32_t>& out) const;
    bool record_matches(std::uint32_t i, std::string_view text) const;

    std::uint64_t generation_ = 0; // of the list the index was built from; 0 before the first
    std::size_t size_ = 0;

    // Case-folded description and name of every machine, each followed by a zero byte, all in
    // one buffer: the sort keys.
    std::string keys_;
    std::vector<std::uint32_t> key_start_;  // per machine (+1): its description's start
    std::vector<std::uint32_t> name_start_; // per machine: its name's start
    // The same folded for searching (accents dropped too: see search_fold), laid out alike: a
    // search text without a zero byte can match within one field only.
    std::string search_keys_;
    std::vector<std::uint32_t> search_start_;      // per machine (+1)
    std::vector<std::uint32_t> search_name_start_; // per machine
    std::vector<std::int64_t> order_;
    std::vector<std::uint32_t> rank_;
    int sorted_by_ = -1; // SortType of order_, or -1 when not sorted yet

    // Per machine, one bit per flag of the table's flag groups: set when that flag's test keeps
    // the machine. Live groups' bits are left out here and found on each pass.
    std::vector<std::uint32_t> keeps_;
    // Per value group of the table, in table order: the distinct values of its field and the
    // number of each machine's value.
    struct Column {
        std::vector<std::string> text;
        std::vector<std::uint32_t> of;
    };
    std::vector<Column> columns_;
    std::vector<std::uint8_t> hidden_; // per machine: hidden by the last pass

    // The chain of recent search texts, each containing the one before, with their matches
    // (ascending positions): typing narrows the last result, deleting goes back to one.
    struct SearchStep {
        std::string text;
        std::vector<std::uint32_t> matches;
    };
    std::vector<SearchStep> searches_;
    std::string flagged_text_; // the search match_flag_ shows
    bool flagged_valid_ = false;
    std::vector<std::uint32_t> flagged_;
    std::vector<std::uint8_t> match_flag_; // per machine: 1 when the search matches it
};

// The filter pass. sort_type orders the list (stable, without regard to case: by description
// or by name); every active flag's rule is tested (they combine with AND); view is rebuilt: the
// shown positions in list order, or, with f_folder on, the shown machines of every sub-folder
// named filter.sub_folder in every folder named filter.folder (duplicates kept), in list order.
// "[No Entry]" as the year, manufacturer or source value selects empty fields. "Recently
// Played" keeps the 50 shown machines played last, most recent first; "Most Played" orders the
// played machines by how often they were played.
void filter_machines(const MachineList& machines, const FilterSet& filter,
                     const FolderList& folders, SortType sort_type, ViewList& view,
                     ListIndex& index);

// The core of a list refill: the filter pass, then the record of row 0 is the current one.
// Returns the new current position (-1 for an empty list, where no record is current).
std::int64_t refill_view(const MachineList& machines, const FilterSet& filter,
                         const FolderList& folders, SortType sort_type, ViewList& view,
                         ListIndex& index);

} // namespace orvel
