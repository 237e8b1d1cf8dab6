#include "audit/romset_audit.h"

#include "audit/sha1.h"
#include "platform/files.h"
#include "platform/text.h"

#include <zlib.h>

#include <algorithm>
#include <unordered_map>

namespace orvel {

namespace {

enum class SourceKind : std::uint8_t { Zip, SevenZip, Folder };

struct Source {
    std::string path; // the archive, or the folder ending in the separator
    SourceKind kind = SourceKind::Zip;
};

// One file of a romset, wherever it lies.
struct Found {
    std::string key;  // lower-case file name without folders: what a ROM's name is matched on
    std::string name; // as the archive or folder names it
    std::uint64_t size = 0;
    std::uint32_t crc = 0;
    bool has_crc = false;
    bool crc_tried = false; // a loose file whose CRC was computed or could not be
    bool sha1_tried = false;
    bool has_sha1 = false;
    std::array<std::uint8_t, 20> sha1{};
    std::uint32_t source = 0;
};

// Everything found for one romset name across the ROM folders, sorted by key.
struct Content {
    std::vector<Source> sources;
    std::vector<Found> files;
};

std::string lower_base_name(std::string_view name) {
    const size_t slash = name.find_last_of('/');
    return to_lower(slash == std::string_view::npos ? name : name.substr(slash + 1));
}

bool has_suffix(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           to_lower(text.substr(text.size() - suffix.size())) == suffix;
}

void add_folder_files(const std::string& folder, const std::string& prefix, int depth,
                      Content& content, std::uint32_t source) {
    for (const DirEntry& e : list_directory(folder)) {
        if (e.is_folder) {
            if (depth < 3)
                add_folder_files(with_separator(join_path(folder, e.name)), prefix + e.name + "/",
                                 depth + 1, content, source);
            continue;
        }
        Found f;
        f.name = prefix + e.name;
        f.key = lower_base_name(e.name);
        const std::int64_t size = file_size(join_path(folder, e.name));
        f.size = size > 0 ? static_cast<std::uint64_t>(size) : 0;
        f.source = source;
        content.files.push_back(std::move(f));
    }
}

struct ByKey {
    bool operator()(const Found& a, const std::string& b) const { return a.key < b; }
    bool operator()(const std::string& a, const Found& b) const { return a < b.key; }
};

std::string found_path(const Content& c, const Found& f) {
    const Source& s = c.sources[f.source];
    return s.kind == SourceKind::Folder ? s.path + f.name : s.path;
}

} // namespace

std::string_view rom_status_text(RomStatus status) {
    switch (status) {
    case RomStatus::Good:
        return "good";
    case RomStatus::BadDump:
        return "bad dump";
    case RomStatus::NoDumpAbsent:
        return "no dump";
    case RomStatus::OptionalAbsent:
        return "optional";
    case RomStatus::Missing:
        return "missing";
    case RomStatus::WrongSize:
        return "wrong size";
    case RomStatus::WrongCrc:
        return "wrong crc";
    case RomStatus::WrongName:
        return "wrong name";
    case RomStatus::WrongSha1:
        return "wrong sha1";
    case RomStatus::Unreadable:
        return "unreadable";
    }
    return "";
}

bool rom_status_ok(RomStatus status) {
    return status == RomStatus::Good || status == RomStatus::BadDump ||
           status == RomStatus::NoDumpAbsent || status == RomStatus::OptionalAbsent;
}

struct RomsetAuditor::State {
    const RomData& data;
    std::vector<std::string> folders;
    // Lower-case romset name -> where its archives and folders are, in ROM folder order.
    std::unordered_map<std::string, std::vector<Source>> sources;
    std::unordered_map<std::string, std::unique_ptr<Content>> contents;
    // Lower-case romset name -> the ROM sizes looked for in it (for its 7z archives only).
    std::unordered_map<std::string, std::vector<std::uint64_t>> wanted_sizes;
    // Per device set: its summary once audited (-1 not yet).
    struct DeviceSummary {
        bool done = false;
        bool bad = false;
        std::uint32_t required = 0;
        std::uint32_t found = 0;
    };
    std::vector<DeviceSummary> devices;
    std::size_t sources_read = 0;

