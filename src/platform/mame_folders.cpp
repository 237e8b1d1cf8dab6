#include "platform/mame_folders.h"

#include "platform/files.h"
#include "platform/text.h"

#include <cstdlib>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace orvel {

bool is_accepted_mame_name(std::string_view file_name) {
    return iequals(file_name, "mame") || iequals(file_name, "mame64") ||
           iequals(file_name, "mame.exe") || iequals(file_name, "mame64.exe");
}

namespace {
std::string home_folder() {
    return environment_variable("HOME").value_or("");
}

} // namespace

bool is_system_wide_folder(const std::string& folder) {
#ifdef _WIN32
    (void)folder;
    return false;
#else
    for (const char* root : {"/usr/", "/opt/", "/snap/", "/nix/"})
        if (folder.rfind(root, 0) == 0) return true;
    return ::access(folder.c_str(), W_OK) != 0;
#endif
}

namespace {
#ifdef _WIN32
constexpr char path_list_separator = ';';
constexpr const char* searched_mame_names[] = {"mame64.exe", "mame.exe"};
#else
constexpr char path_list_separator = ':';
constexpr const char* searched_mame_names[] = {"mame", "mame64"};
#endif

bool is_executable_file(const std::string& path) {
    if (file_size(path) < 0) // missing, or a folder
        return false;
#ifdef _WIN32
    return true;
#else
    return ::access(path.c_str(), X_OK) == 0;
#endif
}
} // namespace

std::string find_mame_in(std::string_view folder_list) {
    for (const std::string& folder : split(folder_list, path_list_separator)) {
        if (folder.empty()) continue;
        for (const char* name : searched_mame_names) {
            const std::string candidate = join_path(folder, name);
            if (is_executable_file(candidate)) return candidate;
        }
    }
    return {};
}

std::string find_program_in(std::string_view name, std::string_view folder_list) {
    for (const std::string& entry : split(folder_list, path_list_separator)) {
        // An empty entry stands for the working directory, as it does for a shell.
        const std::string folder = entry.empty() ? current_directory() : entry;
        const std::string candidate = join_path(folder, name);
        if (is_executable_file(candidate)) return candidate;
#ifdef _WIN32
        // As the command prompt finds it, a name without an extension is also NAME.exe.
        if (name.find('.') == std::string_view::npos && is_executable_file(candidate + ".exe"))
            return candidate + ".exe";
#endif
    }
    return {};
}

std::string mame_search_path() {
    std::string folders = environment_variable("PATH").value_or("");
#ifndef _WIN32
    folders += ":/usr/games";
#endif
    return folders;
}

namespace {
bool is_absolute(std::string_view path) {
    if (!path.empty() && (path.front() == '/' || path.front() == '\\')) return true;
    return path.size() >= 2 && path[1] == ':';
}
} // namespace

MameLocation locate_mame(const std::string& exe_path) {
    MameLocation loc;
    const std::string folder = folder_of(exe_path);
    if (!is_system_wide_folder(folder)) {
        loc.exe = file_name_of(exe_path);
        loc.mame_folder = with_separator(folder.empty() ? current_directory() : folder);
        return loc;
    }
    loc.system_wide = true;
    loc.exe = exe_path;
    loc.mame_folder = with_separator(join_path(home_folder(), ".mame"));
    create_folders(loc.mame_folder);
    return loc;
}

std::string mame_executable_path(const std::string& mame_exe, const std::string& mame_path) {
    if (mame_exe.empty()) return {};
#ifdef _WIN32
    if (is_absolute(mame_exe)) return mame_exe;
#else
    if (mame_exe.front() == '/' || mame_exe.find(":\\") == 1) return mame_exe;
#endif
    return mame_path + mame_exe;
}

std::string expand_environment(std::string_view text) {
    std::string out;
    size_t i = 0;
    auto is_name_char = [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
               c == '_';
    };
    auto value_of = [](const std::string& name) { return environment_variable(name).value_or(""); };
    while (i < text.size()) {
        const char c = text[i];
        if (c == '$' && i + 1 < text.size() && text[i + 1] == '{') {
            const size_t close = text.find('}', i + 2);
            if (close != std::string_view::npos) {
                out += value_of(std::string(text.substr(i + 2, close - i - 2)));
                i = close + 1;
                continue;
            }
        } else if (c == '$' && i + 1 < text.size() && is_name_char(text[i + 1])) {
            size_t end = i + 1;
            while (end < text.size() && is_name_char(text[end]))
                ++end;
            out += value_of(std::string(text.substr(i + 1, end - i - 1)));
            i = end;
            continue;
        }
#ifdef _WIN32
        else if (c == '%') {
            const size_t close = text.find('%', i + 1);
            if (close != std::string_view::npos && close > i + 1) {
                out += value_of(std::string(text.substr(i + 1, close - i - 1)));
                i = close + 1;
                continue;
            }
        }
#endif
        out.push_back(c);
        ++i;
    }
    return out;
}

std::string resolve_mame_folder(std::string_view raw, const std::string& mame_folder) {
    std::string_view value = trim(raw, " \t");
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    if (value.empty()) return {};
    std::string expanded = expand_environment(value);
    if (expanded.empty()) return {};
    if (is_absolute(expanded)) return with_separator(expanded);
    if (expanded.rfind("./", 0) == 0) expanded.erase(0, 2);
#ifdef _WIN32
    if (expanded.rfind(".\\", 0) == 0) expanded.erase(0, 2);
#endif
    if (expanded == ".") return with_separator(mame_folder);
    return with_separator(join_path(mame_folder, expanded));
}

std::vector<std::string> resolve_mame_folder_list(std::string_view raw,
                                                  const std::string& mame_folder) {
    std::string_view value = trim(raw, " \t");
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    std::vector<std::string> out;
    for (const std::string& entry : split(value, ';')) {
        std::string folder = resolve_mame_folder(entry, mame_folder);
        if (!folder.empty()) out.push_back(std::move(folder));
    }
    return out;
}

} // namespace orvel
