#include "database/database_file.h"

#include "platform/files.h"
#include "platform/folder_lock.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <optional>

namespace orvel {

namespace {

constexpr std::string_view crlf = "\r\n";

// Appends a value on one line: a line break inside it (a description can hold one) would end
// the record at the next load, so CR and LF are written as blanks.
void append_one_line(std::string& out, std::string_view value) {
    if (value.find_first_of("\r\n") == std::string_view::npos) {
        out += value;
        return;
    }
    for (const char c : value)
        out += (c == '\r' || c == '\n') ? ' ' : c;
}

void key_line(std::string& out, std::string_view key, std::string_view value) {
    out += key;
    out += " = ";
    append_one_line(out, value);
    out += crlf;
}

// The key lines of a record section come from one table, so that writing and reading name the
// same keys in the same order. Each key either holds one field of the record (written once per
// record) or one field of the elements of a nested list (written once per element, the list's
// keys in a row, its first key starting a new element when read).
enum class Group : std::uint8_t { Record, Commandline, Feature, Bios, Softwarelist, Disk };

using NumberText = char[24];

struct RecordKey {
    std::string_view key;
    Group group;
    void (*read)(Machine& machine, std::string_view value);
    // The value written for the record, or for element `element` of the key's list.
    std::string_view (*value)(const Machine& machine, std::size_t element, NumberText& number);
};

template <std::string Machine::*field> void read_text(Machine& m, std::string_view value) {
    (m.*field).assign(value);
}
template <std::string Machine::*field>
std::string_view text_value(const Machine& m, std::size_t, NumberText&) {
    return m.*field;
}
template <std::string Machine::*field> constexpr RecordKey text_key(std::string_view key) {
    return {key, Group::Record, &read_text<field>, &text_value<field>};
}

// A flag the file writes only when it has the value `when`: as "yes" for true, "no" for false,
// and as nothing otherwise. Most flags are "yes" or nothing; runnable, true for nearly every
// machine, is "no" or nothing.
template <bool Machine::*flag, bool when> void read_flag(Machine& m, std::string_view value) {
    m.*flag = when == (value == (when ? "yes" : "no"));
}
template <bool Machine::*flag, bool when>
std::string_view flag_value(const Machine& m, std::size_t, NumberText&) {
    if (m.*flag != when) return {};
    return when ? "yes" : "no";
}
template <bool Machine::*flag> constexpr RecordKey yes_key(std::string_view key) {
    return {key, Group::Record, &read_flag<flag, true>, &flag_value<flag, true>};
}
template <bool Machine::*flag> constexpr RecordKey no_key(std::string_view key) {
    return {key, Group::Record, &read_flag<flag, false>, &flag_value<flag, false>};
}

// A text field of a list's elements: the first key of the list adds an element, the others
// fill the last one (and are passed over before any).
template <auto list, auto field> void read_first(Machine& m, std::string_view value) {
    ((m.*list).emplace_back().*field).assign(value);
}
template <auto list, auto field> void read_next(Machine& m, std::string_view value) {
    if (!(m.*list).empty()) ((m.*list).back().*field).assign(value);
}
template <auto list, auto field>
std::string_view element_value(const Machine& m, std::size_t element, NumberText&) {
    return (m.*list)[element].*field;
}
template <auto list, auto field> constexpr RecordKey first_key(std::string_view key, Group g) {
    return {key, g, &read_first<list, field>, &element_value<list, field>};
}
template <auto list, auto field> constexpr RecordKey next_key(std::string_view key, Group g) {
    return {key, g, &read_next<list, field>, &element_value<list, field>};
}

// A list of plain names, one key line per name.
template <std::vector<std::string> Machine::*list>
void read_name(Machine& m, std::string_view value) {
    (m.*list).emplace_back(value);
}
template <std::vector<std::string> Machine::*list>
std::string_view name_value(const Machine& m, std::size_t element, NumberText&) {
    return (m.*list)[element];
}

// A stored command line's BIOS set: a position in bios_sets, -1 (or anything unreadable) for
// none.
void read_bios_position(Machine& m, std::string_view value) {
    if (m.commandlines.empty()) return;
    std::int64_t n = -1;
    if (std::from_chars(value.data(), value.data() + value.size(), n).ec != std::errc()) n = -1;
    m.commandlines.back().commandline_bios = n;
}
std::string_view bios_position_value(const Machine& m, std::size_t element, NumberText& number) {
    const auto end =
        std::to_chars(number, number + sizeof number, m.commandlines[element].commandline_bios).ptr;
    return std::string_view(number, static_cast<size_t>(end - number));
}

// Every key line of a record section, in file order.
constexpr RecordKey record_keys[] = {
    text_key<&Machine::description>("description"),
    text_key<&Machine::sourcefile>("sourcefile"),
    text_key<&Machine::romof>("romof"),
    text_key<&Machine::cloneof>("cloneof"),
    text_key<&Machine::year>("year"),
    text_key<&Machine::manufacturer>("manufacturer"),
    text_key<&Machine::sampleof>("sampleof"),
    text_key<&Machine::system_type>("system_type"),
    yes_key<&Machine::requires_roms>("requires_roms"),
    yes_key<&Machine::isbios>("isbios"),
    yes_key<&Machine::isdevice>("isdevice"),
    yes_key<&Machine::ismechanical>("ismechanical"),
    yes_key<&Machine::isfavourite>("isfavourite"),
    yes_key<&Machine::isavailable>("isavailable"),
    no_key<&Machine::runnable>("runnable"),
    text_key<&Machine::screen_type>("screen_type"),
    text_key<&Machine::screen_rotate>("screen_rotate"),
    text_key<&Machine::driver_status>("driver_status"),
    text_key<&Machine::driver_emulation>("driver_emulation"),
    first_key<&Machine::commandlines, &CommandLine::commandline_name>("commandline_name",
                                                                      Group::Commandline),
    next_key<&Machine::commandlines, &CommandLine::commandline_string>("commandline_string",
                                                                       Group::Commandline),
    {"commandline_bios", Group::Commandline, &read_bios_position, &bios_position_value},
    first_key<&Machine::driver_features, &DriverFeature::driver_feature_type>("driver_feature_type",
                                                                              Group::Feature),
    next_key<&Machine::driver_features, &DriverFeature::driver_feature_status>(
        "driver_feature_status", Group::Feature),
    next_key<&Machine::driver_features, &DriverFeature::driver_feature_overall>(
        "driver_feature_overall", Group::Feature),
    first_key<&Machine::bios_sets, &BiosSet::bios_name>("bios_name", Group::Bios),
    next_key<&Machine::bios_sets, &BiosSet::bios_description>("bios_description", Group::Bios),
    {"softwarelist", Group::Softwarelist, &read_name<&Machine::softwarelists>,
     &name_value<&Machine::softwarelists>},
    {"disk_name", Group::Disk, &read_name<&Machine::disks>, &name_value<&Machine::disks>},
};
constexpr std::size_t record_key_count = std::size(record_keys);

// How many times a group's key lines are written for a record.
std::size_t group_size(const Machine& m, Group group) {
    switch (group) {
    case Group::Record:
        return 1;
    case Group::Commandline:
        return m.commandlines.size();
    case Group::Feature:
        return m.driver_features.size();
    case Group::Bios:
        return m.bios_sets.size();
    case Group::Softwarelist:
        return m.softwarelists.size();
    case Group::Disk:
        return m.disks.size();
    }
    return 0;
}

// The table's keys by length, so that a key line is matched with one or two comparisons.
constexpr std::size_t longest_key = 24;
struct KeysByLength {
    std::uint8_t first[longest_key + 1] = {};
    std::uint8_t count[longest_key + 1] = {};
    std::uint8_t order[record_key_count] = {};

