#include "settings/preferences.h"

#include "platform/files.h"
#include "platform/text.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace orvel {

namespace {

enum class Kind { Text, Integer, Flag };

struct Field {
    const char* group;
    const char* key;
    Kind kind;
    std::string Settings::*text = nullptr;
    std::int64_t Settings::*integer = nullptr;
    std::uint8_t Settings::*flag = nullptr;
};

Field text_field(const char* group, const char* key, std::string Settings::*member) {
    return {group, key, Kind::Text, member, nullptr, nullptr};
}
Field integer_field(const char* group, const char* key, std::int64_t Settings::*member) {
    return {group, key, Kind::Integer, nullptr, member, nullptr};
}
Field flag_field(const char* group, const char* key, std::uint8_t Settings::*member) {
    return {group, key, Kind::Flag, nullptr, nullptr, member};
}

// The saved keys, in file order.
const std::vector<Field>& fields() {
    static const std::vector<Field> list = {
        text_field("MAME Info", "MAME_Exe", &Settings::MAME_Exe),
        text_field("MAME Info", "MAME_Path", &Settings::MAME_Path),
        text_field("MAME Info", "MAME_Size", &Settings::MAME_Size),
        text_field("MAME Info", "MAME_Date", &Settings::MAME_Date),
        text_field("MAME Info", "MAME_Version", &Settings::MAME_Version),
        text_field("ORVEL Folders", "ORVEL_Data", &Settings::ORVEL_Data),
        text_field("ORVEL Font", "ORVEL_Font_Name", &Settings::ORVEL_Font_Name),
        integer_field("ORVEL Font", "ORVEL_Font_Size", &Settings::ORVEL_Font_Size),
        integer_field("ORVEL Font", "ORVEL_Font_Style", &Settings::ORVEL_Font_Style),
        integer_field("ORVEL Font", "ORVEL_Font_Colour", &Settings::ORVEL_Font_Colour),
        integer_field("ORVEL Font", "ORVEL_Back_Colour", &Settings::ORVEL_Back_Colour),
        flag_field("ORVEL Options", "ORVEL_DB_Backup", &Settings::ORVEL_DB_Backup),
        flag_field("ORVEL Options", "ORVEL_Check_Avail", &Settings::ORVEL_Check_Avail),
        integer_field("ORVEL Options", "ORVEL_Sort_Type", &Settings::ORVEL_Sort_Type),
        flag_field("ORVEL Window", "ORVEL_Win_Max", &Settings::ORVEL_Win_Max),
        flag_field("ORVEL Window", "ORVEL_Show_Pictures", &Settings::ORVEL_Show_Pictures),
        integer_field("ORVEL Window", "ORVEL_Picture_Kind", &Settings::ORVEL_Picture_Kind),
        integer_field("ORVEL Window", "ORVEL_Picture_Width", &Settings::ORVEL_Picture_Width),
    };
    return list;
}

bool is_control(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

std::string value_text(const Settings& settings, const Field& field) {
    switch (field.kind) {
    case Kind::Text:
        return settings.*field.text;
    case Kind::Integer:
        return std::to_string(settings.*field.integer);
    case Kind::Flag:
        return std::to_string(static_cast<int>(settings.*field.flag));
    }
    return {};
}

// A key line's value (leading blanks already skipped) into its field, by the file's rules.
void read_value(Settings& settings, const Field& f, std::string_view value) {
    switch (f.kind) {
    case Kind::Text: {
        // A value is one line of plain text: control characters (which the writer would leave
        // out) are dropped here already, so that what is read is written back the same.
        std::string text(value);
        std::erase_if(text, [](char c) { return is_control(static_cast<unsigned char>(c)); });
        settings.*f.text = std::string(trim(text, " \t"));
        break;
    }
    case Kind::Integer:
        settings.*f.integer = leading_number(value);
        break;
    case Kind::Flag:
        settings.*f.flag = static_cast<std::uint8_t>(
            static_cast<unsigned long long>(leading_number(value)) & 0xFFu);
        break;
    }
}

struct KeyLine {
    std::string group;
    std::string_view key;
    std::string_view value;
};

} // namespace

std::vector<PreferenceEntry> preference_entries(const Settings& settings) {
    std::vector<PreferenceEntry> out;
    for (const Field& f : fields())
        out.push_back({f.group, f.key, value_text(settings, f)});
    return out;
}

std::string format_preferences(const Settings& settings) {
    std::string out = "\xEF\xBB\xBF\r\n";
    auto line = [&out](std::string_view text) {
        out += text;
        out += "\r\n";
    };
    line("; " + settings.product_name + " Configuration File");
    line("; " + settings.product_name + " " + settings.version_text);
    line("; ");
    // Keys this version does not know go back into their groups, groups it does not know
    // follow in the order they were read.
    std::vector<std::string> other_groups;
    std::unordered_map<std::string, std::vector<const Settings::OtherKey*>> other_keys;
    for (const Settings::OtherKey& k : settings.other_keys) {
        auto& keys = other_keys[k.group];
        if (keys.empty()) other_groups.push_back(k.group);
        keys.push_back(&k);
    }
    const auto other_keys_of = [&](const std::string& of) {
        const auto found = other_keys.find(of);
        if (found == other_keys.end()) return;
        for (const Settings::OtherKey* k : found->second)
            line(k->key + " = " + k->value);
        other_keys.erase(found);
    };
    std::string group;
    for (const Field& f : fields()) {
        if (group != f.group) {
            if (!group.empty()) {
                other_keys_of(group);
                line("; ");
            }
            group = f.group;
            line("[" + group + "]");
        }
        std::string value = value_text(settings, f);
        std::erase_if(value, [](char c) { return is_control(static_cast<unsigned char>(c)); });
        line(std::string(f.key) + " = " + value);
    }
    other_keys_of(group);
    for (const std::string& g : other_groups) {
        if (!other_keys.count(g)) continue;
        line("; ");
        line("[" + g + "]");
        other_keys_of(g);
    }
    line("; ");
    line("; End of file");
    return out;
}

bool is_storable_preference_value(std::string_view value) {
    return std::none_of(value.begin(), value.end(),
                        [](char c) { return is_control(static_cast<unsigned char>(c)); });
}

Status save_preferences(const Settings& settings, const std::string& path) {
    for (const Field& f : fields())
        if (f.kind == Kind::Text && !is_storable_preference_value(settings.*f.text))
            return failure("The preferences file was not written: the value of " +
                               std::string(f.key) +
                               " holds a line break or another control character: " + path,
                           FailureKind::Refused);
    errno = 0;
    if (write_file_atomic(path, format_preferences(settings), LinkPolicy::Follow)) return {};
    return system_failure("The preferences file could not be written: " + path, errno);
}

void parse_preferences(Settings& settings, std::string_view bytes) {
    // Without a byte order mark the file is ISO 8859-1.
    const std::string text = decode_text(bytes, TextFallback::Latin1);
    std::vector<KeyLine> lines;
    std::string group;
    for (std::string_view line : split_lines(text)) {
        line = trim_left(line, " \t");
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            const size_t close = line.find(']');
            group = std::string(line.substr(
                1, close == std::string_view::npos ? std::string_view::npos : close - 1));
            continue;
        }
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue; // not a key line
        lines.push_back(
            {group, trim_right(line.substr(0, eq), " \t"), trim_left(line.substr(eq + 1), " \t")});
    }
    auto lookup = [&lines](std::string_view group_name,
                           std::string_view key) -> std::optional<std::string_view> {
        for (const KeyLine& l : lines)
            if (iequals(l.group, group_name) && iequals(l.key, key)) return l.value;
        return std::nullopt;
    };
    for (const Field& f : fields())
        if (const auto value = lookup(f.group, f.key)) read_value(settings, f, *value);
    // Keys of a newer version are kept to be written back (the first of each name, as a
    // lookup reads).
    settings.other_keys.clear();
    std::unordered_set<std::string> seen;
    for (const Field& f : fields())
        seen.insert(fold_case(f.group) + '\n' + fold_case(f.key));
    for (const KeyLine& l : lines) {
        if (l.key.empty() || l.group.empty()) continue;
        if (!seen.insert(fold_case(l.group) + '\n' + fold_case(l.key)).second) continue;
        settings.other_keys.push_back(
            {l.group, std::string(l.key), std::string(trim_right(l.value, " \t"))});
    }
}

