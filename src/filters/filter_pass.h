#pragma once
// The filter pass: puts the machines in the configured order, marks every record shown or
// hidden (filtered_out) and rebuilds the view list from the shown ones, restricted to the
// selected sub-folder when one is chosen.
//
// Records are stored once and never move: the sort is kept as an order of positions (ListIndex)
// and the view list holds machine-list positions in that order, so row N shows
// machines[view[N]], and folder references (positions) stay valid whatever the sort.
//
// The pass runs on every keystroke in the search box, so ListIndex keeps, per machine, the
// case-folded search keys (built once), the sort order (redone only when the sort type or the
// machines change) and the last search's matches (a longer search text that contains the
// previous one only re-tests the previous matches).

#include "database/machine.h"
#include "filters/filter_set.h"
#include "filters/folders.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace orvel {

enum class SortType { Description = 0, Name = 1 };
// ORVEL_Sort_Type: 0 sorts by description ("Full Name"), anything else by name.
inline SortType sort_type_of(std::int64_t setting) {
    return setting == 0 ? SortType::Description : SortType::Name;
}

// What the filter pass keeps between passes. Built from the machine list on first use and
// rebuilt automatically when the list looks different (another size, storage or sampled
// records); call invalidate() after replacing or editing names or descriptions in place to be
// certain. Favourite, availability and other field changes need no invalidation: they are read
// from the records on every pass.
class ListIndex {
  public:
    void invalidate();

    // Positions of all machines in list order (the order of the last pass).
    const std::vector<std::int64_t>& order() const { return order_; }
    // Place of a machine position in that order (for sorting rows that come from folders).
    std::int64_t rank(std::int64_t position) const;

  private:
    friend void filter_machines(MachineList&, const FilterSet&, const FolderList&, SortType,
                                ViewList&, ListIndex&);
    bool matches_list(const MachineList& machines) const;
    void rebuild(const MachineList& machines);
    void sort(SortType type);
    void search(std::string_view folded_text);
    void scan_all(std::string_view text, std::vector<std::uint32_t>& out) const;
    bool record_matches(std::uint32_t i, std::string_view text) const;

    // Case-folded description and name of every machine, each followed by a zero byte, all in
    // one buffer: a search text without a zero byte can match within one field only.
    std::string keys_;
    std::vector<std::uint32_t> key_start_;  // per machine (+1): its description's start
    std::vector<std::uint32_t> name_start_; // per machine: its name's start
    std::vector<std::int64_t> order_;
    std::vector<std::uint32_t> rank_;
    int sorted_by_ = -1; // SortType of order_, or -1 when not sorted yet

    // What the flags test, per machine, in a few bytes: the fields that only a new database
    // changes. Favourite and availability are read from the records on every pass instead.
    struct Props {
        std::uint32_t bits = 0;
        std::uint32_t manufacturer = 0, year = 0, source = 0, rotate = 0; // value numbers
    };
    std::vector<Props> props_;
    struct Values {
        std::vector<std::string> text;
        std::unordered_map<std::string, std::uint32_t> number;
        std::uint32_t intern(const std::string& value);
        std::uint32_t find(std::string_view value) const; // none: UINT32_MAX
    };
    Values manufacturers_, years_, sources_, rotates_;

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
    std::vector<std::uint8_t> hidden_;     // per machine: filtered_out as last written

    // Fingerprint of the list the index was built from.
    std::size_t size_ = 0;
    const Machine* data_ = nullptr;
    std::uint64_t sample_hash_ = 0;
};

// The filter pass. sort_type orders the list (stable, without regard to case: by description
// or by name); every active flag's rule is tested (they combine with AND); filtered_out is
// written for every record; view is rebuilt: the shown positions in list order, or, with
// f_folder on, the shown machines of every sub-folder named filter.sub_folder in every folder
// named filter.folder (duplicates kept), in list order. "[No Entry]" as the year or
// manufacturer value selects empty fields; as the source value, empty source files.
void filter_machines(MachineList& machines, const FilterSet& filter, const FolderList& folders,
                     SortType sort_type, ViewList& view, ListIndex& index);

// The core of a list refill: the filter pass, then the record of row 0 is the current one.
// Returns the new current position (-1 for an empty list, where no record is current).
std::int64_t refill_view(MachineList& machines, const FilterSet& filter, const FolderList& folders,
                         SortType sort_type, ViewList& view, ListIndex& index);

// True when the record passes every active flag except f_search and f_folder (for tests and
// for callers that test one record).
bool passes_flags(const Machine& machine, const FilterSet& filter);

} // namespace orvel
