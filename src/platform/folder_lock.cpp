#include "platform/folder_lock.h"

#include <map>
#include <mutex>

#ifdef _WIN32
#include "platform/files.h"

#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace orvel {

namespace {

struct Held {
#ifdef _WIN32
    HANDLE mutex = nullptr;
#else
    int fd = -1;
#endif
    int count = 0;
};

// The folders this process holds, by device and inode (on Windows volume and file index), so
// that nested locks of one folder (however its path is spelt) share one lock.
std::mutex held_mutex;
std::map<std::string, Held>& held_folders() {
    static std::map<std::string, Held> folders;
    return folders;
}

} // namespace

FolderLock::FolderLock(const std::string& folder) {
#ifndef _WIN32
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        return;
    }
    const std::string key = std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
    std::lock_guard<std::mutex> guard(held_mutex);
    Held& held = held_folders()[key];
    if (held.count > 0) {
        ::close(fd);
    } else {
        int r;
        do {
            r = ::flock(fd, LOCK_EX);
        } while (r != 0 && errno == EINTR);
        if (r != 0) {
            ::close(fd);
            held_folders().erase(key);
            return;
        }
        held.fd = fd;
    }
    ++held.count;
    key_ = key;
#else
    // Windows locks files, not folders: programs take turns on a named mutex of the folder's
    // identity instead. A mutex whose holder ended without letting go is handed on.
    const HANDLE dir = ::CreateFileW(to_wide(folder).c_str(), 0,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (dir == INVALID_HANDLE_VALUE) return;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = ::GetFileInformationByHandle(dir, &info);
    ::CloseHandle(dir);
    if (!known || !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    const std::string key = std::to_string(info.dwVolumeSerialNumber) + ":" +
                            std::to_string(info.nFileIndexHigh) + ":" +
                            std::to_string(info.nFileIndexLow);
    std::lock_guard<std::mutex> guard(held_mutex);
    Held& held = held_folders()[key];
    if (held.count == 0) {
        const HANDLE mutex =
            ::CreateMutexW(nullptr, FALSE, to_wide("Local\\orvel-folder-" + key).c_str());
        const DWORD r = mutex ? ::WaitForSingleObject(mutex, INFINITE) : WAIT_FAILED;
        if (r != WAIT_OBJECT_0 && r != WAIT_ABANDONED) {
            if (mutex) ::CloseHandle(mutex);
            held_folders().erase(key);
            return;
        }
        held.mutex = mutex;
    }
    ++held.count;
    key_ = key;
#endif
}

FolderLock::~FolderLock() {
    if (key_.empty()) return;
    std::lock_guard<std::mutex> guard(held_mutex);
    const auto it = held_folders().find(key_);
    if (it == held_folders().end() || --it->second.count > 0) return;
#ifdef _WIN32
    ::ReleaseMutex(it->second.mutex);
    ::CloseHandle(it->second.mutex);
#else
    ::close(it->second.fd); // closing the descriptor releases the lock
#endif
    held_folders().erase(it);
}

} // namespace orvel
