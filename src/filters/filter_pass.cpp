#include "filters/filter_pass.h"

#include "filters/filter_table.h"
#include "platform/text.h"

#include <algorithm>
#include <cassert>
#include <unordered_map>

namespace orvel {

namespace {

// A flag of the table's flag groups with the bit it has in the index.
struct FlagRule {
    std::uint8_t FilterSet::*flag;
    bool (*keeps)(const Machine&);
    bool live;
    std::uint32_t bit;
};

const std::vector<FlagRule>& flag_rules() {
    static const std::vector<FlagRule> rules = [] {
        std::vector<FlagRule> out;
        for (const FilterGroup& group : filter_groups())
            if (!group.is_value_group())
                for (const FilterChild& child : group.children) {
                    assert(out.size() < 32); // one bit each in a 32-bit word
                    out.push_back({child.flag, child.keeps, group.live, 1u << out.size()});
                }
        return out;
    }();
    return rules;
}

const std::vector<const FilterGroup*>& value_groups() {
    static const std::vector<const FilterGroup*> groups = [] {
        std::vector<const FilterGroup*> out;
        for (const FilterGroup& group : filter_groups())
            if (group.is_value_group()) out.push_back(&group);
        return out;
    }();
    return groups;
}

// The play record's orders, applied to the shown rows (stable, so ties keep the list order).
// Play records change with every run and need no new generation of the list: they are read here
// afresh.
void order_by_play(const MachineList& machines, const FilterSet& filter, SortType sort_type,
                   ViewList& view) {
    const auto played = [&](std::int64_t p) -> const PlayRecord& {
        return machines[static_cast<size_t>(p)].played;
    };
    const auto later = [&](std::int64_t a, std::int64_t b) {
        const bool a_played = played(a).times > 0, b_played = played(b).times > 0;
        if (a_played != b_played) return a_played;
        return a_played && played(a).last_start > played(b).last_start;
    };
    if (filter.f_played_recent) {
        std::stable_sort(view.begin(), view.end(), later);
        if (view.size() > recently_played_count) view.resize(recently_played_count);
    } else if (filter.f_played_most) {
        std::stable_sort(view.begin(), view.end(), [&](std::int64_t a, std::int64_t b) {
            if (played(a).times != played(b).times) return played(a).times > played(b).times;
            return played(a).seconds > played(b).seconds;
        });
    } else if (sort_type == SortType::LastPlayed) {
        std::stable_sort(view.begin(), view.end(), later);
    }
}

// Appends a key folded by fold and its terminating NUL; returns where the key starts.
std::uint32_t append_key(std::string& keys, void (*fold)(std::string&, std::string_view),
                         std::string_view text) {
    const auto start = static_cast<std::uint32_t>(keys.size());
    fold(keys, text);
    keys.push_back('\0');
    return start;
}

} // namespace

std::int64_t ListIndex::rank(std::int64_t position) const {
    if (position < 0 || static_cast<size_t>(position) >= rank_.size()) return -1;
    return rank_[static_cast<size_t>(position)];
}

void ListIndex::rebuild(const MachineList& machines) {
    *this = ListIndex();
    const size_t n = machines.size();
    size_t total = 0;
    for (const Machine& m : machines)
        total += m.description.size() + m.name.size() + 2;
    keys_.reserve(total);
    key_start_.resize(n + 1);
    name_start_.resize(n);
    search_keys_.reserve(total);
    search_start_.resize(n + 1);
    search_name_start_.resize(n);
    keeps_.assign(n, 0);
    for (size_t i = 0; i < n; ++i) {
        const Machine& m = machines[i];
        key_start_[i] = append_key(keys_, append_folded, m.description);
        name_start_[i] = append_key(keys_, append_folded, m.name);
        search_start_[i] = append_key(search_keys_, append_search_folded, m.description);
        search_name_start_[i] = append_key(search_keys_, append_search_folded, m.name);
        for (const FlagRule& rule : flag_rules())
            if (!rule.live && rule.keeps(m)) keeps_[i] |= rule.bit;
    }
    key_start_[n] = static_cast<std::uint32_t>(keys_.size());
    search_start_[n] = static_cast<std::uint32_t>(search_keys_.size());
    for (const FilterGroup* group : value_groups()) {
        Column& column = columns_.emplace_back();
        column.of.resize(n);
        std::unordered_map<std::string_view, std::uint32_t> number;
        for (size_t i = 0; i < n; ++i) {
            const std::string& value = machines[i].*group->field;
            const auto [it, added] =
                number.try_emplace(value, static_cast<std::uint32_t>(column.text.size()));
            if (added) column.text.push_back(value);
            column.of[i] = it->second;
        }
    }
    order_.resize(n);
    rank_.resize(n);
    for (size_t i = 0; i < n; ++i) {
        order_[i] = static_cast<std::int64_t>(i);
        rank_[i] = static_cast<std::uint32_t>(i);
    }
    hidden_.assign(n, 0);
    match_flag_.assign(n, 0);
    size_ = n;
    generation_ = machines.generation();
}

void ListIndex::sort(SortType type) {
    if (sorted_by_ == static_cast<int>(type)) return;
    const std::string_view keys = keys_;
    auto key = [&](std::int64_t p) -> std::string_view {
        const auto i = static_cast<size_t>(p);
        return type == SortType::Description
                   ? keys.substr(key_start_[i], name_start_[i] - 1 - key_start_[i])
                   : keys.substr(name_start_[i], key_start_[i + 1] - 1 - name_start_[i]);
    };
    // Case-folded keys compared byte by byte order exactly as a comparison without case does.
    auto less = [&](std::int64_t a, std::int64_t b) { return key(a) < key(b); };
    // Stable from the current order, as sorting the list itself would be.
    if (!std::is_sorted(order_.begin(), order_.end(), less)) {
        std::stable_sort(order_.begin(), order_.end(), less);
        for (size_t k = 0; k < order_.size(); ++k)
            rank_[static_cast<size_t>(order_[k])] = static_cast<std::uint32_t>(k);
    }
    sorted_by_ = static_cast<int>(type);
}

bool ListIndex::record_matches(std::uint32_t i, std::string_view text) const {
    const std::string_view keys = search_keys_;
    const std::string_view desc =
        keys.substr(search_start_[i], search_name_start_[i] - 1 - search_start_[i]);
    const std::string_view name =
        keys.substr(search_name_start_[i], search_start_[i + 1] - 1 - search_name_start_[i]);
    return desc.find(text) != std::string_view::npos || name.find(text) != std::string_view::npos;
}

void ListIndex::scan_all(std::string_view text, std::vector<std::uint32_t>& out) const {
    const auto n = static_cast<std::uint32_t>(size_);
    if (text.find('\0') != std::string_view::npos) {
        for (std::uint32_t i = 0; i < n; ++i)
            if (record_matches(i, text)) out.push_back(i);
        return;
    }
    // One search through the whole buffer; the zero bytes keep every hit inside one field.
    const std::string_view keys = search_keys_;
    std::uint32_t record = 0;
    size_t at = 0;
    while ((at = keys.find(text, at)) != std::string_view::npos) {
        while (search_start_[record + 1] <= at)
            ++record;
        out.push_back(record);
        at = search_start_[record + 1];
    }
}

void ListIndex::search(std::string_view text) {
    while (!searches_.empty() && text.find(searches_.back().text) == std::string_view::npos)
        searches_.pop_back();
    if (searches_.empty() || searches_.back().text != text) {
        SearchStep step;
        step.text.assign(text);
        if (searches_.empty()) {
            scan_all(text, step.matches);
        } else {
            // A text that contains the previous one can only match a subset of its matches.
            for (const std::uint32_t i : searches_.back().matches)
                if (record_matches(i, text)) step.matches.push_back(i);
        }
        if (searches_.size() >= 32) searches_.erase(searches_.begin());
        searches_.push_back(std::move(step));
    }
    if (flagged_valid_ && flagged_text_ == text) return;
    for (const std::uint32_t i : flagged_)
        match_flag_[i] = 0;
    flagged_ = searches_.back().matches;
    for (const std::uint32_t i : flagged_)
        match_flag_[i] = 1;
    flagged_text_.assign(text);
    flagged_valid_ = true;
}

void filter_machines(const MachineList& machines, const FilterSet& filter,
                     const FolderList& folders, SortType sort_type, ViewList& view,
                     ListIndex& index) {
    // Another size can only come from a list whose generation was not bumped: rebuilding then
    // too keeps every read in bounds.
    if (index.generation_ != machines.generation() || index.size_ != machines.size())
        index.rebuild(machines);
    // The last-played order is the description order with the played machines moved first.
    index.sort(sort_type == SortType::LastPlayed ? SortType::Description : sort_type);

    // The search keys are folded (case and accents); the text is folded the same way. It is
    // only ever compared byte by byte, so any content (pattern characters, non-ASCII) is plain
    // text.
    const bool searching = filter.f_search && !filter.search.empty();
    if (searching) index.search(search_fold(filter.search));
    // An empty search text with f_search on contains nothing, so nothing is shown.
    const bool search_hides_all = filter.f_search && filter.search.empty();

    // A record is shown when every flag that is on keeps it: (bits & care) == care. A flag and
    // its opposite both on (possible only by setting flags directly) keep nothing.
    std::uint32_t care = 0;
    std::vector<const FlagRule*> live;
    for (const FlagRule& rule : flag_rules())
        if (filter.*rule.flag) {
            care |= rule.bit;
            if (rule.live) live.push_back(&rule);
        }
    // A value group's rule is decided once per distinct value of its field.
    struct ValueTest {
        const std::uint32_t* of;
        std::vector<std::uint8_t> ok;
    };
    std::vector<ValueTest> value_tests;
    for (size_t g = 0; g < value_groups().size(); ++g) {
        const FilterGroup& group = *value_groups()[g];
        if (!(filter.*group.flag)) continue;
        const ListIndex::Column& column = index.columns_[g];
        const std::string_view wanted = compared_value(group, filter);
        ValueTest& test = value_tests.emplace_back();
        test.of = column.of.data();
        test.ok.resize(column.text.size());
        for (size_t v = 0; v < column.text.size(); ++v)
            test.ok[v] = value_matches(group, column.text[v], wanted) ? 1 : 0;
    }

    const size_t n = machines.size();
    const std::uint32_t* keeps = index.keeps_.data();
    const std::uint8_t* matched = index.match_flag_.data();
    std::uint8_t* hidden = index.hidden_.data();
    for (size_t i = 0; i < n; ++i) {
        std::uint32_t bits = keeps[i];
        for (const FlagRule* rule : live)
            if (rule->keeps(machines[i])) bits |= rule->bit;
        bool h = search_hides_all || (bits & care) != care;
        for (const ValueTest& test : value_tests)
            h |= !test.ok[test.of[i]];
        if (searching) h |= !matched[i];
        hidden[i] = h ? 1 : 0;
    }

    view.clear();
    if (!filter.f_folder) {
        view.reserve(n);
        for (const std::int64_t p : index.order_)
            if (!hidden[static_cast<size_t>(p)]) view.push_back(p);
        order_by_play(machines, filter, sort_type, view);
        return;
    }
    for (const Folder& folder : folders) {
        if (folder.caption != filter.folder) continue;
        for (const SubFolder& sub : folder.sub_folders) {
            if (sub.caption != filter.sub_folder) continue;
            for (const std::int64_t p : sub.machines)
                if (p >= 0 && static_cast<size_t>(p) < n && !hidden[static_cast<size_t>(p)])
                    view.push_back(p);
        }
    }
    // Rows follow the list order whatever the order of the folder file.
    std::stable_sort(view.begin(), view.end(), [&](std::int64_t a, std::int64_t b) {
        return index.rank_[static_cast<size_t>(a)] < index.rank_[static_cast<size_t>(b)];
    });
    order_by_play(machines, filter, sort_type, view);
}

std::int64_t refill_view(const MachineList& machines, const FilterSet& filter,
                         const FolderList& folders, SortType sort_type, ViewList& view,
                         ListIndex& index) {
    filter_machines(machines, filter, folders, sort_type, view, index);
    return view.empty() ? -1 : view.front();
}

} // namespace orvel