    constexpr KeysByLength() {
        std::size_t placed = 0;
        for (std::size_t length = 0; length <= longest_key; ++length) {
            first[length] = static_cast<std::uint8_t>(placed);
            for (std::size_t k = 0; k < record_key_count; ++k) {
                if (record_keys[k].key.size() != length) continue;
                order[placed++] = static_cast<std::uint8_t>(k);
                ++count[length];
            }
        }
    }
};
constexpr KeysByLength keys_by_length;
static_assert([] {
    std::size_t placed = 0;
    for (const std::uint8_t c : keys_by_length.count)
        placed += c;
    return placed == record_key_count; // no key longer than longest_key
}());

const RecordKey* find_key(std::string_view key) {
    if (key.size() > longest_key) return nullptr;
    const std::size_t first = keys_by_length.first[key.size()];
    for (std::size_t i = first; i < first + keys_by_length.count[key.size()]; ++i) {
        const RecordKey& candidate = record_keys[keys_by_length.order[i]];
        if (candidate.key == key) return &candidate;
    }
    return nullptr;
}

void apply_line(Machine& m, std::string_view line) {
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) return;
    std::string_view key = line.substr(0, eq);
    std::string_view value = line.substr(eq + 1);
    // "key = value": one space on each side of "=" belongs to the separator.
    if (!key.empty() && key.back() == ' ') key.remove_suffix(1);
    if (!value.empty() && value.front() == ' ') value.remove_prefix(1);
    if (const RecordKey* k = find_key(key)) k->read(m, value); // unknown keys are passed over
}

// Splits off the next line (LF or CR LF); false at the end of the bytes.
bool next_line(std::string_view bytes, size_t& pos, std::string_view& line) {
    if (pos >= bytes.size()) return false;
    const char* start = bytes.data() + pos;
    const void* nl = std::memchr(start, '\n', bytes.size() - pos);
    size_t len =
        nl ? static_cast<size_t>(static_cast<const char*>(nl) - start) : bytes.size() - pos;
    pos += len + (nl ? 1 : 0);
    if (len > 0 && start[len - 1] == '\r') --len;
    line = std::string_view(start, len);
    return true;
}

constexpr std::string_view entries_heading = "; Entries: ";

// Reads the lines of a database file, handed over in pieces of any size, into records
// appended to the machine list.
class RecordReader {
  public:
    // file_size bounds what the heading's entry count may reserve.
    RecordReader(MachineList& machines, Host* keep_alive, std::size_t file_size)
        : machines_(machines), keep_alive_(keep_alive), file_size_(file_size) {}