void apply_loaded_preferences(Settings& settings, std::string_view bytes) {
    Settings loaded = settings;
    parse_preferences(loaded, bytes);
    for (const Field& f : fields()) {
        switch (f.kind) {
        case Kind::Text:
            // The data folder names where this program's own file lives, and an empty value
            // (a file saved before MAME was chosen) says nothing.
            if (f.text != &Settings::ORVEL_Data && !(loaded.*f.text).empty())
                settings.*f.text = loaded.*f.text;
            break;
        case Kind::Integer:
            settings.*f.integer = loaded.*f.integer;
            break;
        case Kind::Flag:
            settings.*f.flag = loaded.*f.flag;
            break;
        }
    }
}

bool set_preference(Settings& settings, std::string_view key, std::string_view value) {
    for (const Field& f : fields())
        if (iequals(f.key, key)) {
            read_value(settings, f, trim_left(value, " \t"));
            return true;
        }
    return false;
}

Status load_preferences(Settings& settings) {
    const std::string path = preferences_path(settings);
    const Result<std::string> bytes =
        read_file(path, max_preferences_bytes, "The preferences file");
    if (bytes.is(FailureKind::Missing))
        return failure("There is no preferences file: " + path, FailureKind::Missing);
    if (!bytes) return bytes.status();
    parse_preferences(settings, *bytes);
    return {};
}

} // namespace orvel
