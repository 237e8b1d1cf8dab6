// Writes that replace a file whole: the new content goes to a temporary file beside the target,
// which is then renamed over it, so that a crash or a full disk never leaves a cut-off file.

#include "platform/files.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace orvel {

namespace {

// Every write makes a temporary file of its own next to the target: a name no other writer
// uses (process id and a counter), created exclusively.
constexpr std::string_view temp_suffix = ".tmp~";

std::string temp_name(const std::string& path, unsigned attempt_counter) {
#ifdef _WIN32
    const unsigned long pid = ::GetCurrentProcessId();
#else
    const long pid = ::getpid();
#endif
    return path + "." + std::to_string(pid) + "-" + std::to_string(attempt_counter) +
           std::string(temp_suffix);
}
std::atomic<unsigned> temp_counter{0};

// Pieces written to a replacement are gathered into blocks of this size.
constexpr size_t block_size = 1 << 16;

using Sink = std::function<bool(std::string_view)>;
using Filler = std::function<bool(const Sink&)>;

// The content of a copy: the source file in blocks. A source that cannot be read fails the
// copy with the system's reason.
Filler copy_of(const std::string& from) {
    return [&from](const Sink& write) {
        bool written = true;
        errno = 0;
        const bool read = read_file_blocks(from, 1 << 20, [&](std::string_view block) {
            if (written) written = write(block);
        });
        if (!read && errno == 0) errno = EIO;
        return read && written;
    };
}

// Whether the process that made a temporary file still runs (or cannot be told).
bool process_running(unsigned long pid) {
#ifdef _WIN32
    if (pid == ::GetCurrentProcessId()) return true;
    const HANDLE h =
        ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (!h) return ::GetLastError() != ERROR_INVALID_PARAMETER;
    DWORD code = 0;
    const bool running = !::GetExitCodeProcess(h, &code) || code == STILL_ACTIVE;
    ::CloseHandle(h);
    return running;
#else
    if (pid == static_cast<unsigned long>(::getpid())) return true;
    if (pid > static_cast<unsigned long>(INT_MAX)) return false;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
#endif
}

// The process id in a name made by temp_name for target_name, or 0 when it is not one.
unsigned long temp_owner(std::string_view name, std::string_view target_name) {
    if (name.size() <= target_name.size() + 1 + temp_suffix.size() ||
        name.substr(0, target_name.size()) != target_name || name[target_name.size()] != '.' ||
        name.substr(name.size() - temp_suffix.size()) != temp_suffix)
        return 0;
    const std::string_view middle = name.substr(
        target_name.size() + 1, name.size() - target_name.size() - 1 - temp_suffix.size());
    const size_t dash = middle.find('-');
    if (dash == 0 || dash == std::string_view::npos || dash + 1 == middle.size()) return 0;
    unsigned long pid = 0;
    for (size_t i = 0; i < middle.size(); ++i) {
        const char c = middle[i];
        if (i == dash) continue;
        if (c < '0' || c > '9' || (i < dash && pid > 100000000)) return 0;
        if (i < dash) pid = pid * 10 + static_cast<unsigned long>(c - '0');
    }
    return pid;
}

} // namespace

#ifndef _WIN32
namespace {
// Never through a symbolic link planted in the temporary file's place.
int create_unique_temp(const std::string& path, std::string& temp) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = temp_name(path, temp_counter++);
        const int fd =
            ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool write_all(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) errno = EIO; // nothing written and no reason given
        if (n <= 0) return false;
        data.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// Where a write to path lands when links are followed: the last target of a chain of symbolic
// links (which need not exist yet), or path itself.
std::string resolve_links(const std::string& path) {
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
        std::string target(PATH_MAX, '\0');
        const ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
        if (n <= 0 || static_cast<size_t>(n) >= target.size()) break;
        target.resize(static_cast<size_t>(n));
        current = target.front() == '/' ? target : folder_of(current) + target;
    }
    return current;
}

} // namespace

FileReplacement::FileReplacement(const std::string& path, LinkPolicy links)
    : target_(links == LinkPolicy::Follow ? resolve_links(path) : path) {
    errno = 0;
    fd_ = create_unique_temp(target_, temp_);
    if (fd_ < 0) {
        error_ = errno != 0 ? errno : EIO;
        temp_.clear();
        return;
    }
    // A file that is replaced keeps its permissions.
    struct stat st {};
    if (::lstat(target_.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
        ::fchmod(fd_, st.st_mode & 07777) != 0)
        error_ = errno;
}

FileReplacement::~FileReplacement() {
    if (fd_ >= 0) ::close(fd_);
    if (!done_ && !temp_.empty()) ::unlink(temp_.c_str());
}

bool FileReplacement::write_through(std::string_view data) {
    if (!write_all(fd_, data)) error_ = errno != 0 ? errno : EIO;
    return error_ == 0;
}

bool FileReplacement::commit() {
    if (done_) return true;
    // The first failure is the one reported: its errno is kept at once, before the calls that
    // clean up can change it.
    flush();
    if (error_ == 0 && ::fsync(fd_) != 0) error_ = errno;
    if (fd_ >= 0 && ::close(fd_) != 0 && error_ == 0) error_ = errno;
    fd_ = -1;
    // rename replaces whatever has the target's name, a symbolic link included, without
    // following it.
    if (error_ == 0 && ::rename(temp_.c_str(), target_.c_str()) != 0) error_ = errno;
    if (error_ == 0) {
        done_ = true;
        return true;
    }
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
    errno = error_;
    return false;
}

FileStamp file_stamp(const std::string& path) {
    FileStamp stamp;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return stamp;
    stamp.size = static_cast<std::int64_t>(st.st_size);
    stamp.modified_ns =
        static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.file_id =
        static_cast<std::uint64_t>(st.st_ino) ^ (static_cast<std::uint64_t>(st.st_dev) << 40);
    return stamp;
}
#else
namespace {
HANDLE create_unique_temp(const std::string& path, std::wstring& temp) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = to_wide(temp_name(path, temp_counter++));
        const HANDLE h = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) return h;
    }
    return INVALID_HANDLE_VALUE;
}

