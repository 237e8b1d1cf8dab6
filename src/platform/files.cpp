#include "platform/files.h"

#include "platform/text.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <unordered_set>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace orvel {

namespace {
fs::path to_path(const std::string& p) {
    return fs::path(std::u8string(p.begin(), p.end()));
}
std::string from_path(const fs::path& p) {
    const std::u8string s = p.u8string();
    return std::string(s.begin(), s.end());
}
} // namespace

std::FILE* open_file(const std::string& path, const char* mode) {
#ifdef _WIN32
    return ::_wfopen(to_wide(path).c_str(), to_wide(mode).c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
}

#ifdef _WIN32
std::wstring to_wide(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int n =
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string from_wide(std::wstring_view wide) {
    if (wide.empty()) return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                        nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                          nullptr, nullptr);
    return out;
}

int errno_of_last_error() {
    switch (::GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    default:
        return EIO;
    }
}
#endif

std::optional<std::string> environment_variable(const std::string& name) {
#ifdef _WIN32
    const std::wstring wide_name = to_wide(name);
    std::wstring value(256, L'\0');
    for (;;) {
        ::SetLastError(ERROR_SUCCESS);
        const DWORD n = ::GetEnvironmentVariableW(wide_name.c_str(), value.data(),
                                                  static_cast<DWORD>(value.size()));
        if (n == 0 && ::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
        if (n < value.size()) {
            value.resize(n);
            return from_wide(value);
        }
        value.resize(n); // n is the size needed, its terminating zero included
    }
#else
    const char* value = std::getenv(name.c_str());
    if (!value) return std::nullopt;
    return std::string(value);
#endif
}

std::int64_t file_size(const std::string& path) {
    std::error_code ec;
    const fs::file_status st = fs::status(to_path(path), ec);
    if (ec || !fs::exists(st)) return -1;
    if (fs::is_directory(st)) return -2;
    const auto size = fs::file_size(to_path(path), ec);
    return ec ? -1 : static_cast<std::int64_t>(size);
}

bool file_exists(const std::string& path) {
    return file_size(path) >= 0;
}
bool folder_exists(const std::string& path) {
    return !path.empty() && file_size(path) == -2;
}

std::optional<std::int64_t> file_modified_time(const std::string& path) {
#ifndef _WIN32
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
#else
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(to_wide(path).c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;
    // FILETIME counts 100 ns steps since 1601.
    const std::int64_t ticks =
        static_cast<std::int64_t>(
            (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
            data.ftLastWriteTime.dwLowDateTime) -
        116444736000000000LL;
    return ticks * 100;
#endif
}

std::string file_creation_date(const std::string& path) {
    int day = 0, month = 0, year = 0;
#ifndef _WIN32
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {};
    const std::time_t when = st.st_ctime;
    std::tm local{};
    localtime_r(&when, &local);
    day = local.tm_mday;
    month = local.tm_mon + 1;
    year = local.tm_year + 1900;
#else
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(to_wide(path).c_str(), GetFileExInfoStandard, &data)) return {};
    FILETIME local_time{};
    SYSTEMTIME local{};
    if (!::FileTimeToLocalFileTime(&data.ftCreationTime, &local_time) ||
        !::FileTimeToSystemTime(&local_time, &local))
        return {};
    day = local.wDay;
    month = local.wMonth;
    year = local.wYear;
#endif
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", day, month, year);
    return buf;
}

bool copy_file(const std::string& from, const std::string& to) {
#ifdef _WIN32
    return ::CopyFileW(to_wide(from).c_str(), to_wide(to).c_str(), FALSE);
#endif
    std::error_code ec;
    fs::copy_file(to_path(from), to_path(to), fs::copy_options::overwrite_existing, ec);
    return !ec;
}

bool delete_file(const std::string& path) {
    std::error_code ec;
    if (fs::is_directory(to_path(path), ec)) return false;
    return fs::remove(to_path(path), ec) && !ec;
}

bool create_folder(const std::string& path) {
    std::error_code ec;
    fs::create_directory(to_path(path), ec);
    return folder_exists(path);
}

bool create_folders(const std::string& path) {
    std::error_code ec;
    fs::create_directories(to_path(path), ec);
    if (folder_exists(path)) return true;
#ifndef _WIN32
    if (ec) errno = ec.value(); // POSIX error numbers: the caller can tell why
#endif
    return false;
}

std::string current_directory() {
    std::error_code ec;
    const fs::path p = fs::current_path(ec);
    return ec ? std::string() : with_separator(from_path(p));
}

std::string program_folder() {
#ifdef _WIN32
    std::wstring exe(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, exe.data(), static_cast<DWORD>(exe.size()));
        if (n == 0) return {};
        if (n < exe.size()) {
            exe.resize(n);
            return folder_of(from_wide(exe));
        }
        exe.resize(exe.size() * 2); // cut short: a longer path
    }
#elif defined(__linux__)
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec && exe.has_parent_path()) return with_separator(from_path(exe.parent_path()));
#endif
    return {};
}

std::string temp_folder() {
#ifdef _WIN32
    wchar_t buf[MAX_PATH + 2];
    const DWORD n = ::GetTempPathW(MAX_PATH + 2, buf);
    if (n > 0 && n <= MAX_PATH + 1) return with_separator(from_wide(std::wstring_view(buf, n)));
    return with_separator(current_directory());
#else
    std::error_code ec;
    const fs::path p = fs::temp_directory_path(ec);
    return with_separator(ec ? std::string("/tmp") : from_path(p));
#endif
}

std::string private_temp_folder() {
#ifndef _WIN32
    const uid_t uid = ::getuid();
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string folder = runtime && runtime[0] == '/'
                                   ? join_path(runtime, "orvel")
                                   : temp_folder() + "orvel-" + std::to_string(uid);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return {};
    // Someone else may have made the folder first, or put a link in its place.
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0) return {};
    if (!S_ISDIR(st.st_mode) || st.st_uid != uid) {
        errno = EPERM;
        return {};
    }
    if ((st.st_mode & 077) != 0 && ::chmod(folder.c_str(), 0700) != 0) return {};
    return with_separator(folder);
#else
    return temp_folder();
#endif
}