    void feed(std::string_view bytes) {
        while (!bytes.empty()) {
            const void* nl = std::memchr(bytes.data(), '\n', bytes.size());
            if (!nl) {
                partial_.append(bytes);
                return;
            }
            const auto len = static_cast<size_t>(static_cast<const char*>(nl) - bytes.data());
            if (partial_.empty()) {
                line(without_cr(bytes.substr(0, len)));
            } else {
                partial_.append(bytes.substr(0, len));
                line(without_cr(partial_));
                partial_.clear();
            }
            bytes.remove_prefix(len + 1);
        }
    }
    // The last line may lack its line end.
    void finish() {
        if (!partial_.empty()) line(without_cr(partial_));
        partial_.clear();
        machines_.bump_generation();
    }

  private:
    static std::string_view without_cr(std::string_view line) {
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        return line;
    }

    void line(std::string_view line) {
        if (!line.empty() && line.front() == '[') {
            // "[name]": the name is the line without its first and last character. A header
            // line also starts a new record inside a damaged section that lost its empty line.
            const std::string_view name =
                line.size() >= 2 ? line.substr(1, line.size() - 2) : std::string_view();
            if (name.empty()) {
                current_ = nullptr;
                return;
            }
            machines_.emplace_back();
            current_ = &machines_.back();
            current_->name.assign(name);
            if (keep_alive_ && (++records_ & 1023) == 0) keep_alive_->keep_alive();
            return;
        }
        if (line.empty()) {
            current_ = nullptr;
            return;
        }
        // Lines outside a record (the heading, stray text) and lines of a nameless record are
        // passed over; the heading's entry count sizes the list once, so that records are not
        // moved while it grows. A section takes far more than 64 bytes, which bounds a damaged
        // count.
        if (current_) {
            apply_line(*current_, line);
        } else if (records_ == 0 && line.substr(0, entries_heading.size()) == entries_heading) {
            std::size_t entries = 0;
            const std::string_view count = line.substr(entries_heading.size());
            std::from_chars(count.data(), count.data() + count.size(), entries);
            machines_.reserve(machines_.size() + std::min(entries, file_size_ / 64));
        }
    }

    MachineList& machines_;
    Host* keep_alive_;
    std::size_t file_size_;
    Machine* current_ = nullptr; // the record being read; null outside a record or in one
                                 // without a name
    std::size_t records_ = 0;
    std::string partial_; // a line split between two pieces
};

} // namespace

void append_database_heading(std::string& out, const Settings& settings, std::size_t entries) {
    out += "; ";
    out += settings.product_name;
    out += ' ';
    out += settings.version_text;
    out += crlf;
    out += "; Game Database File\r\n";
    out += ";\r\n";
    out += "; Mame v";
    out += settings.MAME_Version;
    out += crlf;
    out += "; Entries: ";
    out += std::to_string(entries);
    out += crlf;
}

void append_record_section(std::string& out, const Machine& m) {
    out += crlf;
    out += '[';
    append_one_line(out, m.name);
    out += ']';
    out += crlf;
    NumberText number;
    for (std::size_t k = 0; k < record_key_count;) {
        // The keys of one group lie in a row; they are written once per element.
        const Group group = record_keys[k].group;
        std::size_t end = k;
        while (end < record_key_count && record_keys[end].group == group)
            ++end;
        const std::size_t elements = group_size(m, group);
        for (std::size_t e = 0; e < elements; ++e)
            for (std::size_t j = k; j < end; ++j)
                key_line(out, record_keys[j].key, record_keys[j].value(m, e, number));
        k = end;
    }
    out += crlf;
}