bool write_all(HANDLE h, std::string_view data) {
    while (!data.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(data.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(h, data.data(), chunk, &written, nullptr)) return false;
        if (written == 0) {
            ::SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        data.remove_prefix(written);
    }
    return true;
}

// Replaces the target by the temporary file. A program that has the target open for a moment
// (a virus scanner, an indexer) makes the replace fail; it is tried again a few times.
bool replace_file(const std::wstring& temp, const std::wstring& target) {
    for (int attempt = 0;; ++attempt) {
        if (::MoveFileExW(temp.c_str(), target.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        const DWORD error = ::GetLastError();
        if (attempt == 20 || (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION))
            return false;
        // A folder of the target's name is not replaced however long it is tried.
        const DWORD attributes = ::GetFileAttributesW(target.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            ::SetLastError(error);
            return false;
        }
        ::Sleep(10);
    }
}

} // namespace

// Windows keeps no permission bits to carry over, and links to files are rare there: the
// target is replaced as named.
FileReplacement::FileReplacement(const std::string& path, LinkPolicy) : target_(path) {
    std::wstring temp;
    const HANDLE h = create_unique_temp(path, temp);
    if (h == INVALID_HANDLE_VALUE) {
        error_ = errno_of_last_error();
        if (error_ == 0) error_ = EIO;
        return;
    }
    handle_ = h;
    temp_ = from_wide(temp);
}

FileReplacement::~FileReplacement() {
    if (handle_) ::CloseHandle(static_cast<HANDLE>(handle_));
    if (!done_ && !temp_.empty()) ::DeleteFileW(to_wide(temp_).c_str());
}

bool FileReplacement::write_through(std::string_view data) {
    if (!write_all(static_cast<HANDLE>(handle_), data)) {
        const int err = errno_of_last_error();
        error_ = err != 0 ? err : EIO;
    }
    return error_ == 0;
}

bool FileReplacement::commit() {
    if (done_) return true;
    flush();
    const HANDLE h = static_cast<HANDLE>(handle_);
    if (error_ == 0 && !::FlushFileBuffers(h)) error_ = errno_of_last_error();
    if (h && !::CloseHandle(h) && error_ == 0) error_ = errno_of_last_error();
    handle_ = nullptr;
    if (error_ == 0 && !replace_file(to_wide(temp_), to_wide(target_)))
        error_ = errno_of_last_error();
    if (error_ == 0) {
        done_ = true;
        return true;
    }
    if (!temp_.empty()) ::DeleteFileW(to_wide(temp_).c_str());
    temp_.clear();
    errno = error_;
    return false;
}

FileStamp file_stamp(const std::string& path) {
    FileStamp stamp;
    stamp.size = file_size(path);
    if (stamp.size < 0) return FileStamp{};
    stamp.modified_ns = file_modified_time(path).value_or(0);
    return stamp;
}
#endif

bool FileReplacement::flush() {
    if (error_ == 0 && !pending_.empty()) write_through(pending_);
    pending_.clear();
    return error_ == 0;
}

bool FileReplacement::write(std::string_view data) {
    if (error_ != 0) return false;
    if (pending_.size() + data.size() > block_size && !flush()) return false;
    if (data.size() >= block_size) return write_through(data);
    pending_.append(data);
    return true;
}

namespace {
bool replace_with(const std::string& path, const Filler& fill, LinkPolicy links) {
    int err = 0;
    {
        FileReplacement file(path, links);
        errno = 0;
        if (file.ok() && fill([&file](std::string_view block) { return file.write(block); }) &&
            file.commit())
            return true;
        err = file.error() != 0 ? file.error() : (errno != 0 ? errno : EIO);
    } // the temporary file is removed here
    errno = err;
    return false;
}
} // namespace

bool write_file_atomic(const std::string& path, std::string_view data, LinkPolicy links) {
    return replace_with(
        path, [data](const Sink& write) { return write(data); }, links);
}

bool copy_file_atomic(const std::string& from, const std::string& to, LinkPolicy links) {
    return replace_with(to, copy_of(from), links);
}

int remove_stale_temp_files(const std::string& path) {
    const std::string name = file_name_of(path);
    int removed = 0;
    for (const DirEntry& entry : list_directory(folder_of(path), name + ".*")) {
        if (entry.is_folder) continue;
        const unsigned long owner = temp_owner(entry.name, name);
        if (owner == 0 || process_running(owner)) continue;
        if (delete_file(join_path(folder_of(path), entry.name))) ++removed;
    }
    return removed;
}

} // namespace orvel
