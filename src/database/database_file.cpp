#include "database/database_file.h"

#include "platform/files.h"
#include "platform/folder_lock.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
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

std::string_view yes_or_empty(bool flag) {
    return flag ? "yes" : "";
}

// What a key line does to the record being read.
enum class Key {
    Unknown,
    Field,    // one of the plain text fields
    YesFlag,  // a flag the file writes as "yes" or nothing
    Runnable, // the one flag the file writes as "no" or nothing
    CommandlineName,
    CommandlineString,
    CommandlineBios,
    FeatureType,
    FeatureStatus,
    FeatureOverall,
    BiosName,
    BiosDescription,
    Softwarelist,
    DiskName
};

// Classifies a key by its exact text; for a plain field, field is set to it, for a yes flag,
// flag. A switch on the length keeps this to one or two comparisons per line.
Key classify(std::string_view key, Machine& m, std::string*& field, bool*& flag) {
    auto is = [&](std::string_view k) { return key == k; };
    switch (key.size()) {
    case 4:
        if (is("year")) return field = &m.year, Key::Field;
        break;
    case 5:
        if (is("romof")) return field = &m.romof, Key::Field;
        break;
    case 6:
        if (is("isbios")) return flag = &m.isbios, Key::YesFlag;
        break;
    case 7:
        if (is("cloneof")) return field = &m.cloneof, Key::Field;
        break;
    case 8:
        if (is("sampleof")) return field = &m.sampleof, Key::Field;
        if (is("isdevice")) return flag = &m.isdevice, Key::YesFlag;
        if (is("runnable")) return Key::Runnable;
        break;
    case 9:
        if (is("bios_name")) return Key::BiosName;
        if (is("disk_name")) return Key::DiskName;
        break;
    case 10:
        if (is("sourcefile")) return field = &m.sourcefile, Key::Field;
        break;
    case 11:
        if (is("description")) return field = &m.description, Key::Field;
        if (is("system_type")) return field = &m.system_type, Key::Field;
        if (is("isfavourite")) return flag = &m.isfavourite, Key::YesFlag;
        if (is("isavailable")) return flag = &m.isavailable, Key::YesFlag;
        if (is("screen_type")) return field = &m.screen_type, Key::Field;
        break;
    case 12:
        if (is("manufacturer")) return field = &m.manufacturer, Key::Field;
        if (is("ismechanical")) return flag = &m.ismechanical, Key::YesFlag;
        if (is("softwarelist")) return Key::Softwarelist;
        break;
    case 13:
        if (is("requires_roms")) return flag = &m.requires_roms, Key::YesFlag;
        if (is("screen_rotate")) return field = &m.screen_rotate, Key::Field;
        if (is("driver_status")) return field = &m.driver_status, Key::Field;
        break;
    case 16:
        if (is("driver_emulation")) return field = &m.driver_emulation, Key::Field;
        if (is("commandline_name")) return Key::CommandlineName;
        if (is("commandline_bios")) return Key::CommandlineBios;
        if (is("bios_description")) return Key::BiosDescription;
        break;
    case 18:
        if (is("commandline_string")) return Key::CommandlineString;
        break;
    case 19:
        if (is("driver_feature_type")) return Key::FeatureType;
        break;
    case 21:
        if (is("driver_feature_status")) return Key::FeatureStatus;
        break;
    case 22:
        if (is("driver_feature_overall")) return Key::FeatureOverall;
        break;
    default:
        break;
    }
    return Key::Unknown;
}

std::int64_t read_bios_position(std::string_view value) {
    std::int64_t n = -1;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
    if (ec != std::errc()) return -1;
    (void)end;
    return n;
}

