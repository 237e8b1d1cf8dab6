#include "database/played.h"

#include "platform/files.h"
#include "platform/folder_lock.h"
#include "platform/text.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <ctime>
#include <vector>

namespace orvel {

namespace {

// Far beyond any real count or time, small enough that adding to them cannot overflow.
constexpr std::int64_t max_number = std::int64_t(1) << 48;

bool read_number(std::string_view text, std::int64_t& out) {
    if (text.empty()) return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
    return error == std::errc() && end == text.data() + text.size() && out >= 0 &&
           out <= max_number;
}

std::string two_digits(int value) {
    return std::string(1, static_cast<char>('0' + value / 10 % 10)) +
           static_cast<char>('0' + value % 10);
}

} // namespace

std::string played_path(const std::string& data_folder) {
    return data_folder + "ORVEL.played";
}

std::string played_text(const PlayedMap& played) {
    std::string out = "; Orvel play record: name, times played, last start, seconds played\r\n";
    for (const auto& [name, record] : played) {
        if (!is_plain_name(name) || record.times <= 0) continue;
        out += name;
        out += '\t' + std::to_string(record.times) + '\t' + std::to_string(record.last_start) +
               '\t' + std::to_string(record.seconds) + "\r\n";
    }
    return out;
}

PlayedMap parse_played(std::string_view text) {
    PlayedMap played;
    for (std::string_view line : split_lines(text)) {
        if (line.empty() || line.front() == ';') continue;
        std::vector<std::string_view> fields;
        std::size_t at = 0;
        while (fields.size() < 5) {
            const std::size_t tab = line.find('\t', at);
            fields.push_back(line.substr(at, tab == std::string_view::npos ? tab : tab - at));
            if (tab == std::string_view::npos) break;
            at = tab + 1;
        }
        PlayRecord record;
        if (fields.size() != 4 || !is_plain_name(fields[0]) ||
            !read_number(fields[1], record.times) || !read_number(fields[2], record.last_start) ||
            !read_number(fields[3], record.seconds) || record.times == 0)
            continue;
        played.insert_or_assign(std::string(fields[0]), record);
    }
    return played;
}

Result<PlayedMap> read_played_file(const std::string& data_folder) {
    // A play record is a line per machine played: a few megabytes at the very most.
    const Result<std::string> bytes =
        read_file(played_path(data_folder), std::uint64_t(64) << 20, "The play record");
    if (bytes) return parse_played(*bytes);
    if (bytes.failure().kind == FailureKind::Missing) return PlayedMap();
    return bytes.failure();
}

PlayedMap read_played(const std::string& data_folder) {
    Result<PlayedMap> played = read_played_file(data_folder);
    return played ? std::move(*played) : PlayedMap();
}

Result<PlayRecord> record_play(const std::string& data_folder, const std::string& name,
                               std::int64_t start_time, std::int64_t seconds) {
    if (!is_plain_name(name)) return failure("not a machine name: " + name, FailureKind::Refused);
    const std::string path = played_path(data_folder);
    errno = 0;
    if (!data_folder.empty() && !folder_exists(data_folder) && !create_folders(data_folder))
        return system_failure("The data folder could not be created: " + data_folder, errno);
    const FolderLock lock(data_folder.empty() ? std::string(".") : data_folder);
    remove_stale_temp_files(path);
    // A record that is there but cannot be read is not replaced by one that would lose it.
    Result<PlayedMap> read = read_played_file(data_folder);
    if (!read) return read.failure();
    PlayedMap played = std::move(*read);
    PlayRecord& record = played[name];
    record.times = std::min(record.times + 1, max_number);
    record.last_start = std::clamp<std::int64_t>(start_time, 0, max_number);
    record.seconds = std::min(record.seconds + std::max<std::int64_t>(seconds, 0), max_number);
    errno = 0;
    if (!write_file_atomic(path, played_text(played), LinkPolicy::Follow))
        return system_failure("The play record could not be written: " + path, errno);
    return record;
}

std::size_t load_played(const std::string& data_folder, MachineList& machines) {
    const PlayedMap played = read_played(data_folder);
    std::size_t named = 0;
    for (Machine& machine : machines) {
        const auto found = played.find(machine.name);
        machine.played = found == played.end() ? PlayRecord{} : found->second;
        if (found != played.end()) ++named;
    }
    return named;
}

std::string last_played_text(const PlayRecord& record) {
    if (record.times <= 0) return "Never";
    const std::time_t when = static_cast<std::time_t>(record.last_start);
    std::tm local{};
#ifdef _WIN32
    if (localtime_s(&local, &when) != 0) return "Never";
#else
    if (!localtime_r(&when, &local)) return "Never";
#endif
    return std::to_string(local.tm_year + 1900) + "-" + two_digits(local.tm_mon + 1) + "-" +
           two_digits(local.tm_mday) + " " + two_digits(local.tm_hour) + ":" +
           two_digits(local.tm_min);
}

std::string play_time_text(const PlayRecord& record) {
    const std::int64_t s = std::max<std::int64_t>(record.seconds, 0);
    return std::to_string(s / 3600) + ":" + two_digits(static_cast<int>(s / 60 % 60)) + ":" +
           two_digits(static_cast<int>(s % 60));
}

} // namespace orvel