    State(const RomData& d, std::vector<std::string> f) : data(d), folders(std::move(f)) {
        devices.resize(data.sets().size());
        bool any_7z = false;
        for (const std::string& folder : folders) {
            for (const DirEntry& e : list_directory(folder)) {
                Source s;
                std::string stem;
                if (e.is_folder) {
                    s.kind = SourceKind::Folder;
                    s.path = with_separator(join_path(folder, e.name));
                    stem = e.name;
                } else if (has_suffix(e.name, ".zip")) {
                    s.kind = SourceKind::Zip;
                    s.path = join_path(folder, e.name);
                    stem = e.name.substr(0, e.name.size() - 4);
                } else if (has_suffix(e.name, ".7z")) {
                    s.kind = SourceKind::SevenZip;
                    s.path = join_path(folder, e.name);
                    stem = e.name.substr(0, e.name.size() - 3);
                    any_7z = true;
                } else {
                    continue;
                }
                sources[to_lower(stem)].push_back(std::move(s));
            }
        }
        if (any_7z) collect_wanted_sizes();
    }

    // For every set, the sizes of its ROMs go to each set on its search path that has a 7z.
    void collect_wanted_sizes() {
        for (const auto& [name, list] : sources)
            for (const Source& s : list)
                if (s.kind == SourceKind::SevenZip) wanted_sizes.emplace(name, 0);
        for (std::uint32_t i = 0; i < data.sets().size(); ++i) {
            for (const std::string& p : search_path(i)) {
                const auto it = wanted_sizes.find(p);
                if (it == wanted_sizes.end()) continue;
                const RomSet& set = data.sets()[i];
                for (std::uint32_t r = 0; r < set.rom_count; ++r)
                    it->second.push_back(data.roms()[set.first_rom + r].size);
            }
        }
        for (auto& [name, sizes] : wanted_sizes) {
            std::sort(sizes.begin(), sizes.end());
            sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
        }
    }

    // The set's own name, then the sets it takes ROMs from, lower-case.
    std::vector<std::string> search_path(std::uint32_t set) const {
        std::vector<std::string> path;
        std::int64_t at = set;
        while (at >= 0 && path.size() < 8) {
            const RomSet& s = data.sets()[static_cast<std::size_t>(at)];
            std::string name = to_lower(data.text(s.name));
            if (std::find(path.begin(), path.end(), name) != path.end()) break;
            path.push_back(std::move(name));
            at = s.romof.length ? data.find(data.text(s.romof)) : -1;
            if (at < 0 && s.romof.length) path.push_back(to_lower(data.text(s.romof)));
        }
        return path;
    }

    Content& content(const std::string& name) {
        auto it = contents.find(name);
        if (it != contents.end()) return *it->second;
        auto c = std::make_unique<Content>();
        const auto found = sources.find(name);
        if (found != sources.end()) c->sources = found->second;
        const auto wanted = wanted_sizes.find(name);
        const WantSize want = [&](std::uint64_t size) {
            return wanted != wanted_sizes.end() &&
                   std::binary_search(wanted->second.begin(), wanted->second.end(), size);
        };
        for (std::uint32_t s = 0; s < c->sources.size(); ++s) {
            ++sources_read;
            const Source& source = c->sources[s];
            if (source.kind == SourceKind::Folder) {
                add_folder_files(source.path, "", 0, *c, s);
                continue;
            }
            Result<std::vector<ArchiveEntry>> entries = source.kind == SourceKind::Zip
                                                            ? read_zip_directory(source.path)
                                                            : read_7z_entries(source.path, want);
            // A damaged archive counts as holding nothing: its ROMs are reported missing.
            if (!entries) continue;
            for (ArchiveEntry& e : *entries) {
                Found f;
                f.key = lower_base_name(e.name);
                f.name = std::move(e.name);
                f.size = e.size;
                f.crc = e.crc;
                f.has_crc = e.has_crc;
                f.crc_tried = true;
                f.source = s;
                c->files.push_back(std::move(f));
            }
        }
        std::stable_sort(c->files.begin(), c->files.end(),
                         [](const Found& a, const Found& b) { return a.key < b.key; });
        return *contents.emplace(name, std::move(c)).first->second;
    }