std::string with_separator(std::string_view folder) {
    std::string out(folder);
    if (out.empty() || (out.back() != path_separator && out.back() != '/'))
        out.push_back(path_separator);
    return out;
}

std::string join_path(std::string_view folder, std::string_view name) {
    if (folder.empty()) return std::string(name);
    while (!name.empty() && (name.front() == '/' || name.front() == path_separator))
        name.remove_prefix(1);
    return with_separator(folder) + std::string(name);
}

bool is_full_path(std::string_view path) {
#ifdef _WIN32
    if (path.size() >= 2 && path[1] == ':') return true;
    if (!path.empty() && path.front() == '\\') return true;
#endif
    return !path.empty() && path.front() == '/';
}

std::string full_path(std::string_view path) {
    if (is_full_path(path)) return std::string(path);
    return from_path(to_path(join_path(current_directory(), path)).lexically_normal());
}

std::string file_name_of(std::string_view path) {
    const size_t pos = path.find_last_of("/\\");
    return std::string(pos == std::string_view::npos ? path : path.substr(pos + 1));
}

std::string folder_of(std::string_view path) {
    const size_t pos = path.find_last_of("/\\");
    return pos == std::string_view::npos ? std::string() : std::string(path.substr(0, pos + 1));
}

std::string base_name_of(std::string_view file_name) {
    const size_t pos = file_name.find_last_of('.');
    return std::string(pos == std::string_view::npos || pos == 0 ? file_name
                                                                 : file_name.substr(0, pos));
}

