#include "filters/filter_pass.h"

#include "platform/text.h"

#include <algorithm>
#include <cstring>

namespace orvel {

namespace {

bool is_word(const std::string& field, std::string_view word) {
    return field.size() == word.size() && std::memcmp(field.data(), word.data(), word.size()) == 0;
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
        if (available) hidden |= !m.isavailable;
        if (missing) hidden |= m.isavailable;
        if (isbios) hidden |= !m.isbios;
        if (bios) hidden |= m.bios_sets.empty();
        if (nonbios) hidden |= !m.bios_sets.empty();
        if (notchd) hidden |= m.disks.empty();
        if (chd) hidden |= !m.disks.empty();
        if (favourite) hidden |= !m.isfavourite;
        if (nonfavourite) hidden |= m.isfavourite;
        if (manufacturer) hidden |= m.manufacturer != manufacturer_value;
        if (nonmechanical) hidden |= !m.ismechanical;
        if (mechanical) hidden |= m.ismechanical;
        if (clones) hidden |= !m.cloneof.empty();
        if (parent) hidden |= m.cloneof.empty();
        if (runnable) hidden |= !m.runnable;
        if (nonrunnable) hidden |= m.runnable;
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

namespace {

// Property bits of a record for the flag tests.
enum : std::uint32_t {
    bit_isbios = 1u << 0,
    bit_bios_sets = 1u << 1,
    bit_disks = 1u << 2,
    bit_mechanical = 1u << 3,
    bit_clone = 1u << 4,
    bit_runnable_no = 1u << 5,
    bit_runnable_empty = 1u << 6,
    bit_raster = 1u << 7,
    bit_vector = 1u << 8,
    bit_lcd = 1u << 9,
    bit_screenless = 1u << 10,
    bit_software = 1u << 11,
    bit_good = 1u << 12,
    bit_imperfect = 1u << 13,
    bit_preliminary = 1u << 14,
    // Read from the record on every pass: they change during a run.
    bit_available = 1u << 15,
    bit_favourite = 1u << 16,
};

std::uint32_t fixed_bits(const Machine& m) {
    std::uint32_t b = 0;
    if (m.isbios) b |= bit_isbios;
    if (!m.bios_sets.empty()) b |= bit_bios_sets;
    if (!m.disks.empty()) b |= bit_disks;
    if (m.ismechanical) b |= bit_mechanical;
    if (!m.cloneof.empty()) b |= bit_clone;
    if (!m.runnable) b |= bit_runnable_no;
    if (m.runnable) b |= bit_runnable_empty;
    if (is_word(m.screen_type, "raster")) b |= bit_raster;
    if (is_word(m.screen_type, "vector")) b |= bit_vector;
    if (is_word(m.screen_type, "lcd")) b |= bit_lcd;
    if (m.screen_type.empty()) b |= bit_screenless;
    if (!m.softwarelists.empty()) b |= bit_software;
    if (is_word(m.driver_status, "good")) b |= bit_good;
    if (is_word(m.driver_status, "imperfect")) b |= bit_imperfect;
    if (is_word(m.driver_status, "preliminary")) b |= bit_preliminary;
    return b;
}

// The flags as one mask test: a record is hidden when (bits & care) != want. A flag and its
// opposite both on (possible only by setting flags directly) hide everything.
struct Mask {
    std::uint32_t care = 0;
    std::uint32_t want = 0;
    bool hides_all = false;
    void require(bool on, std::uint32_t bit, bool set) {
        if (!on) return;
        const std::uint32_t value = set ? bit : 0;
        if ((care & bit) && (want & bit) != value) hides_all = true;
        care |= bit;
        want = (want & ~bit) | value;
    }
};

Mask mask_of(const FilterSet& f) {
    Mask m;
    m.require(f.f_available, bit_available, true);
    m.require(f.f_missing, bit_available, false);
    m.require(f.f_isbios, bit_isbios, true);
    m.require(f.f_bios, bit_bios_sets, true);
    m.require(f.f_nonbios, bit_bios_sets, false);
    m.require(f.f_notchd, bit_disks, true);
    m.require(f.f_chd, bit_disks, false);
    m.require(f.f_favourite, bit_favourite, true);
    m.require(f.f_nonfavourite, bit_favourite, false);
    m.require(f.f_nonmechanical, bit_mechanical, true);
    m.require(f.f_mechanical, bit_mechanical, false);
    m.require(f.f_clones, bit_clone, false);
    m.require(f.f_parent, bit_clone, true);
    m.require(f.f_runnable, bit_runnable_no, false);
    m.require(f.f_nonrunnable, bit_runnable_empty, false);
    m.require(f.f_raster, bit_raster, true);
    m.require(f.f_vector, bit_vector, true);
    m.require(f.f_lcd, bit_lcd, true);
    m.require(f.f_screenless, bit_screenless, true);
    m.require(f.f_nonsoftware, bit_software, true);
    m.require(f.f_software, bit_software, false);
    m.require(f.f_good, bit_good, true);
    m.require(f.f_imperfect, bit_imperfect, true);
    m.require(f.f_preliminary, bit_preliminary, true);
    return m;
}

constexpr std::uint32_t no_value = UINT32_MAX;

std::string_view value_of(const std::string& v) {
    return v == no_entry_caption ? std::string_view() : std::string_view(v);
}

} // namespace

std::uint32_t ListIndex::Values::intern(const std::string& value) {
    const auto [it, added] = number.try_emplace(value, static_cast<std::uint32_t>(text.size()));
    if (added) text.push_back(value);
    return it->second;
}

std::uint32_t ListIndex::Values::find(std::string_view value) const {
    const auto it = number.find(std::string(value));
    return it == number.end() ? no_value : it->second;
}

void ListIndex::invalidate() {
    *this = ListIndex();
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
        total += m.description.size() + m.name.size() + 2;
    keys_.reserve(total);
    key_start_.resize(n + 1);
    name_start_.resize(n);
    props_.resize(n);
    hidden_.resize(n);
    for (size_t i = 0; i < n; ++i) {
        const Machine& m = machines[i];
        key_start_[i] = static_cast<std::uint32_t>(keys_.size());
        append_folded(keys_, m.description);
        keys_.push_back('\0');
        name_start_[i] = static_cast<std::uint32_t>(keys_.size());
        append_folded(keys_, m.name);
        keys_.push_back('\0');
        Props& p = props_[i];
        p.bits = fixed_bits(m);
        p.manufacturer = manufacturers_.intern(m.manufacturer);
        p.year = years_.intern(m.year);
        p.source = sources_.intern(m.sourcefile);
        p.rotate = rotates_.intern(m.screen_rotate);
        hidden_[i] = m.filtered_out;
    }
    key_start_[n] = static_cast<std::uint32_t>(keys_.size());
    order_.resize(n);
    rank_.resize(n);
    for (size_t i = 0; i < n; ++i) {
        order_[i] = static_cast<std::int64_t>(i);
        rank_[i] = static_cast<std::uint32_t>(i);
    }
    match_flag_.assign(n, 0);
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
    const std::string_view keys = keys_;
    const std::string_view desc = keys.substr(key_start_[i], name_start_[i] - 1 - key_start_[i]);
    const std::string_view name =
        keys.substr(name_start_[i], key_start_[i + 1] - 1 - name_start_[i]);
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
    const std::string_view keys = keys_;
    std::uint32_t record = 0;
    size_t at = 0;
    while ((at = keys.find(text, at)) != std::string_view::npos) {
        while (key_start_[record + 1] <= at)
            ++record;
        out.push_back(record);
        at = key_start_[record + 1];
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

void filter_machines(MachineList& machines, const FilterSet& filter, const FolderList& folders,
                     SortType sort_type, ViewList& view, ListIndex& index) {
    if (!index.matches_list(machines)) index.rebuild(machines);
    index.sort(sort_type);

    // The search keys are case-folded; the text is folded the same way. It is only ever
    // compared byte by byte, so any content (pattern characters, non-ASCII) is plain text.
    const bool searching = filter.f_search && !filter.search.empty();
    if (searching) index.search(fold_case(filter.search));
    // An empty search text with f_search on contains nothing, so nothing is shown.
    const bool search_hides_all = filter.f_search && filter.search.empty();

    const Mask mask = mask_of(filter);
    const bool hides_all = mask.hides_all || search_hides_all;
    const std::uint32_t live_care = mask.care & (bit_available | bit_favourite);
    const std::uint32_t manufacturer =
        filter.f_manufacturer ? index.manufacturers_.find(value_of(filter.manufacturer)) : 0;
    const std::uint32_t year = filter.f_year ? index.years_.find(value_of(filter.year)) : 0;
    const std::uint32_t rotate = filter.f_rotate ? index.rotates_.find(filter.rotate) : 0;
    // The source rule is a contains test without case, done once per distinct source file.
    // An empty value is what "[No Entry]" chooses: the machines without a source file.
    std::vector<std::uint8_t> source_ok;
    if (filter.f_source) {
        const std::string_view wanted = value_of(filter.source);
        source_ok.resize(index.sources_.text.size());
        for (size_t s = 0; s < source_ok.size(); ++s) {
            const std::string& file = index.sources_.text[s];
            source_ok[s] = wanted.empty() ? file.empty() : icontains(file, wanted) && !file.empty();
        }
    }

    const size_t n = machines.size();
    const ListIndex::Props* props = index.props_.data();
    const std::uint8_t* matched = index.match_flag_.data();
    std::uint8_t* hidden = index.hidden_.data();
    for (size_t i = 0; i < n; ++i) {
        const ListIndex::Props& p = props[i];
        std::uint32_t bits = p.bits;
        if (live_care) {
            const Machine& m = machines[i];
            if (m.isavailable) bits |= bit_available;
            if (m.isfavourite) bits |= bit_favourite;
        }
        bool h = hides_all || (bits & mask.care) != mask.want;
        if (filter.f_manufacturer) h |= p.manufacturer != manufacturer;
        if (filter.f_year) h |= p.year != year;
        if (filter.f_rotate) h |= p.rotate != rotate;
        if (filter.f_source) h |= !source_ok[p.source];
        if (searching) h |= !matched[i];
        const std::uint8_t out = h ? 1 : 0;
        // Records are written only where the outcome changed, so an unchanged refill does not
        // touch them.
        if (hidden[i] != out) {
            hidden[i] = out;
            machines[i].filtered_out = out;
        }
    }

    view.clear();
    if (!filter.f_folder) {
        view.reserve(n);
        for (const std::int64_t p : index.order_)
            if (!hidden[static_cast<size_t>(p)]) view.push_back(p);
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
}

std::int64_t refill_view(MachineList& machines, const FilterSet& filter, const FolderList& folders,
                         SortType sort_type, ViewList& view, ListIndex& index) {
    filter_machines(machines, filter, folders, sort_type, view, index);
    return view.empty() ? -1 : view.front();
}

} // namespace orvel