void parse_database(std::string_view bytes, MachineList& machines, Host* keep_alive) {
    RecordReader reader(machines, keep_alive, bytes.size());
    reader.feed(bytes);
    reader.finish();
}

std::string_view find_record_section(std::string_view bytes, std::string_view name) {
    size_t pos = 0;
    std::string_view line;
    while (next_line(bytes, pos, line)) {
        if (line.size() != name.size() + 2 || line.front() != '[' || line.back() != ']' ||
            line.substr(1, name.size()) != name)
            continue;
        const size_t start = static_cast<size_t>(line.data() - bytes.data());
        size_t end = pos; // just after the header's line end
        std::string_view next;
        size_t after = pos;
        while (next_line(bytes, after, next)) {
            if (next.empty() || next.front() == '[') break;
            end = after;
        }
        return bytes.substr(start, end - start);
    }
    return {};
}

void remove_stale_data_files(const Settings& settings) {
    for (const std::string& path :
         {database_path(settings), database_backup_path(settings), preferences_path(settings)})
        remove_stale_temp_files(path);
}

Status save_database(const MachineList& machines, const Settings& settings, bool& database_changed,
                     Host& host) {
    const std::string path = database_path(settings);
    if (!settings.ORVEL_Data.empty() && !folder_exists(settings.ORVEL_Data)) {
        errno = 0;
        if (!create_folders(settings.ORVEL_Data))
            return system_failure("The data folder could not be created: " + settings.ORVEL_Data,
                                  errno);
    }
    // Another program saving into the same data folder finishes first (an orvel-cli command
    // holds the lock from its load to its save).
    const FolderLock lock(settings.ORVEL_Data.empty() ? std::string(".") : settings.ORVEL_Data);
    remove_stale_data_files(settings);

    if (settings.ORVEL_DB_Backup == 1 && file_size(path) >= 0) {
        host.keep_alive();
        host.set_progress("Backing Up Database");
        // The backup is a byte copy of the file as it was before this save. The user asked for
        // one before every save: without it the old file is not replaced.
        const std::string backup = database_backup_path(settings);
        errno = 0;
        const Result<std::string> old =
            read_file(path, static_cast<std::uint64_t>(max_database_bytes), "The database file");
        if (!old) {
            host.set_progress("");
            return old.status();
        }
        if (!write_file_atomic(backup, *old, LinkPolicy::Follow)) {
            const int err = errno;
            host.set_progress("");
            return system_failure("The database backup could not be written: " + backup, err);
        }
        host.keep_alive();
        host.set_progress("");
    }

    host.keep_alive();
    host.set_progress("Saving Database...");
    std::string out;
    out.reserve(machines.size() * 760 + 256);
    append_database_heading(out, settings, machines.size());
    for (size_t i = 0; i < machines.size(); ++i) {
        append_record_section(out, machines[i]);
        if ((i & 4095) == 4095) host.keep_alive();
    }
    errno = 0;
    Status result;
    if (write_file_atomic(path, out, LinkPolicy::Follow))
        database_changed = false;
    else
        result = system_failure("The database file could not be written: " + path, errno);
    host.keep_alive();
    host.set_progress("");
    return result;
}

Status load_database(const Settings& settings, MachineList& machines, ViewList& view, Host& host) {
    machines.clear();
    view.clear();
    const std::string path = database_path(settings);
    // A file far larger than any machine database is damaged or not ours: reading it whole
    // would only exhaust memory.
    const auto too_large = [&] {
        machines.clear();
        Failure refused = failure(too_large_text("The database file", path,
                                                 static_cast<std::uint64_t>(max_database_bytes)),
                                  FailureKind::Malformed);
        host.message("Oops", refused.message, Buttons::Ok, Icon::Error);
        return refused;
    };
    if (file_size(path) > max_database_bytes) return too_large();
    // Read in blocks: the file's bytes are never held beside all of its records.
    RecordReader reader(machines, &host,
                        static_cast<std::size_t>(std::max<std::int64_t>(0, file_size(path))));
    errno = 0;
    // The limit holds for a file whose size was not told too (a link to a device).
    if (!read_file_blocks(
            path, 1 << 20, [&](std::string_view block) { reader.feed(block); },
            static_cast<std::uint64_t>(max_database_bytes))) {
        const int err = errno;
        if (err == EFBIG) return too_large();
        machines.clear();
        Failure unread = system_failure("The database file could not be read: " + path, err,
                                        err == ENOENT ? FailureKind::Missing : FailureKind::Error);
        host.message("Oops", unread.message, Buttons::Ok, Icon::Error);
        return unread;
    }
    reader.finish();
    reset_view_list(machines, view);
    return {};
}

} // namespace orvel
