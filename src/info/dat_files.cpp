#include "info/dat_files.h"

#include "platform/files.h"
#include "platform/mame_folders.h"
#include "platform/text.h"

#include <array>

namespace orvel {

namespace {

constexpr std::array<std::string_view, dat_kind_count> dat_names = {
    "mameinfo.dat", "history.dat", "messinfo.dat", "sysinfo.dat", "gameinit.dat", "story.dat"};

// Replaces every occurrence of `from` by `to`, left to right.
void replace_all(std::string& text, std::string_view from, std::string_view to) {
    std::string out;
    out.reserve(text.size());
    size_t start = 0;
    for (size_t at; (at = text.find(from, start)) != std::string::npos; start = at + from.size()) {
        out.append(text, start, at - start);
        out.append(to);
    }
    out.append(text, start, std::string::npos);
    text.swap(out);
}

} // namespace

std::string_view dat_file_name(int kind) {
    if (kind < 1 || kind > dat_kind_count) return {};
    return dat_names[static_cast<size_t>(kind - 1)];
}

std::string dat_header(int kind) {
    const std::string_view name = dat_file_name(kind);
    if (name.empty()) return {};
    return "###- " + std::string(name) + " -###";
}

int dat_kind_from_text(std::string_view text) {
    if (text.size() == 1 && text[0] >= '1' && text[0] <= '0' + dat_kind_count) return text[0] - '0';
    for (int kind = 1; kind <= dat_kind_count; ++kind)
        if (iequals(text, dat_file_name(kind))) return kind;
    return 0;
}

std::string dat_lookup_key(const Machine& machine) {
    return machine.cloneof.empty() ? machine.name : machine.cloneof;
}

std::vector<std::string> dat_folders(std::string_view historypath, const std::string& mame_folder) {
    std::vector<std::string> folders = resolve_mame_folder_list(historypath, mame_folder);
    if (folders.empty()) folders.push_back(with_separator(mame_folder));
    return folders;
}

std::string wrap_text(int width, std::string_view text, const TextMeasure& measure) {
    std::string normal(text);
    replace_all(normal, "\n\r", "\n");
    replace_all(normal, "\r\n", "\n");
    replace_all(normal, "\r", "\n");

    const int limit = width - 12;
    std::string result;
    result.reserve(normal.size() + normal.size() / 16);
    std::string line;
    std::string candidate;
    size_t start = 0;
    while (true) {
        const size_t end = normal.find('\n', start);
        const std::string_view source =
            std::string_view(normal).substr(start, end == std::string::npos ? end : end - start);
        if (source.empty()) {
            result += '\n';
        } else {
            // Greedy fill: a line always takes its first word, so a word wider than the limit
            // stands alone and is not broken.
            size_t word_start = 0;
            bool first = true;
            while (true) {
                const size_t blank = source.find(' ', word_start);
                const std::string_view word = source.substr(
                    word_start, blank == std::string_view::npos ? blank : blank - word_start);
                if (first) {
                    line.assign(word);
                    line += ' ';
                    first = false;
                } else {
                    candidate.assign(line);
                    candidate.append(word);
                    if (measure(candidate) < limit) {
                        line.swap(candidate);
                        line += ' ';
                    } else {
                        result.append(trim_right(line, " "));
                        result += '\n';
                        line.assign(word);
                        line += ' ';
                    }
                }
                if (blank == std::string_view::npos) break;
                word_start = blank + 1;
            }
            result.append(trim_right(line, " "));
            result += '\n';
        }
        if (end == std::string::npos) break;
        start = end + 1;
    }
    while (!result.empty() && result.back() == '\n')
        result.pop_back();
    return result;
}

TextMeasure fixed_width_measure(int char_width) {
    return [char_width](std::string_view text) {
        int count = 0;
        for (unsigned char c : text)
            if ((c & 0xC0) != 0x80) // count code points, not bytes
                ++count;
        return count * char_width;
    };
}

std::string read_dat_entries(DatCache& cache, int kind, std::string_view key,
                             const std::vector<std::string>& folders) {
    const std::string_view file = dat_file_name(kind);
    std::string text;
    if (file.empty() || key.empty()) return text;
    for (const std::string& folder : folders) {
        const std::string path = join_path(folder, file);
        if (kind == dat_history_kind && file_size(path) < 0) {
            // Current history data is published as XML; a folder with only that file uses it.
            const std::string xml = join_path(folder, "history.xml");
            if (file_size(xml) >= 0) text += cache.history_xml_entries(xml, key);
            continue;
        }
        text += cache.dat_entries(path, key);
    }
    return text;
}

std::string read_dat_text(DatCache& cache, int kind, const Machine& machine,
                          const std::vector<std::string>& folders, const TextMeasure& measure) {
    const std::string entries = read_dat_entries(cache, kind, dat_lookup_key(machine), folders);
    if (entries.empty()) return {};
    return wrap_text(dat_text_width, entries, measure);
}

DatTexts read_dat_texts(DatCache& cache, const Machine& machine,
                        const std::vector<std::string>& folders, const TextMeasure& measure) {
    DatTexts texts;
    for (int kind = 1; kind <= dat_kind_count; ++kind)
        texts[static_cast<size_t>(kind - 1)] =
            read_dat_text(cache, kind, machine, folders, measure);
    return texts;
}

int dat_kind_to_show(const DatTexts& texts) {
    auto has_text = [&texts](int kind) {
        return texts[static_cast<size_t>(kind - 1)].find_first_not_of('\n') != std::string::npos;
    };
    for (int kind : {1, 3, 2})
        if (has_text(kind)) return kind;
    for (int kind = 1; kind <= dat_kind_count; ++kind)
        if (has_text(kind)) return kind;
    return 0;
}

std::vector<std::string> dat_shown_lines(int kind, std::string_view text) {
    if (dat_file_name(kind).empty()) return {"No Information"};
    std::vector<std::string> lines = {dat_header(kind), ""};
    const size_t first = text.find_first_not_of('\n');
    if (first == std::string_view::npos) return lines;
    for (std::string_view line : split_lines(text.substr(first)))
        lines.emplace_back(line);
    return lines;
}

} // namespace orvel
