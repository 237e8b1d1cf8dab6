#include "filters/filter_pass.h"

#include "platform/text.h"

#include <algorithm>
#include <cstring>

namespace orvel {

namespace {

bool is_word(const std::string& field, std::string_view word) {
    return field.size() == word.size() && std::memcmp(field.data(), word.data(), word.size()) == 0;
}
bool is_yes(const std::string& field) {
    return is_word(field, "yes");
}

// The flags of one pass copied into plain values, so that the per-record loop reads locals
// rather than the filter set it could alias with the records it writes.
struct Rules {
    bool available, missing, isbios, bios, nonbios, notchd, chd, favourite, nonfavourite,
        manufacturer, nonmechanical, mechanical, clones, parent, runnable, nonrunnable, rotate,
        raster, vector, lcd, screenless, nonsoftware, software, source, good, imperfect,
        preliminary, year;
    std::string_view manufacturer_value, rotate_value, source_value, year_value;
    bool any = false;

    explicit Rules(const FilterSet& f)
        : available(f.f_available), missing(f.f_missing), isbios(f.f_isbios), bios(f.f_bios),
          nonbios(f.f_nonbios), notchd(f.f_notchd), chd(f.f_chd), favourite(f.f_favourite),
          nonfavourite(f.f_nonfavourite), manufacturer(f.f_manufacturer),
          nonmechanical(f.f_nonmechanical), mechanical(f.f_mechanical), clones(f.f_clones),
          parent(f.f_parent), runnable(f.f_runnable), nonrunnable(f.f_nonrunnable),
          rotate(f.f_rotate), raster(f.f_raster), vector(f.f_vector), lcd(f.f_lcd),
          screenless(f.f_screenless), nonsoftware(f.f_nonsoftware), software(f.f_software),
          source(f.f_source), good(f.f_good), imperfect(f.f_imperfect),
          preliminary(f.f_preliminary), year(f.f_year) {
        // "[No Entry]" is how the tree shows an empty field; as a value it selects empty ones.
        auto value = [](const std::string& v) {
            return v == no_entry_caption ? std::string_view() : std::string_view(v);
        };
        manufacturer_value = value(f.manufacturer);
        year_value = value(f.year);
        source_value = value(f.source);
        rotate_value = f.rotate;
        for (const FilterSet::Flag& flag : FilterSet::flags())
            if (flag.key != "f_search" && flag.key != "f_folder" && f.*flag.field) any = true;
    }