    // A loose file's CRC, computed the first time a size matches.
    static bool crc_of(const Content& c, Found& f) {
        if (f.has_crc || f.crc_tried) return f.has_crc;
        f.crc_tried = true;
        uLong crc = crc32(0, nullptr, 0);
        f.has_crc = read_file_blocks(found_path(c, f), 1 << 16, [&](std::string_view piece) {
            crc = crc32(crc, reinterpret_cast<const Bytef*>(piece.data()),
                        static_cast<uInt>(piece.size()));
        });
        f.crc = static_cast<std::uint32_t>(crc);
        return f.has_crc;
    }

    static bool sha1_of_chd(const Content& c, Found& f) {
        if (!f.sha1_tried) {
            f.sha1_tried = true;
            const Result<std::array<std::uint8_t, 20>> sha1 = read_chd_sha1(found_path(c, f));
            f.has_sha1 = sha1.ok();
            if (sha1) f.sha1 = *sha1;
        }
        return f.has_sha1;
    }

    // Looks a ROM of a set up along the set's search path.
    RomFinding find(std::uint32_t set, std::uint32_t rom_index, bool details,
                    const std::vector<std::string>& path) {
        const RomEntry& rom = data.roms()[rom_index];
        RomFinding out;
        out.rom = rom_index;
        out.set = set;
        const bool disk = rom.is(rom_flag::disk);
        const std::string suffix = disk ? ".chd" : "";
        // A ROM merged from the parent or BIOS may be kept there under the parent's name.
        std::vector<std::string> keys = {lower_base_name(data.text(rom.name)) + suffix};
        if (rom.merge.length && data.text(rom.merge) != data.text(rom.name))
            keys.push_back(lower_base_name(data.text(rom.merge)) + suffix);
        const bool nodump = rom.is(rom_flag::nodump);
        const bool baddump = rom.is(rom_flag::baddump);
        // The first file of that name that did not match, for the report.
        Content* wrong_content = nullptr;
        Found* wrong = nullptr;
        for (const std::string& p : path) {
            Content& c = content(p);
            for (const std::string& key : keys) {
                auto [first, last] = std::equal_range(c.files.begin(), c.files.end(), key, ByKey{});
                for (auto f = first; f != last; ++f) {
                    bool match = false;
                    if (nodump) {
                        match = true;
                    } else if (disk) {
                        match = !rom.is(rom_flag::has_sha1) ||
                                (sha1_of_chd(c, *f) && f->sha1 == rom.sha1);
                    } else if (f->size == rom.size) {
                        match = baddump || !rom.is(rom_flag::has_crc) ||
                                (crc_of(c, *f) && f->crc == rom.crc);
                    }
                    if (match) {
                        out.status = baddump ? RomStatus::BadDump : RomStatus::Good;
                        if (details) describe(out, c, *f);
                        return out;
                    }
                    if (!wrong) {
                        wrong = &*f;
                        wrong_content = &c;
                    }
                }
            }
        }
        if (!disk && !nodump && rom.is(rom_flag::has_crc)) {
            // The right data under another name, anywhere along the path.
            for (const std::string& p : path) {
                Content& c = content(p);
                for (Found& f : c.files) {
                    if (f.size != rom.size || !crc_of(c, f) || f.crc != rom.crc) continue;
                    out.status = RomStatus::WrongName;
                    describe(out, c, f);
                    return out;
                }
            }
        }
        if (wrong) {
            out.status = disk                      ? RomStatus::WrongSha1
                         : wrong->size == rom.size ? RomStatus::WrongCrc
                                                   : RomStatus::WrongSize;
            if (details) describe(out, *wrong_content, *wrong);
            return out;
        }
        out.status = nodump                       ? RomStatus::NoDumpAbsent
                     : rom.is(rom_flag::optional) ? RomStatus::OptionalAbsent
                                                  : RomStatus::Missing;
        return out;
    }

