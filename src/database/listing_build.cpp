#include "database/listing_build.h"

#include "database/availability.h"
#include "database/database_file.h"
#include "database/rom_data.h"
#include "platform/files.h"
#include "platform/mame_folders.h"
#include "platform/process.h"
#include "platform/text.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <numeric>
#include <thread>
#include <unordered_map>

namespace orvel {

namespace {

// The walk over MAME's listing. Expat hands over elements in document order; each attribute
// is stored into the record (and nested element) most recently appended. Only the text of
// <description>, <year> and <manufacturer> is kept, so the character handler is installed
// just while such an element is open.
struct Walk {
    XML_Parser parser = nullptr;
    MachineList* machines = nullptr;
    Machine* current = nullptr;
    std::string* text = nullptr; // where the open text element's content goes
    int text_depth = 0;          // elements open inside the text element
    Host* host = nullptr;
    unsigned long elements = 0;
    RomData* roms = nullptr;  // when given, every ROM, disk and device reference goes here
    std::size_t left_out = 0; // machines whose name is no plain short name
};

inline bool eq(const XML_Char* a, const char* b) {
    return std::strcmp(a, b) == 0;
}

void XMLCALL on_text(void* data, const XML_Char* s, int len) {
    auto* w = static_cast<Walk*>(data);
    w->text->append(s, static_cast<size_t>(len));
}

void XMLCALL on_start(void* data, const XML_Char* name, const XML_Char** atts);

void XMLCALL on_end(void* data, const XML_Char*) {
    auto* w = static_cast<Walk*>(data);
    if (w->text_depth-- == 0) {
        w->text = nullptr;
        w->text_depth = 0;
        XML_SetCharacterDataHandler(w->parser, nullptr);
        XML_SetEndElementHandler(w->parser, nullptr);
    }
}

void open_text(Walk& w, std::string& target) {
    target.clear();
    w.text = &target;
    w.text_depth = 0;
    XML_SetCharacterDataHandler(w.parser, on_text);
    XML_SetEndElementHandler(w.parser, on_end);
}

// A <rom> or <disk> into the ROM data of the machine being read.
void add_rom(RomData& roms, const XML_Char** atts, bool disk) {
    const XML_Char* name = nullptr;
    for (const XML_Char** a = atts; *a; a += 2)
        if (eq(a[0], "name")) name = a[1];
    if (!name) return;
    RomEntry& rom = roms.add_rom(name);
    if (disk) rom.flags |= rom_flag::disk;
    for (; *atts; atts += 2) {
        const XML_Char* key = atts[0];
        const XML_Char* value = atts[1];
        switch (key[0]) {
        case 's':
            if (eq(key, "size")) {
                rom.size = std::strtoull(value, nullptr, 10);
            } else if (eq(key, "sha1")) {
                if (parse_sha1(value, rom.sha1)) rom.flags |= rom_flag::has_sha1;
            } else if (eq(key, "status")) {
                if (eq(value, "nodump")) rom.flags |= rom_flag::nodump;
                if (eq(value, "baddump")) rom.flags |= rom_flag::baddump;
            }
            break;
        case 'c':
            if (eq(key, "crc") && parse_crc(value, rom.crc)) rom.flags |= rom_flag::has_crc;
            break;
        case 'm':
            // Most merged ROMs keep their name: the name's text serves both.
            if (eq(key, "merge")) rom.merge = eq(value, name) ? rom.name : roms.add_text(value);
            break;
        case 'b':
            if (eq(key, "bios")) rom.bios = roms.add_text(value);
            break;
        case 'o':
            if (eq(key, "optional") && eq(value, "yes")) rom.flags |= rom_flag::optional;
            break;
        default:
            break;
        }
    }
}

void XMLCALL on_start(void* data, const XML_Char* name, const XML_Char** atts) {
    auto* w = static_cast<Walk*>(data);
    if ((++w->elements & 4095) == 0 && w->host) w->host->keep_alive();
    if (w->text) { // an element inside a text element: its text belongs to the outer one
        ++w->text_depth;
        return;
    }
    Machine* m = w->current;
    switch (name[0]) {
    case 'm':
        if (eq(name, "machine")) {
            // Nothing of a machine without a usable name reaches the record before it. A name
            // is a file name (pictures, ini files) and an argument of MAME's: one that could
            // leave a folder or become several arguments is left out, and counted.
            m = w->current = nullptr;
            const XML_Char* machine_name = nullptr;
            for (const XML_Char** a = atts; *a; a += 2)
                if (eq(a[0], "name")) machine_name = a[1];
            if (!machine_name) return;
            if (!is_plain_name(machine_name)) {
                ++w->left_out;
                return;
            }
            w->machines->emplace_back();
            m = w->current = &w->machines->back();
            m->name = machine_name;
            for (; *atts; atts += 2) {
                const XML_Char* key = atts[0];
                const XML_Char* value = atts[1];
                if (eq(key, "sourcefile")) {
                    m->sourcefile = value;
                } else if (eq(key, "isbios")) {
                    m->isbios = eq(value, "yes");
                } else if (eq(key, "isdevice")) {
                    m->isdevice = eq(value, "yes");
                } else if (eq(key, "runnable")) {
                    m->runnable = !eq(value, "no");
                } else if (eq(key, "ismechanical")) {
                    m->ismechanical = eq(value, "yes");
                } else if (eq(key, "cloneof")) {
                    m->cloneof = value;
                } else if (eq(key, "romof")) {
                    m->romof = value;
                } else if (eq(key, "sampleof")) {
                    m->sampleof = value;
                }
            }
            if (w->roms) {
                w->roms->begin_set(m->name);
                if (!m->romof.empty()) w->roms->set_romof(m->romof);
                if (!m->cloneof.empty()) w->roms->set_cloneof(m->cloneof);
                w->roms->set_flags(m->isbios, m->isdevice);
            }
        } else if (m && eq(name, "manufacturer")) {
            open_text(*w, m->manufacturer);
        }
        return;
    case 'r':
        if (m && name[1] == 'o' && eq(name, "rom")) {
            if (*atts) m->requires_roms = true;
            if (w->roms && !w->roms->sets().empty()) add_rom(*w->roms, atts, false);
        }
        return;
    case 'd':
        // Most elements here are device_ref, dipswitch and dipvalue: the second and third
        // letters pass over "dev..." and "dip..." before any full comparison.
        if (!m || (name[1] == 'i' && name[2] == 'p')) return;
        if (name[1] == 'e' && name[2] == 'v') {
            if (w->roms && !w->roms->sets().empty() && eq(name, "device_ref")) {
                for (; *atts; atts += 2)
                    if (eq(atts[0], "name")) w->roms->add_device_ref(atts[1]);
            }
            return;
        }
        if (eq(name, "description")) {
            open_text(*w, m->description);
        } else if (eq(name, "disk")) {
            if (w->roms && !w->roms->sets().empty()) add_rom(*w->roms, atts, true);
            for (; *atts; atts += 2)
                if (eq(atts[0], "name")) m->disks.emplace_back(atts[1]);
        } else if (eq(name, "display")) {
            for (; *atts; atts += 2) {
                if (eq(atts[0], "type"))
                    m->screen_type = atts[1];
                else if (eq(atts[0], "rotate"))
                    m->screen_rotate = atts[1];
            }
        } else if (eq(name, "driver")) {
            for (; *atts; atts += 2) {
                if (eq(atts[0], "status"))
                    m->driver_status = atts[1];
                else if (eq(atts[0], "emulation"))
                    m->driver_emulation = atts[1];
            }
        }
        return;
    case 'f':
        if (m && eq(name, "feature")) {
            for (; *atts; atts += 2) {
                if (eq(atts[0], "type"))
                    m->driver_features.push_back(DriverFeature{atts[1], "", ""});
                else if (m->driver_features.empty())
                    continue;
                else if (eq(atts[0], "status"))
                    m->driver_features.back().driver_feature_status = atts[1];
                else if (eq(atts[0], "overall"))
                    m->driver_features.back().driver_feature_overall = atts[1];
            }
        }
        return;
    case 's':
        if (m && name[1] == 'o' && eq(name, "softwarelist")) {
            // A list's name becomes a file name in the hash folder and part of MAME's arguments.
            for (; *atts; atts += 2)
                if (eq(atts[0], "name") && is_plain_name(atts[1]))
                    m->softwarelists.emplace_back(atts[1]);
        }
        return;
    case 'b':
        if (m && eq(name, "biosset")) {
            for (; *atts; atts += 2) {
                if (eq(atts[0], "name"))
                    m->bios_sets.push_back(BiosSet{atts[1], ""});
                else if (eq(atts[0], "description") && !m->bios_sets.empty())
                    m->bios_sets.back().bios_description = atts[1];
            }
        }
        return;
    case 'y':
        if (m && eq(name, "year")) open_text(*w, m->year);
        return;
    default:
        return;
    }
}

// Runs the walk over text delivered by next(buffer, capacity) -> bytes read (0 at the end,
// negative on a read error, which ends the walk with an Error whose message the caller
// gives).
template <typename Reader>
Status walk_listing(MachineList& machines, RomData* roms, Host* host, Reader& next,
                    std::size_t& left_out) {
    Walk w;
    w.roms = roms;
    // However the walk ends, the caller hears how many machines it left out.
    struct Count {
        Walk& walk;
        std::size_t& out;
        ~Count() { out += walk.left_out; }
    } count{w, left_out};
    const XmlParser parser = make_xml_parser(&w, on_start, nullptr);
    if (!parser) return failure("out of memory");
    w.parser = parser.get();
    w.machines = &machines;
    w.host = host;
    constexpr int chunk = 1 << 20;
    bool first = true;
    for (;;) {
        void* buffer = XML_GetBuffer(w.parser, chunk);
        if (!buffer)
            return failure(xml_error_text(XmlError{"out of memory", 0, 0}), FailureKind::Malformed);
        const long n = next(static_cast<char*>(buffer), chunk);
        if (n < 0) return failure("");
        if (XML_ParseBuffer(w.parser, static_cast<int>(n), n == 0) == XML_STATUS_ERROR)
            return failure(xml_error_text(xml_error(w.parser)), FailureKind::Malformed);
        if (first && host) {
            host->set_progress("Processing XML Data...");
            first = false;
        }
        if (n == 0) return {};
    }
}

// The walk, after which the list's generation moves on however it ended: records were added.
template <typename Reader>
Status run_walk(MachineList& machines, RomData* roms, Host* host, std::size_t* left_out,
                Reader&& next) {
    std::size_t ignored = 0;
    const Status result = walk_listing(machines, roms, host, next, left_out ? *left_out : ignored);
    machines.bump_generation();
    if (roms) roms->finish();
    return result;
}

std::string centred(std::string_view text, size_t width) {
    if (text.size() >= width) return std::string(text);
    const size_t left = (width - text.size()) / 2;
    return std::string(left, ' ') + std::string(text) +
           std::string(width - text.size() - left, ' ');
}

// What became of MAME's listing run.
struct ListingRun {
    bool started = false;
    bool cancelled = false;  // the user asked the listing to stop
    std::uint64_t bytes = 0; // what MAME wrote
    std::string failure;     // why the run was given up on, or why MAME failed
};

// The root element's closing tag must end a listing file that is to be reused: a build that
// was interrupted leaves a file cut off anywhere, possibly right after a machine.
bool listing_is_complete(const std::string& path) {
    std::FILE* f = open_file(path, "rb");
    if (!f) return false;
    char head[4096];
    const size_t head_size = std::fread(head, 1, sizeof head, f);
    std::string root;
    for (size_t i = 0; i + 1 < head_size && root.empty(); ++i) {
        if (head[i] != '<' || head[i + 1] == '?' || head[i + 1] == '!') continue;
        size_t end = i + 1;
        while (end < head_size && std::strchr(" \t\r\n/>", head[end]) == nullptr)
            ++end;
        root.assign(head + i + 1, end - i - 1);
    }
    char tail[256];
    size_t tail_size = 0;
    if (!root.empty() && std::fseek(f, -static_cast<long>(sizeof tail), SEEK_END) != 0)
        std::rewind(f);
    if (!root.empty()) tail_size = std::fread(tail, 1, sizeof tail, f);
    std::fclose(f);
    const std::string_view end = trim(std::string_view(tail, tail_size), " \t\r\n");
    const std::string closing = "</" + root + ">";
    return !root.empty() && end.size() >= closing.size() &&
           end.substr(end.size() - closing.size()) == closing;
}

// Starts MAME with its standard output read through a pipe: each piece is written to the
// listing file and parsed as it arrives, so that the parse is done soon after MAME ends.
// MAME's error lines go to the console. A MAME that writes nothing for silence_ms is ended (a
// limit on silence, not on the whole run, so a slow machine is never cut off). expected: the
// machines of the database being replaced, for the progress (0: none).
Status generate_and_parse(const Settings& settings, const std::string& listing,
                          MachineList& machines, RomData& roms, Host& host, int silence_ms,
                          std::uint64_t expected, ListingRun& run, std::size_t& left_out) {
    std::FILE* out = open_file(listing, "wb");
    if (!out) {
        run.failure =
            "The listing could not be written to " + listing + ": " + std::strerror(errno);
        return failure(run.failure);
    }
    ChildProcess mame;
    ChildProcess::Options options;
    options.working_folder = settings.MAME_Path;
    options.capture_output = true;
    options.raw_stdout = true;
    // Whatever MAME starts ends with it when the listing is cancelled.
    options.own_group = true;
    run.started = mame.start(mame_executable_path(settings.MAME_Exe, settings.MAME_Path),
                             split_arguments("-lx -nodtd"), options);
    if (!run.started) {
        std::fclose(out);
        return failure("MAME could not be started", FailureKind::Missing);
    }
    using clock = std::chrono::steady_clock;
    std::string pending; // read from MAME, not yet handed to the parser
    size_t taken = 0;
    std::string last_error;
    int write_errno = 0;
    bool silent = false;
    auto last_output = clock::now();
    // The machines MAME has listed so far, counted in the stream (a tag cut between two pieces
    // is found in the little that is kept of the one before) and told a few times a second.
    constexpr std::string_view machine_tag = "<machine ";
    std::string tag_carry;
    std::uint64_t machines_seen = 0;
    auto progress_told = clock::now();
    const auto count_machines = [&](std::string_view piece) {
        // The kept tail is shorter than the tag: a tag found is never counted twice.
        std::string joined = std::move(tag_carry);
        joined.append(piece);
        for (std::size_t at = joined.find(machine_tag); at != std::string::npos;
             at = joined.find(machine_tag, at + machine_tag.size()))
            ++machines_seen;
        tag_carry = joined.substr(joined.size() - std::min(joined.size(), machine_tag.size() - 1));
        if (clock::now() - progress_told >= std::chrono::milliseconds(300)) {
            progress_told = clock::now();
            host.set_progress("Loading XML Data... " + std::to_string(machines_seen) +
                              " machines read");
            host.set_progress_count(machines_seen, expected);
        }
    };
    const auto on_out = [&](std::string_view piece) {
        last_output = clock::now();
        count_machines(piece);
        run.bytes += piece.size();
        if (write_errno == 0 && std::fwrite(piece.data(), 1, piece.size(), out) != piece.size())
            write_errno = errno != 0 ? errno : EIO;
        pending.append(piece);
    };
    const auto on_err = [&](std::string_view line) {
        host.console_line(line);
        if (!trim(line).empty()) last_error = std::string(trim(line));
    };
    bool reading = true;
    const Status result =
        run_walk(machines, &roms, &host, &left_out, [&](char* buffer, int capacity) -> long {
            while (taken == pending.size() && reading && write_errno == 0 && !silent &&
                   !run.cancelled) {
                pending.clear();
                taken = 0;
                reading = mame.poll_output(30, on_out, on_err);
                host.keep_alive();
                if (reading && silence_ms >= 0 &&
                    clock::now() - last_output > std::chrono::milliseconds(silence_ms))
                    silent = true;
                run.cancelled = host.stop_requested();
            }
            if (write_errno != 0 || silent || run.cancelled) return -1;
            const size_t n = std::min(static_cast<size_t>(capacity), pending.size() - taken);
            std::memcpy(buffer, pending.data() + taken, n);
            taken += n;
            return static_cast<long>(n);
        });
    if (std::fclose(out) != 0 && write_errno == 0) write_errno = errno != 0 ? errno : EIO;
    // Given up on, cancelled, or the parse stopped at malformed text: MAME and what it started
    // are ended rather than waited for.
    const bool stopped_early = reading;
    if (stopped_early) mame.stop(500);
    const int status = mame.wait().value_or(-1);
    if (run.cancelled) {
        // The user knows why; the caller drops what was read.
    } else if (write_errno != 0) {
        run.failure =
            "The listing could not be written to " + listing + ": " + std::strerror(write_errno);
    } else if (silent) {
        run.failure = "MAME wrote nothing for " + seconds_text(silence_ms) +
                      " while writing its listing and was ended.";
    } else if (!stopped_early && !result.ok() && run.bytes > 0 && status != 0) {
        // A listing cut short by MAME's failure is no XML error of the listing's own.
        run.failure = "MAME failed while writing its listing (exit status " +
                      std::to_string(status) + ")" + (last_error.empty() ? "" : ": " + last_error);
    }
    return result;
}

} // namespace

Status parse_listing_file(const std::string& path, MachineList& machines, Host* host, RomData* roms,
                          std::size_t* left_out) {
    std::FILE* f = open_file(path, "rb");
    if (!f)
        return system_failure("The listing could not be read: " + path, errno,
                              FailureKind::Missing);
    int read_errno = 0;
    Status result =
        run_walk(machines, roms, host, left_out, [&](char* buffer, int capacity) -> long {
            const size_t n = std::fread(buffer, 1, static_cast<size_t>(capacity), f);
            if (n < static_cast<size_t>(capacity) && std::ferror(f)) {
                read_errno = errno != 0 ? errno : EIO;
                return -1;
            }
            return static_cast<long>(n);
        });
    std::fclose(f);
    if (read_errno != 0)
        return system_failure("The listing could not be read: " + path, read_errno);
    return result;
}

Status parse_listing_text(std::string_view xml, MachineList& machines, RomData* roms,
                          std::size_t* left_out) {
    size_t pos = 0;
    return run_walk(machines, roms, nullptr, left_out, [&](char* buffer, int capacity) -> long {
        const size_t n = std::min(static_cast<size_t>(capacity), xml.size() - pos);
        std::memcpy(buffer, xml.data() + pos, n);
        pos += n;
        return static_cast<long>(n);
    });
}

void sort_by_description(MachineList& machines) {
    // Case-folded keys compared byte by byte order exactly as icompare does, once per record
    // instead of once per comparison.
    std::vector<std::string> keys(machines.size());
    for (size_t i = 0; i < machines.size(); ++i)
        keys[i] = fold_case(machines[i].description);
    std::vector<size_t> order(machines.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return keys[a] < keys[b]; });
    // Records move into place along the cycles of the permutation, without a second list.
    for (size_t start = 0; start < order.size(); ++start) {
        if (order[start] == start) continue;
        Machine held = std::move(machines[start]);
        size_t at = start;
        while (order[at] != start) {
            const size_t from = order[at];
            machines[at] = std::move(machines[from]);
            order[at] = at;
            at = from;
        }
        machines[at] = std::move(held);
        order[at] = at;
    }
    machines.bump_generation();
}