    bool hides(const Machine& m) const {
        bool hidden = false;
        if (available) hidden |= !is_yes(m.isavailable);
        if (missing) hidden |= is_yes(m.isavailable);
        if (isbios) hidden |= !is_yes(m.isbios);
        if (bios) hidden |= m.bios_sets.empty();
        if (nonbios) hidden |= !m.bios_sets.empty();
        if (notchd) hidden |= m.disks.empty();
        if (chd) hidden |= !m.disks.empty();
        if (favourite) hidden |= !is_yes(m.isfavourite);
        if (nonfavourite) hidden |= is_yes(m.isfavourite);
        if (manufacturer) hidden |= m.manufacturer != manufacturer_value;
        if (nonmechanical) hidden |= !is_yes(m.ismechanical);
        if (mechanical) hidden |= is_yes(m.ismechanical);
        if (clones) hidden |= !m.cloneof.empty();
        if (parent) hidden |= m.cloneof.empty();
        if (runnable) hidden |= is_word(m.runnable, "no");
        if (nonrunnable) hidden |= m.runnable.empty();
        if (rotate) hidden |= m.screen_rotate != rotate_value;
        if (raster) hidden |= !is_word(m.screen_type, "raster");
        if (vector) hidden |= !is_word(m.screen_type, "vector");
        if (lcd) hidden |= !is_word(m.screen_type, "lcd");
        if (screenless) hidden |= !m.screen_type.empty();
        if (nonsoftware) hidden |= m.softwarelists.empty();
        if (software) hidden |= !m.softwarelists.empty();
        if (source) {
            // A contains test without case. An empty value is what "[No Entry]" chooses: the
            // machines without a source file (a contains test would hide every machine).
            hidden |= source_value.empty()
                          ? !m.sourcefile.empty()
                          : !icontains(m.sourcefile, source_value) || m.sourcefile.empty();
        }
        if (good) hidden |= !is_word(m.driver_status, "good");
        if (imperfect) hidden |= !is_word(m.driver_status, "imperfect");
        if (preliminary) hidden |= !is_word(m.driver_status, "preliminary");
        if (year) hidden |= m.year != year_value;
        return hidden;
    }
};

void append_lower(std::string& out, const std::string& text) {
    const size_t at = out.size();
    out.append(text);
    for (size_t i = at; i < out.size(); ++i)
        out[i] = ascii_lower(out[i]);
}

std::uint64_t sample_hash(const MachineList& machines) {
    // FNV-1a over the names and descriptions of up to 64 evenly spread records.
    std::uint64_t h = 1469598103934665603ull;
    auto mix = [&h](std::string_view s) {
        for (char c : s) {
            h ^= static_cast<unsigned char>(c);
            h *= 1099511628211ull;
        }
        h ^= 0xFF;
        h *= 1099511628211ull;
    };
    const size_t n = machines.size();
    const size_t step = n > 64 ? n / 64 : 1;
    for (size_t i = 0; i < n; i += step) {
        mix(machines[i].name);
        mix(machines[i].description);
    }
    if (n) mix(machines[n - 1].name);
    return h;
}

} // namespace

bool passes_flags(const Machine& machine, const FilterSet& filter) {
    return !Rules(filter).hides(machine);
}

void ListIndex::invalidate() {
    size_ = 0;
    data_ = nullptr;
    sample_hash_ = 0;
    order_.clear();
    rank_.clear();
    keys_.clear();
    key_start_.clear();
    name_start_.clear();
    sorted_by_ = -1;
    search_valid_ = false;
    matches_.clear();
    match_flag_.clear();
    hidden_.clear();
}

std::int64_t ListIndex::rank(std::int64_t position) const {
    if (position < 0 || static_cast<size_t>(position) >= rank_.size()) return -1;
    return rank_[static_cast<size_t>(position)];
}

bool ListIndex::matches_list(const MachineList& machines) const {
    return size_ == machines.size() && data_ == machines.data() && order_.size() == size_ &&
           sample_hash_ == sample_hash(machines);
}

void ListIndex::rebuild(const MachineList& machines) {
    invalidate();
    const size_t n = machines.size();
    size_t total = 0;
    for (const Machine& m : machines)
        total += m.description.size() + m.name.size();
    keys_.reserve(total);
    key_start_.resize(n + 1);
    name_start_.resize(n);
    for (size_t i = 0; i < n; ++i) {
        key_start_[i] = static_cast<std::uint32_t>(keys_.size());
        append_lower(keys_, machines[i].description);
        name_start_[i] = static_cast<std::uint32_t>(keys_.size());
        append_lower(keys_, machines[i].name);
    }
    key_start_[n] = static_cast<std::uint32_t>(keys_.size());
    order_.resize(n);
    rank_.resize(n);
    for (size_t i = 0; i < n; ++i) {
        order_[i] = static_cast<std::int64_t>(i);
        rank_[i] = static_cast<std::uint32_t>(i);
    }
    match_flag_.assign(n, 0);
    hidden_.assign(n, 0);
    size_ = n;
    data_ = machines.data();
    sample_hash_ = sample_hash(machines);
}

void ListIndex::sort(SortType type) {
    if (sorted_by_ == static_cast<int>(type)) return;
    const std::string_view keys = keys_;
    auto key = [&](std::int64_t p) -> std::string_view {
        const auto i = static_cast<size_t>(p);
        return type == SortType::Description
                   ? keys.substr(key_start_[i], name_start_[i] - key_start_[i])
                   : keys.substr(name_start_[i], key_start_[i + 1] - name_start_[i]);
    };
    // Lower-cased keys compared byte by byte order exactly as a comparison without case does.
    auto less = [&](std::int64_t a, std::int64_t b) { return key(a) < key(b); };
    if (!std::is_sorted(order_.begin(), order_.end(), less)) {
        std::stable_sort(order_.begin(), order_.end(), less);
        for (size_t k = 0; k < order_.size(); ++k)
            rank_[static_cast<size_t>(order_[k])] = static_cast<std::uint32_t>(k);
    }
    sorted_by_ = static_cast<int>(type);
}

void ListIndex::search(std::string_view text) {
    if (search_valid_ && text == last_search_) return;
    const std::string_view keys = keys_;
    auto matches = [&](std::uint32_t i) {
        const std::string_view desc = keys.substr(key_start_[i], name_start_[i] - key_start_[i]);
        const std::string_view name =
            keys.substr(name_start_[i], key_start_[i + 1] - name_start_[i]);
        return desc.find(text) != std::string_view::npos ||
               name.find(text) != std::string_view::npos;
    };
    // A text that contains the previous one can only match a subset of its matches.
    const bool narrowing =
        search_valid_ && !last_search_.empty() && text.find(last_search_) != std::string_view::npos;
    if (narrowing) {
        size_t kept = 0;
        for (const std::uint32_t i : matches_) {
            if (matches(i))
                matches_[kept++] = i;
            else
                match_flag_[i] = 0;
        }
        matches_.resize(kept);
    } else {
        for (const std::uint32_t i : matches_)
            match_flag_[i] = 0;
        matches_.clear();
        const auto n = static_cast<std::uint32_t>(size_);
        for (std::uint32_t i = 0; i < n; ++i) {
            if (matches(i)) {
                matches_.push_back(i);
                match_flag_[i] = 1;
            }
        }
    }
    last_search_.assign(text);
    search_valid_ = true;
}

void filter_machines(MachineList& machines, const FilterSet& filter, const FolderList& folders,
                     SortType sort_type, ViewList& view, ListIndex& index) {
    if (!index.matches_list(machines)) index.rebuild(machines);
    index.sort(sort_type);

    // Search keys are lower case; the search text is folded the same way (and a text with
    // regular-expression characters is plain text: it is only ever compared byte by byte).
    const bool searching = filter.f_search && !filter.search.empty();
    if (searching) {
        std::string lowered = to_lower(filter.search);
        index.search(lowered);
    }
    const bool search_hides_all = filter.f_search && filter.search.empty();

    const Rules rules(filter);
    const size_t n = machines.size();
    for (size_t i = 0; i < n; ++i) {
        Machine& m = machines[i];
        bool hidden = rules.any && rules.hides(m);
        if (searching) hidden |= !index.match_flag_[i];
        hidden |= search_hides_all;
        const std::uint8_t out = hidden ? 1 : 0;
        index.hidden_[i] = out;
        if (m.filtered_out != out) m.filtered_out = out;
    }

    view.clear();
    if (!filter.f_folder) {
        view.reserve(n);
        // The compact copy of filtered_out keeps this walk in list order off the records.
        for (const std::int64_t p : index.order_)
            if (!index.hidden_[static_cast<size_t>(p)]) view.push_back(p);
        return;
    }
    for (const Folder& folder : folders) {
        if (folder.caption != filter.folder) continue;
        for (const SubFolder& sub : folder.sub_folders) {
            if (sub.caption != filter.sub_folder) continue;
            for (const std::int64_t p : sub.machines)
                if (p >= 0 && static_cast<size_t>(p) < n && !index.hidden_[static_cast<size_t>(p)])
                    view.push_back(p);
        }
    }
    // Rows follow the list order whatever the order of the folder file.
    std::stable_sort(view.begin(), view.end(), [&](std::int64_t a, std::int64_t b) {
        return index.rank_[static_cast<size_t>(a)] < index.rank_[static_cast<size_t>(b)];
    });
}

std::int64_t refill_view(MachineList& machines, const FilterSet& filter, const FolderList& folders,
                         SortType sort_type, ViewList& view, ListIndex& index) {
    filter_machines(machines, filter, folders, sort_type, view, index);
    return view.empty() ? -1 : view.front();
}

} // namespace orvel