bool wildcard_match(std::string_view pattern, std::string_view name) {
    // Iterative matcher with one backtrack point for the last "*".
    size_t p = 0, n = 0, star = std::string_view::npos, mark = 0;
    while (n < name.size()) {
        if (p < pattern.size() &&
            (pattern[p] == '?' || ascii_lower(pattern[p]) == ascii_lower(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            mark = n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

std::vector<DirEntry> list_directory(const std::string& folder, std::string_view pattern) {
    std::vector<DirEntry> out;
    std::error_code ec;
    fs::directory_iterator it(to_path(folder), ec);
    if (ec) return out;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) break;
        std::string name = from_path(it->path().filename());
        if (!wildcard_match(pattern, name)) continue;
        std::error_code ec2;
        out.push_back({std::move(name), it->is_directory(ec2)});
    }
    return out;
}

namespace {

// What identifies a folder however it is reached: device and inode (on Windows, where links
// are rare, the resolved path). Empty when the folder cannot be examined.
std::string folder_identity(const fs::path& folder) {
#ifdef _WIN32
    std::error_code ec;
    const fs::path real = fs::canonical(folder, ec);
    return ec ? std::string() : from_path(real);
#else
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) return {};
    return std::to_string(st.st_dev) + ':' + std::to_string(st.st_ino);
#endif
}

} // namespace

std::vector<std::string> collect_files_recursive(const std::string& folder) {
    std::vector<std::string> out;
    std::error_code ec;
    const fs::path root = to_path(folder);
    // Linked folders are entered, as MAME enters them; each folder only once, so a link to a
    // folder above it ends instead of looping.
    std::unordered_set<std::string> entered;
    entered.insert(folder_identity(root));
    fs::recursive_directory_iterator it(root,
                                        fs::directory_options::skip_permission_denied |
                                            fs::directory_options::follow_directory_symlink,
                                        ec);
    if (ec) return out;
    for (; it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (ec) break;
        std::error_code ec2;
        if (it->is_directory(ec2)) {
            const std::string id = folder_identity(it->path());
            if (id.empty() || !entered.insert(id).second) it.disable_recursion_pending();
            continue;
        }
        if (!it->exists(ec2)) continue; // a link to nothing
        out.push_back(from_path(it->path().lexically_relative(root)));
    }
    return out;
}

bool is_plain_name(std::string_view name) {
    if (name.empty() || name.front() == '-' || name.front() == '.' ||
        name.find("..") != std::string_view::npos)
        return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '_' || c == '-' || c == '.' || c == '+';
    });
}

namespace {
std::string limit_text(std::uint64_t bytes) {
    if (bytes >= (std::uint64_t(1) << 30) && bytes % (std::uint64_t(1) << 30) == 0)
        return std::to_string(bytes >> 30) + " GB";
    if (bytes >= (std::uint64_t(1) << 20)) return std::to_string(bytes >> 20) + " MB";
    if (bytes >= 1024) return std::to_string(bytes >> 10) + " KB";
    return std::to_string(bytes) + " bytes";
}
} // namespace

std::string too_large_text(std::string_view what, const std::string& path,
                           std::uint64_t max_bytes) {
    return std::string(what) + " is too large to be read (more than " + limit_text(max_bytes) +
           "): " + path;
}

Result<std::string> read_file(const std::string& path, std::uint64_t max_bytes,
                              std::string_view what) {
    const auto unreadable = [&](int err) {
        return system_failure(std::string(what) + " could not be read: " + path, err,
                              err == ENOENT || err == ENOTDIR ? FailureKind::Missing
                                                              : FailureKind::Error);
    };
    const auto too_large = [&] {
        return failure(too_large_text(what, path, max_bytes), FailureKind::Refused);
    };
    // A size the system reports over the limit is refused at once. Size 0 says nothing: devices
    // and the files of /proc report it whatever they hold.
    const std::int64_t size = file_size(path);
    if (size > 0 && static_cast<std::uint64_t>(size) > max_bytes) return too_large();
    errno = 0;
    std::FILE* f = open_file(path, "rb");
    if (!f) return unreadable(errno != 0 ? errno : EIO);
    std::string data;
    // One read into a buffer of the file's size; the loop catches a file that grew meanwhile
    // and one whose size was not told, up to one byte past the limit.
    if (size > 0) {
        data.resize(static_cast<size_t>(size));
        data.resize(std::fread(data.data(), 1, data.size(), f));
    }
    char buf[1 << 16];
    while (data.size() <= max_bytes) {
        const size_t want =
            static_cast<size_t>(std::min<std::uint64_t>(sizeof buf, max_bytes - data.size() + 1));
        const size_t n = std::fread(buf, 1, want, f);
        if (n == 0) break;
        data.append(buf, n);
    }
    const bool failed = std::ferror(f) != 0;
    const int err = errno;
    std::fclose(f);
    if (failed) return unreadable(err != 0 ? err : EIO);
    if (data.size() > max_bytes) return too_large();
    return data;
}

bool read_file_blocks(const std::string& path, std::size_t block_size,
                      const std::function<void(std::string_view)>& on_block,
                      std::uint64_t max_bytes) {
    std::FILE* f = open_file(path, "rb");
    if (!f) return false;
    std::string block(block_size, '\0');
    std::uint64_t total = 0;
    size_t n;
    bool too_large = false;
    while ((n = std::fread(block.data(), 1, block.size(), f)) > 0) {
        if (n > max_bytes - total) {
            too_large = true;
            break;
        }
        total += n;
        on_block(std::string_view(block.data(), n));
    }
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (too_large) errno = EFBIG;
    return !failed && !too_large;
}

} // namespace orvel
