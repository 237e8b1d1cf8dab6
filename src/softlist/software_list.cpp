#include "softlist/software_list.h"

#include "platform/files.h"
#include "platform/mame_folders.h"
#include "platform/text.h"
#include "xml/xml_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unordered_map>

namespace orvel {

std::string_view availability_word(SoftwareAvailability availability) {
    switch (availability) {
    case SoftwareAvailability::Available:
        return "yes";
    case SoftwareAvailability::Missing:
        return "no";
    case SoftwareAvailability::Unscanned:
        break;
    }
    return "";
}

const std::string& SoftwareItem::media_switch() const {
    static const std::string none;
    return parts.empty() ? none : parts.front();
}

void SoftwareItemList::clear() {
    list_name.clear();
    items.clear();
    current = -1;
}

const SoftwareItem* SoftwareItemList::current_item() const {
    if (current < 0 || current >= static_cast<std::int64_t>(items.size())) return nullptr;
    return &items[static_cast<std::size_t>(current)];
}

std::string media_switch_for_part(std::string_view part_name) {
    std::string out(part_name);
    if (out.empty() || out.back() < '0' || out.back() > '9') out.push_back('1');
    return out;
}

namespace {

// The stream reader's state. Only the elements of a named `software` element feed an item: a
// `software` without a name creates none, and what it holds is skipped instead of being
// written into the item before it. A `software` opened inside another one is malformed
// nesting: it and everything in it are skipped, so the items never grow while one is being
// filled in.
struct Reader {
    Reader(std::vector<SoftwareItem>& items_, const std::string& list_name_)
        : items(items_), list_name(list_name_) {}
    std::vector<SoftwareItem>& items;
    const std::string& list_name;
    XML_Parser parser = nullptr;
    std::int64_t current = -1; // index in items while inside a named software element
    int depth = 0;
    int software_depth = -1; // depth of the open software element (named or not)
    int skip_depth = -1;     // depth of a nested software element being skipped
    // The field of the current item that collects text; held as a member, not a pointer, so
    // that it can never point into storage the item list has given up.
    std::string SoftwareItem::*capture = nullptr;
    int capture_depth = -1;
    std::string text;
};

const char* attribute(const XML_Char** attrs, const char* key) {
    for (const XML_Char** a = attrs; *a; a += 2)
        if (std::strcmp(a[0], key) == 0) return a[1];
    return nullptr;
}

void XMLCALL on_text(void* data, const XML_Char* s, int len) {
    auto* r = static_cast<Reader*>(data);
    if (r->skip_depth < 0) r->text.append(s, static_cast<std::size_t>(len));
}

void XMLCALL on_start(void* data, const XML_Char* el, const XML_Char** attrs) {
    auto* r = static_cast<Reader*>(data);
    ++r->depth;
    if (r->skip_depth >= 0) return;
    if (std::strcmp(el, "software") == 0) {
        if (r->software_depth >= 0) {
            r->skip_depth = r->depth;
            return;
        }
        r->software_depth = r->depth;
        r->current = -1;
        if (const char* name = attribute(attrs, "name")) {
            SoftwareItem item;
            item.name = name;
            item.list_name = r->list_name;
            r->items.push_back(std::move(item));
            r->current = static_cast<std::int64_t>(r->items.size()) - 1;
        }
        return;
    }
    if (r->current < 0) return;
    SoftwareItem& item = r->items[static_cast<std::size_t>(r->current)];
    if (std::strcmp(el, "part") == 0) {
        if (const char* name = attribute(attrs, "name"))
            item.parts.push_back(media_switch_for_part(name));
    } else if (std::strcmp(el, "disk") == 0) {
        if (const char* name = attribute(attrs, "name")) item.disk_names.emplace_back(name);
    } else if (!r->capture) {
        std::string SoftwareItem::*field = nullptr;
        if (std::strcmp(el, "description") == 0)
            field = &SoftwareItem::description;
        else if (std::strcmp(el, "year") == 0)
            field = &SoftwareItem::year;
        else if (std::strcmp(el, "publisher") == 0)
            field = &SoftwareItem::publisher;
        if (field) {
            r->capture = field;
            r->capture_depth = r->depth;
            r->text.clear();
            // Text is collected only inside these three elements, which keeps the common
            // path (whitespace between elements) free of handler calls.
            XML_SetCharacterDataHandler(r->parser, on_text);
        }
    }
}

void XMLCALL on_end(void* data, const XML_Char*) {
    auto* r = static_cast<Reader*>(data);
    if (r->skip_depth >= 0) {
        if (r->depth == r->skip_depth) r->skip_depth = -1;
        --r->depth;
        return;
    }
    if (r->capture && r->depth == r->capture_depth) {
        if (r->current >= 0) r->items[static_cast<std::size_t>(r->current)].*r->capture = r->text;
        r->capture = nullptr;
        r->capture_depth = -1;
        XML_SetCharacterDataHandler(r->parser, nullptr);
    }
    if (r->depth == r->software_depth) {
        r->software_depth = -1;
        r->current = -1;
    }
    --r->depth;
}

XmlParser make_parser(Reader& reader) {
    XmlParser parser = make_xml_parser(&reader, on_start, on_end);
    reader.parser = parser.get();
    return parser;
}

} // namespace

Status parse_software_list(std::string_view xml, const std::string& list_name,
                           std::vector<SoftwareItem>& items) {
    if (xml.empty()) return failure("The software list is empty", FailureKind::Missing);
    Reader reader(items, list_name);
    const XmlParser parser = make_parser(reader);
    if (!parser) return failure("out of memory");
    if (!parse_xml_text(parser.get(), xml, true))
        return failure(xml_error_text(xml_error(parser.get())), FailureKind::Malformed);
    return {};
}

Status parse_software_list_file(const std::string& path, const std::string& list_name,
                                std::vector<SoftwareItem>& items) {
    const auto unreadable = [&](int err, FailureKind kind) {
        return system_failure("The software list could not be read: " + path, err, kind);
    };
    std::FILE* f = open_file(path, "rb");
    if (!f) return unreadable(errno, FailureKind::Missing);
    Reader reader(items, list_name);
    const XmlParser parser = make_parser(reader);
    Status result;
    constexpr int chunk = 1 << 16;
    for (bool first = true; parser; first = false) {
        void* buffer = XML_GetBuffer(parser.get(), chunk);
        if (!buffer) {
            result = failure(xml_error_text(xml_error(parser.get())), FailureKind::Malformed);
            break;
        }
        const std::size_t n = std::fread(buffer, 1, chunk, f);
        // A short read is the end of the file only when no read failed: a list cut off by a
        // failing disk is no list that merely ends early.
        if (n < static_cast<std::size_t>(chunk) && std::ferror(f)) {
            result = unreadable(errno != 0 ? errno : EIO, FailureKind::Error);
            break;
        }
        if (first && n == 0) {
            result = failure("The software list is empty: " + path, FailureKind::Missing);
            break;
        }
        const bool last = n < static_cast<std::size_t>(chunk);
        if (XML_ParseBuffer(parser.get(), static_cast<int>(n), last) == XML_STATUS_ERROR) {
            result = failure(xml_error_text(xml_error(parser.get())), FailureKind::Malformed);
            break;
        }
        if (last) break;
    }
    if (!parser) result = failure("out of memory");
    std::fclose(f);
    return result;
}

void sort_software_items(std::vector<SoftwareItem>& items) {
    std::stable_sort(items.begin(), items.end(), [](const SoftwareItem& a, const SoftwareItem& b) {
        return icompare(a.description, b.description) < 0;
    });
}

std::string software_list_path(std::string_view hashpath, const std::string& mame_folder,
                               const std::string& list_name) {
    const std::string file = list_name + ".xml";
    const std::vector<std::string> folders = resolve_mame_folder_list(hashpath, mame_folder);
    for (const std::string& folder : folders) {
        const std::string path = folder + file;
        if (file_exists(path)) return path;
    }
    if (!folders.empty()) return folders.front() + file;
    return with_separator(mame_folder) + file;
}

void scan_software_availability(std::vector<SoftwareItem>& items, const std::string& list_name,
                                std::string_view rompath, const std::string& mame_folder) {
    // Every key (an item's name and each of its disk names, lower case) leads to every item
    // that carries it, so two items sharing a disk name are both found.
    std::unordered_multimap<std::string, std::size_t> keys;
    std::unordered_map<std::string, std::size_t> by_name;
    keys.reserve(items.size() * 2 + 16);
    by_name.reserve(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        items[i].available = SoftwareAvailability::Missing;
        const std::string name = to_lower(items[i].name);
        keys.emplace(name, i);
        by_name.emplace(name, i);
        for (const std::string& disk : items[i].disk_names)
            keys.emplace(to_lower(disk), i);
    }
    if (items.empty() || list_name.empty()) return;
    // A file in an item's own folder ("culdcepta/culdcept.chd") belongs to that item when it
    // carries the file's name, whoever else shares the name (its parent "culdcept").
    auto own_item = [&](const std::string& file, const std::string& key) -> SoftwareItem* {
        const std::size_t slash = file.find_first_of("/\\");
        if (slash == std::string::npos) return nullptr;
        const auto it = by_name.find(to_lower(std::string_view(file).substr(0, slash)));
        if (it == by_name.end()) return nullptr;
        SoftwareItem& item = items[it->second];
        if (to_lower(item.name) == key) return &item;
        for (const std::string& disk : item.disk_names)
            if (to_lower(disk) == key) return &item;
        return nullptr;
    };
    for (const std::string& folder : resolve_mame_folder_list(rompath, mame_folder)) {
        for (const std::string& file : collect_files_recursive(join_path(folder, list_name))) {
            const std::string key = to_lower(base_name_of(file_name_of(file)));
            if (SoftwareItem* own = own_item(file, key)) {
                own->available = SoftwareAvailability::Available;
                continue;
            }
            const auto [first, last] = keys.equal_range(key);
            for (auto it = first; it != last; ++it)
                items[it->second].available = SoftwareAvailability::Available;
        }
    }
}

std::string software_list_title(std::size_t count) {
    return "Software List (" + std::to_string(count) + " Titles)";
}

Status load_software_list(const std::string& list_name, std::string_view hashpath,
                          std::string_view rompath, const std::string& mame_folder,
                          SoftwareItemList& list, Host& host) {
    list.clear();
    list.list_name = list_name;
    Status loaded = failure("No software list was named", FailureKind::Missing);
    if (!list_name.empty()) {
        loaded = parse_software_list_file(software_list_path(hashpath, mame_folder, list_name),
                                          list_name, list.items);
        if (!loaded.ok() && !loaded.is(FailureKind::Missing))
            host.message("Error", loaded.message(), Buttons::Ok, Icon::Error);
    }
    sort_software_items(list.items);
    prepare_software_search(list.items);
    scan_software_availability(list.items, list_name, rompath, mame_folder);
    if (!list.items.empty()) list.current = 0;
    return loaded;
}

namespace {
std::string software_search_key(const SoftwareItem& item) {
    std::string key;
    append_search_folded(key, item.description);
    key.push_back('\0');
    append_search_folded(key, item.name);
    return key;
}
} // namespace

void prepare_software_search(std::vector<SoftwareItem>& items) {
    for (SoftwareItem& item : items)
        item.search_key = software_search_key(item);
}

std::vector<std::int64_t> filter_software_items(const std::vector<SoftwareItem>& items,
                                                SoftwareFilter filter, std::string_view search) {
    std::vector<std::int64_t> view;
    view.reserve(items.size());
    const std::string text = search_fold(search);
    std::string made; // the key of an item whose list was not prepared
    for (std::size_t i = 0; i < items.size(); ++i) {
        const SoftwareItem& item = items[i];
        const bool available = item.is_available();
        if (filter == SoftwareFilter::Available && !available) continue;
        if (filter == SoftwareFilter::Missing && available) continue;
        if (!text.empty()) {
            std::string_view key = item.search_key;
            if (key.empty()) key = made = software_search_key(item);
            const size_t split = key.find('\0');
            if (key.substr(0, split).find(text) == std::string_view::npos &&
                key.substr(split + 1).find(text) == std::string_view::npos)
                continue;
        }
        view.push_back(static_cast<std::int64_t>(i));
    }
    return view;
}

} // namespace orvel
