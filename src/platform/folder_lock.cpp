#include "platform/folder_lock.h"

#include <map>
#include <mutex>

#ifndef _WIN32
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace orvel {

namespace {

struct Held {
    int fd = -1;
    int count = 0;
};

// The folders this process holds, by device and inode, so that nested locks of one folder
// (however its path is spelt) share one lock.
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
    (void)folder;
#endif
}

FolderLock::~FolderLock() {
#ifndef _WIN32
    if (key_.empty()) return;
    std::lock_guard<std::mutex> guard(held_mutex);
    const auto it = held_folders().find(key_);
    if (it == held_folders().end() || --it->second.count > 0) return;
    ::close(it->second.fd); // closing the descriptor releases the lock
    held_folders().erase(it);
#endif
}

} // namespace orvel
