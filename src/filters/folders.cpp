#include "filters/folders.h"

#include "platform/files.h"
#include "platform/mame_folders.h"
#include "platform/text.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace orvel {

namespace {
constexpr std::string_view settings_header = "[FOLDER_SETTINGS]";
}

NameMap build_name_map(const MachineList& machines) {
    NameMap names;
    names.reserve(machines.size() * 2);
    for (size_t i = 0; i < machines.size(); ++i)
        names.emplace(machines[i].name, static_cast<std::int64_t>(i)); // first of a name wins
    return names;
}

std::string folder_caption_of(std::string_view file_name) {
    for (size_t i = 0; i + 4 <= file_name.size(); ++i)
        if (iequals(file_name.substr(i, 4), ".ini")) return std::string(file_name.substr(0, i));
    return std::string(file_name);
}

bool read_folder_file(std::string_view bytes, const NameMap& names, Folder& folder) {
    // Folder files are plain 8-bit text; a byte order mark is accepted, anything that is not
    // UTF-8 is read as Latin-1 so that captions stay valid text.
    const std::string text = decode_text(bytes);
    const std::vector<std::string_view> lines = split_lines(text);
    if (lines.empty() || lines[0] != settings_header) return false;
    size_t i = 1;
    while (i < lines.size()) {
        const std::string_view line = lines[i++];
        if (line.empty() || line == settings_header || line.front() == ';') continue;
        if (line.front() != '[') continue; // settings lines and anything else outside a name list
        SubFolder sub;
        const std::string_view name =
            line.size() >= 2 ? line.substr(1, line.size() - 2) : std::string_view();
        sub.caption = name == "ROOT_FOLDER" ? std::string("Root") : std::string(name);
        // The name list runs to the next empty line: a section header right after a name is
        // read as a name too (and matches no machine).
        for (; i < lines.size() && !lines[i].empty(); ++i) {
            const auto found = names.find(lines[i]);
            if (found != names.end()) sub.machines.push_back(found->second);
        }
        folder.sub_folders.push_back(std::move(sub));
    }
    auto& subs = folder.sub_folders;
    if (subs.size() > 1 && subs.front().caption == "Root") subs.erase(subs.begin());
    std::stable_sort(subs.begin(), subs.end(),
                     [](const SubFolder& a, const SubFolder& b) { return a.caption < b.caption; });
    return true;
}

void load_folders(const std::string& categorypath, const std::string& mame_folder,
                  const MachineList& machines, FolderList& folders) {
    const std::vector<std::string> directories =
        resolve_mame_folder_list(categorypath, mame_folder);
    if (directories.empty()) return;
    const NameMap names = build_name_map(machines);
    for (const std::string& directory : directories) {
        std::vector<DirEntry> entries = list_directory(directory, "*.ini");
        // The same order on every system, whatever order the directory gives.
        std::sort(entries.begin(), entries.end(),
                  [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
        for (const DirEntry& entry : entries) {
            if (entry.is_folder) continue;
            const std::string path = join_path(directory, entry.name);
            if (file_size(path) < 0) continue;
            const Result<std::string> bytes = read_file(path, max_folder_file_bytes);
            if (!bytes) continue;
            Folder folder;
            folder.caption = folder_caption_of(entry.name);
            if (read_folder_file(*bytes, names, folder)) folders.push_back(std::move(folder));
        }
    }
}

std::string folder_file_name(std::string_view typed_name) {
    const size_t dot = typed_name.rfind('.');
    if (dot != std::string_view::npos && iequals(typed_name.substr(dot + 1), "ini"))
        return std::string(typed_name);
    return std::string(typed_name) + ".ini";
}

std::string folder_file_text(const MachineList& machines, const ViewList& view,
                             const std::string& mame_version, const std::string& version_text) {
    std::string out;
    out.reserve(200 + view.size() * 12);
    auto line = [&out](std::string_view text) {
        out.append(text);
        out.append("\r\n");
    };
    line(settings_header);
    line("RootFolderIcon mame");
    line("SubFolderIcon folder");
    line("");
    line(";; MAME v" + mame_version + " ;;");
    line(";; Created by Orvel v" + version_text + " ;;");
    line("");
    line("[ROOT_FOLDER]");
    for (const std::int64_t p : view)
        if (p >= 0 && static_cast<size_t>(p) < machines.size())
            line(machines[static_cast<size_t>(p)].name);
    return out;
}

Result<std::string> save_folder_ini(Host& host, const std::string& mame_folder,
                                    const std::string& mame_version,
                                    const std::string& version_text, const MachineList& machines,
                                    const ViewList& view) {
    const Failure cancelled = failure("", FailureKind::Cancelled);
    const std::optional<std::string> answer =
        host.ask_text("Ini Name", "Please enter a name...", "");
    if (!answer || answer->empty()) return cancelled;
    // The name is a file name in the chosen folder, never a path into another one.
    if (answer->find('/') != std::string::npos || answer->find('\\') != std::string::npos)
        return failure("the name may not contain a path separator", FailureKind::Refused);
    const std::string folder = host.choose_folder("Ini Path", mame_folder);
    if (folder.empty()) return cancelled;
    std::string path = join_path(folder, folder_file_name(*answer));
    errno = 0;
    if (!write_file_atomic(path, folder_file_text(machines, view, mame_version, version_text),
                           LinkPolicy::Follow))
        return failure("cannot write " + path + ": " + std::strerror(errno));
    host.message("Success!", path + " Created", Buttons::Ok, Icon::Information);
    return path;
}

} // namespace orvel
