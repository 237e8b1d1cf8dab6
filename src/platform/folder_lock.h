#pragma once
// An exclusive advisory lock on a folder, so that programs changing the files in it (two
// orvel-cli commands, or one and the desktop program) take turns instead of losing each
// other's changes.

#include <string>

namespace orvel {

// Waits until the folder is locked and holds the lock for the object's life. Within one
// process the lock nests: a save made while a command already holds its folder goes ahead.
// A folder that cannot be opened is not locked (held() is false) and nothing waits.
class FolderLock {
  public:
    explicit FolderLock(const std::string& folder);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    bool held() const { return !key_.empty(); }

  private:
    std::string key_;
};

} // namespace orvel