    static void describe(RomFinding& out, const Content& c, const Found& f) {
        out.where = c.sources[f.source].kind == SourceKind::Folder ? found_path(c, f)
                                                                   : c.sources[f.source].path;
        out.found_as = f.name;
        out.found_size = f.size;
        out.found_crc = f.crc;
    }

    // Counts towards the verdict: ROMs that need to be there, and which of them were found.
    struct Tally {
        std::uint32_t required = 0;
        std::uint32_t found_own = 0;       // found, and not shared with the parent or BIOS
        std::uint32_t required_shared = 0; // merged from the parent or BIOS
        std::uint32_t found_shared = 0;
        std::uint32_t found = 0;
        bool bad = false;
    };

    static void count(Tally& t, const RomEntry& rom, RomStatus status) {
        if (rom.is(rom_flag::nodump)) return;
        const bool present = status != RomStatus::Missing && status != RomStatus::OptionalAbsent;
        if (!rom_status_ok(status)) t.bad = true;
        if (rom.is(rom_flag::optional)) return;
        const bool shared = rom.merge.length != 0;
        ++t.required;
        if (shared) ++t.required_shared;
        if (present) {
            ++t.found;
            if (shared)
                ++t.found_shared;
            else
                ++t.found_own;
        }
    }

    DeviceSummary& device(std::uint32_t set) {
        DeviceSummary& d = devices[set];
        if (d.done) return d;
        d.done = true;
        const RomSet& s = data.sets()[set];
        Tally t;
        const std::vector<std::string> path = search_path(set);
        for (std::uint32_t r = 0; r < s.rom_count; ++r) {
            const RomFinding f = find(set, s.first_rom + r, false, path);
            count(t, data.roms()[s.first_rom + r], f.status);
        }
        d.bad = t.bad;
        d.required = t.required;
        d.found = t.found;
        return d;
    }