void carry_user_data(const MachineList& old_machines, MachineList& machines) {
    std::unordered_map<std::string_view, size_t> by_name;
    by_name.reserve(old_machines.size());
    for (size_t i = 0; i < old_machines.size(); ++i)
        by_name.emplace(old_machines[i].name, i);
    for (Machine& m : machines) {
        const auto it = by_name.find(m.name);
        if (it == by_name.end()) continue;
        const Machine& old = old_machines[it->second];
        m.isfavourite = old.isfavourite;
        if (old.commandlines.empty()) continue;
        m.commandlines = old.commandlines;
        const auto bios_count = static_cast<std::int64_t>(m.bios_sets.size());
        for (CommandLine& c : m.commandlines)
            if (c.commandline_bios < -1 || c.commandline_bios >= bios_count)
                c.commandline_bios = -1;
    }
}

std::string left_out_text(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " machine was" : " machines were") +
           " left out of the database: " + (count == 1 ? "its name is" : "their names are") +
           " not plain MAME short names (blanks, path separators, control characters, \"..\" or "
           "a leading \"-\" or \".\").";
}

std::vector<std::string> build_banner(const Settings& settings) {
    const std::string blank = "║                             ║";
    return {
        "",    "╔═════════════════════════════╗",
        blank, "║" + centred(settings.product_name, 29) + "║",
        blank, "║         " + settings.version_text + "        ║",
        blank, "║  Found Mame Version " + settings.MAME_Version + "   ║",
        blank, "║  Generating Mame XML File.  ║",
        blank, "║       Please Wait...        ║",
        blank, "║ This May Take A Few Minutes ║",
        blank, "╚═════════════════════════════╝",
    };
}