void apply_line(Machine& m, std::string_view line) {
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) return;
    std::string_view key = line.substr(0, eq);
    std::string_view value = line.substr(eq + 1);
    // "key = value": one space on each side of "=" belongs to the separator.
    if (!key.empty() && key.back() == ' ') key.remove_suffix(1);
    if (!value.empty() && value.front() == ' ') value.remove_prefix(1);

    std::string* field = nullptr;
    bool* flag = nullptr;
    switch (classify(key, m, field, flag)) {
    case Key::Unknown:
        break;
    case Key::Field:
        field->assign(value);
        break;
    case Key::YesFlag:
        *flag = value == "yes";
        break;
    case Key::Runnable:
        m.runnable = value != "no";
        break;
    case Key::CommandlineName:
        m.commandlines.push_back(CommandLine{std::string(value), "", -1});
        break;
    case Key::CommandlineString:
        if (!m.commandlines.empty()) m.commandlines.back().commandline_string.assign(value);
        break;
    case Key::CommandlineBios:
        if (!m.commandlines.empty())
            m.commandlines.back().commandline_bios = read_bios_position(value);
        break;
    case Key::FeatureType:
        m.driver_features.push_back(DriverFeature{std::string(value), "", ""});
        break;
    case Key::FeatureStatus:
        if (!m.driver_features.empty())
            m.driver_features.back().driver_feature_status.assign(value);
        break;
    case Key::FeatureOverall:
        if (!m.driver_features.empty())
            m.driver_features.back().driver_feature_overall.assign(value);
        break;
    case Key::BiosName:
        m.bios_sets.push_back(BiosSet{std::string(value), ""});
        break;
    case Key::BiosDescription:
        if (!m.bios_sets.empty()) m.bios_sets.back().bios_description.assign(value);
        break;
    case Key::Softwarelist:
        m.softwarelists.emplace_back(value);
        break;
    case Key::DiskName:
        m.disks.emplace_back(value);
        break;
    }
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
    key_line(out, "description", m.description);
    key_line(out, "sourcefile", m.sourcefile);
    key_line(out, "romof", m.romof);
    key_line(out, "cloneof", m.cloneof);
    key_line(out, "year", m.year);
    key_line(out, "manufacturer", m.manufacturer);
    key_line(out, "sampleof", m.sampleof);
    key_line(out, "system_type", m.system_type);
    key_line(out, "requires_roms", yes_or_empty(m.requires_roms));
    key_line(out, "isbios", yes_or_empty(m.isbios));
    key_line(out, "isdevice", yes_or_empty(m.isdevice));
    key_line(out, "ismechanical", yes_or_empty(m.ismechanical));
    key_line(out, "isfavourite", yes_or_empty(m.isfavourite));
    key_line(out, "isavailable", yes_or_empty(m.isavailable));
    key_line(out, "runnable", m.runnable ? "" : "no");
    key_line(out, "screen_type", m.screen_type);
    key_line(out, "screen_rotate", m.screen_rotate);
    key_line(out, "driver_status", m.driver_status);
    key_line(out, "driver_emulation", m.driver_emulation);
    for (const CommandLine& c : m.commandlines) {
        key_line(out, "commandline_name", c.commandline_name);
        key_line(out, "commandline_string", c.commandline_string);
        char num[24];
        const auto [end, ec] = std::to_chars(num, num + sizeof num, c.commandline_bios);
        (void)ec;
        key_line(out, "commandline_bios", std::string_view(num, static_cast<size_t>(end - num)));
    }
    for (const DriverFeature& f : m.driver_features) {
        key_line(out, "driver_feature_type", f.driver_feature_type);
        key_line(out, "driver_feature_status", f.driver_feature_status);
        key_line(out, "driver_feature_overall", f.driver_feature_overall);
    }
    for (const BiosSet& b : m.bios_sets) {
        key_line(out, "bios_name", b.bios_name);
        key_line(out, "bios_description", b.bios_description);
    }
    for (const std::string& s : m.softwarelists)
        key_line(out, "softwarelist", s);
    for (const std::string& d : m.disks)
        key_line(out, "disk_name", d);
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

SaveResult save_database(const MachineList& machines, const Settings& settings,
                         bool& database_changed, Host& host) {
    const std::string path = database_path(settings);
    if (!settings.ORVEL_Data.empty() && !folder_exists(settings.ORVEL_Data))
        create_folders(settings.ORVEL_Data);
    // Another program saving into the same data folder finishes first (an orvel-cli command
    // holds the lock from its load to its save).
    const FolderLock lock(settings.ORVEL_Data.empty() ? std::string(".") : settings.ORVEL_Data);

    if (settings.ORVEL_DB_Backup == 1 && file_size(path) >= 0) {
        host.keep_alive();
        host.set_progress("Backing Up Database");
        // The backup is a byte copy of the file as it was before this save.
        const std::string backup = database_backup_path(settings);
        if (auto old = read_file(path)) write_file_atomic(backup, *old);
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
    SaveResult result;
    errno = 0;
    if (write_file_atomic(path, out)) {
        result.ok = true;
        database_changed = false;
    } else {
        const int err = errno;
        result.message = "The database file could not be written: " + path;
        if (err != 0) {
            result.message += " (";
            result.message += std::strerror(err);
            result.message += ")";
        }
    }
    host.keep_alive();
    host.set_progress("");
    return result;
}

bool load_database(const Settings& settings, MachineList& machines, ViewList& view, Host& host) {
    machines.clear();
    view.clear();
    const std::string path = database_path(settings);
    // A file far larger than any machine database is damaged or not ours: reading it whole
    // would only exhaust memory.
    if (const std::int64_t size = file_size(path); size > max_database_bytes) {
        host.message("Oops",
                     "The database file is too large to be read (" + std::to_string(size >> 20) +
                         " MB; the limit is " + std::to_string(max_database_bytes >> 20) +
                         " MB): " + path,
                     Buttons::Ok, Icon::Error);
        return false;
    }
    // Read in blocks: the file's bytes are never held beside all of its records.
    RecordReader reader(machines, &host,
                        static_cast<std::size_t>(std::max<std::int64_t>(0, file_size(path))));
    if (!read_file_blocks(path, 1 << 20, [&](std::string_view block) { reader.feed(block); })) {
        machines.clear();
        host.message("Oops", "Error", Buttons::Ok);
        return false;
    }
    reader.finish();
    reset_view_list(machines, view);
    return true;
}

} // namespace orvel