    MachineAudit run(std::uint32_t set, bool details) {
        MachineAudit out;
        const RomSet& s = data.sets()[set];
        Tally own;
        const std::vector<std::string> path = search_path(set);
        for (std::uint32_t r = 0; r < s.rom_count; ++r) {
            RomFinding f = find(set, s.first_rom + r, details, path);
            count(own, data.roms()[s.first_rom + r], f.status);
            if (details) out.roms.push_back(std::move(f));
        }
        bool devices_bad = false;
        std::uint32_t device_required = 0;
        std::uint32_t device_found = 0;
        for (std::uint32_t d = 0; d < s.device_count; ++d) {
            const std::int64_t at = data.find(data.text(data.device_refs()[s.first_device + d]));
            if (at < 0 || static_cast<std::uint32_t>(at) == set) continue;
            const auto dev = static_cast<std::uint32_t>(at);
            const DeviceSummary& summary = device(dev);
            devices_bad |= summary.bad;
            device_required += summary.required;
            device_found += summary.found;
            if (details) {
                const RomSet& ds = data.sets()[dev];
                const std::vector<std::string> device_path = search_path(dev);
                for (std::uint32_t r = 0; r < ds.rom_count; ++r)
                    out.roms.push_back(find(dev, ds.first_rom + r, true, device_path));
            }
        }
        if (s.rom_count == 0 && device_required == 0 && !devices_bad) {
            out.verdict = AuditVerdict::NoRoms;
        } else if (own.required > 0 && own.found_own == 0 &&
                   (own.required != own.required_shared || own.found_shared == 0)) {
            // Nothing of its own was found: the set is not there, whatever its parent holds.
            out.verdict = AuditVerdict::Missing;
        } else if (own.required == 0 && own.found == 0 && device_found == 0 &&
                   (device_required > 0 || own.bad)) {
            out.verdict = AuditVerdict::Missing;
        } else {
            out.verdict =
                own.bad || devices_bad ? AuditVerdict::Incomplete : AuditVerdict::Complete;
        }
        return out;
    }
};

RomsetAuditor::RomsetAuditor(const RomData& data, std::vector<std::string> rom_folders)
    : state_(std::make_unique<State>(data, std::move(rom_folders))) {}

RomsetAuditor::~RomsetAuditor() = default;

AuditVerdict RomsetAuditor::verdict(std::uint32_t set) {
    return state_->run(set, false).verdict;
}

MachineAudit RomsetAuditor::audit(std::uint32_t set) {
    return state_->run(set, true);
}

std::size_t RomsetAuditor::sources_read() const {
    return state_->sources_read;
}

MachineAudit RomsetAuditor::deep_audit(std::uint32_t set) {
    MachineAudit result = audit(set);
    const RomData& data = state_->data;
    // Group the found ROMs by the archive or file they are in, so each is read once.
    std::unordered_map<std::string, std::vector<RomFinding*>> by_source;
    for (RomFinding& f : result.roms) {
        const RomEntry& rom = data.roms()[f.rom];
        if (f.where.empty() || !rom.is(rom_flag::has_sha1) || rom.is(rom_flag::disk) ||
            rom.is(rom_flag::nodump) || rom.is(rom_flag::baddump))
            continue;
        by_source[f.where].push_back(&f);
    }
    for (auto& source : by_source) {
        // Named references, not a structured binding: the lambdas below capture them, which
        // clang before version 16 does not allow of bindings.
        const std::string& where = source.first;
        std::vector<RomFinding*>& findings = source.second;
        const auto check = [&](RomFinding& f, const std::array<std::uint8_t, 20>& sha1) {
            if (sha1 != data.roms()[f.rom].sha1) f.status = RomStatus::WrongSha1;
        };
        if (folder_exists(where) || (!has_suffix(where, ".zip") && !has_suffix(where, ".7z"))) {
            // A loose file: where is the file itself.
            for (RomFinding* f : findings) {
                Sha1 sha1;
                if (!read_file_blocks(where, 1 << 16, [&](std::string_view p) { sha1.add(p); }))
                    f->status = RomStatus::Unreadable;
                else
                    check(*f, sha1.finish());
            }
            continue;
        }
        Sha1 sha1;
        std::vector<char> seen(findings.size(), 0);
        EntryReader reader;
        reader.pick = [&](std::string_view name) {
            for (RomFinding* f : findings)
                if (f->found_as == name) return true;
            return false;
        };
        reader.on_data = [&](std::string_view piece) { sha1.add(piece); };
        reader.on_end = [&](std::string_view name, bool complete) {
            const std::array<std::uint8_t, 20> digest = sha1.finish();
            sha1 = Sha1();
            for (std::size_t i = 0; i < findings.size(); ++i) {
                if (findings[i]->found_as != name) continue;
                seen[i] = 1;
                if (complete)
                    check(*findings[i], digest);
                else
                    findings[i]->status = RomStatus::Unreadable;
            }
        };
        (void)read_archive_entries(where, reader);
        // An entry the walk never reached (a damaged archive) could not be compared.
        for (std::size_t i = 0; i < findings.size(); ++i)
            if (!seen[i]) findings[i]->status = RomStatus::Unreadable;
    }
    bool bad = false;
    for (const RomFinding& f : result.roms)
        bad |= f.status == RomStatus::WrongSha1 || f.status == RomStatus::Unreadable;
    if (bad && result.verdict == AuditVerdict::Complete) result.verdict = AuditVerdict::Incomplete;
    return result;
}

AuditRun audit_romsets(const RomData& data, const std::vector<std::string>& rom_folders,
                       Host& progress, const std::atomic<bool>* cancel) {
    AuditRun run;
    const auto total = static_cast<std::uint32_t>(data.sets().size());
    run.verdicts.assign(total, AuditVerdict::Unknown);
    progress.set_progress("Auditing Romsets...");
    RomsetAuditor auditor(data, rom_folders);
    int shown = -1;
    for (std::uint32_t i = 0; i < total; ++i) {
        if ((i & 255) == 0) {
            if (cancel && cancel->load()) {
                run.cancelled = true;
                break;
            }
            const int percent = static_cast<int>(std::uint64_t(i) * 100 / total);
            if (percent != shown) {
                shown = percent;
                progress.set_progress("Auditing Romsets... " + std::to_string(percent) + "%");
            }
            progress.keep_alive();
        }
        run.verdicts[i] = auditor.verdict(i);
    }
    run.sources_read = auditor.sources_read();
    return run;
}

} // namespace orvel