Status build_database(const Settings& settings, const MamePaths& paths, MachineList& machines,
                      ViewList& view, bool& database_changed, Host& host,
                      const BuildOptions& options) {
    const std::string listing = join_path(settings.MAME_Path, listing_file_name);
    // A listing left by a build that was interrupted is not complete: MAME is asked again.
    const bool reuse =
        !options.regenerate && (file_size(database_path(settings)) > 0 ||
                                (file_size(listing) > 0 && listing_is_complete(listing)));
    // The list is built apart, as the host's jobs (on a worker thread in the desktop), and
    // takes the place of the machine list whole once it is sorted; questions come in between.
    // Until then the lists stay as they were, so a build that fails or is cancelled takes
    // nothing away.
    MachineList built;
    RomData roms;
    Status parse;
    std::size_t left_out = 0;
    if (!reuse) {
        host.console_open("Starting Orvel...");
        for (const std::string& line : build_banner(settings))
            host.console_line(line);
        host.set_progress("Loading XML Data...");
        ListingRun run;
        const std::uint64_t expected = options.carry_from ? options.carry_from->size() : 0;
        host.run_job([&](Host& progress) {
            parse = generate_and_parse(settings, listing, built, roms, progress,
                                       options.listing_silence_ms, expected, run, left_out);
        });
        host.console_close();
        if (run.cancelled) {
            // Part of a listing is no listing: the next build asks MAME again.
            delete_file(listing);
            host.set_progress("Listing cancelled");
            return failure("The listing was cancelled.", FailureKind::Cancelled);
        }
        if (!run.failure.empty()) {
            delete_file(listing);
            host.message("Error", run.failure, Buttons::Ok, Icon::Error);
            return failure(run.failure);
        }
        if (!run.started || run.bytes == 0) {
            // MAME could not be run or wrote nothing: no database, and the next start asks
            // again.
            delete_file(listing);
            return failure(run.started ? "MAME wrote no listing" : "MAME could not be started",
                           FailureKind::Missing);
        }
    } else {
        host.set_progress("Loading XML Data...");
        host.run_job([&](Host& progress) {
            parse = parse_listing_file(listing, built, &progress, &roms, &left_out);
        });
    }
    host.keep_alive();
    if (parse.is(FailureKind::Malformed)) {
        host.message("Error", parse.message(), Buttons::Ok, Icon::Error);
        // A broken listing is not reused: the next start asks MAME for a new one.
        delete_file(listing);
        return parse;
    }
    if (!parse.ok()) {
        // A listing that could not be read to its end is no database; the user hears why.
        if (!parse.is(FailureKind::Missing))
            host.message("Error", parse.message(), Buttons::Ok, Icon::Error);
        return parse;
    }
    delete_file(listing);
    if (left_out > 0) host.message("Listing", left_out_text(left_out), Buttons::Ok, Icon::Warning);

    host.set_progress("Checking ROM Availability...");
    check_availability(built, paths.rompath, settings.MAME_Path, host);

    host.run_job([&](Host& progress) {
        progress.set_progress("Sorting Database...");
        progress.keep_alive();
        sort_by_description(built);
        progress.set_progress("Saving Quickload File...");
        for (Machine& m : built)
            m.commandlines.push_back(default_commandline());
        if (options.carry_from) carry_user_data(*options.carry_from, built);
    });
    machines = std::move(built);
    reset_view_list(machines, view);
    // An empty list is not saved: the next start would load it and stop again.
    if (machines.empty()) return {};
    // The list in memory is newer than any file until the save succeeds.
    database_changed = true;
    const Status saved = save_database(machines, settings, database_changed, host);
    if (!saved) return failure(std::string(saved.message()), FailureKind::NotSaved);
    // The ROM data goes with the database it was read with; the audit results of the old
    // database no longer hold.
    const Status rom_file = save_rom_data(roms, rom_data_path(settings.ORVEL_Data));
    if (!rom_file) return failure(std::string(rom_file.message()), FailureKind::NotSaved);
    return {};
}

} // namespace orvel
