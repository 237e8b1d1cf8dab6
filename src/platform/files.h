#pragma once
// File system operations used by every subsystem. Paths are UTF-8 text; folders handed out by
// these functions end in the native separator.

#include "platform/failure.h"

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvel {

#ifdef _WIN32
inline constexpr char path_separator = '\\';
#else
inline constexpr char path_separator = '/';
#endif

// Size in bytes; -1 when the path does not exist, -2 when it is a folder.
std::int64_t file_size(const std::string& path);
bool file_exists(const std::string& path);
bool folder_exists(const std::string& path);
// Modification time in nanoseconds since 1970; std::nullopt when the path does not exist.
std::optional<std::int64_t> file_modified_time(const std::string& path);
// Creation date of a file as local "DD/MM/YYYY" (POSIX keeps no creation time, so the
// status change time stands in for it there); empty when the file does not exist.
std::string file_creation_date(const std::string& path);

bool copy_file(const std::string& from, const std::string& to);
bool delete_file(const std::string& path);
// Creates one folder level; true when the folder exists afterwards.
bool create_folder(const std::string& path);
// The folder and any missing parents; true when the folder exists afterwards (errno telling
// why when not).
bool create_folders(const std::string& path);
// The current directory, ending in the separator.
std::string current_directory();
// The folder of the running program's executable, ending in the separator; empty where the
// system does not tell it.
std::string program_folder();
// The user's temporary folder, ending in the separator.
std::string temp_folder();
// A folder for the program's temporary files that only the user may enter: "orvel" in
// $XDG_RUNTIME_DIR, otherwise "orvel-UID" in the temporary folder, created 0700. A folder of
// that name that is a link, belongs to someone else or cannot be made gives an empty result
// (errno telling why). On Windows the user's temporary folder is the user's own already.
std::string private_temp_folder();

// Appends the native separator when the text does not already end in one.
std::string with_separator(std::string_view folder);
// Joins a folder and a name with exactly one separator between them.
std::string join_path(std::string_view folder, std::string_view name);
// True for a path that names its place without the working directory: one that starts with
// "/" (on Windows also with "\\" or a drive, "C:").
bool is_full_path(std::string_view path);
// A relative path taken from the working directory, its "." and ".." resolved in the text; a
// full path as it is.
std::string full_path(std::string_view path);
// The part after the last separator, and the part up to and including it.
std::string file_name_of(std::string_view path);
std::string folder_of(std::string_view path);
// True for a name that is safe as one file name and as one program argument on every system:
// MAME's short names of machines, software lists and software items are such names (letters,
// digits and "_"). Only ASCII letters, digits and "_", "-", ".", "+" are allowed, never ".." and
// never a "-" or "." at the start, so no blank, path separator, control character, drive or
// option can hide in it.
bool is_plain_name(std::string_view name);
// File name without its last extension ("pacman.zip" -> "pacman").
std::string base_name_of(std::string_view file_name);

struct DirEntry {
    std::string name;
    bool is_folder = false;
};
// Entries of one folder (not "." or "..") whose names match a wildcard pattern ("*", "?")
// without regard to case. A missing folder gives an empty list.
std::vector<DirEntry> list_directory(const std::string& folder, std::string_view pattern = "*");
bool wildcard_match(std::string_view pattern, std::string_view name);
// Every file below a folder, at any depth, as paths relative to that folder ("sub/x.zip").
std::vector<std::string> collect_files_recursive(const std::string& folder);

// The value of an environment variable as UTF-8; std::nullopt when it is not set.
std::optional<std::string> environment_variable(const std::string& name);

#ifdef _WIN32
// UTF-8 inside the program, UTF-16 at the Windows API.
std::wstring to_wide(std::string_view utf8);
std::string from_wide(std::wstring_view wide);
// The reason of the last failed Windows call as an errno value, so that callers report
// failures the same way on every system.
int errno_of_last_error();
#endif

// fopen with a UTF-8 path (on Windows through the wide API, where fopen would read the path in
// the system's code page).
std::FILE* open_file(const std::string& path, const char* mode);

// Whole-file reads and writes.

// Reads a whole file of at most max_bytes: every file read whole has a limit fitting what it
// holds. A larger file is refused before it is read, and one that proves longer while it is
// read (a file that grows, a link to a device without end, which reports size 0) is read no
// further than the limit. The failure names the file as what calls it ("The preferences
// file"): "... is too large to be read (more than 16 MB): PATH" (Refused), or "... could not
// be read: PATH (the system's reason)" (Missing when there is no such file).
Result<std::string> read_file(const std::string& path, std::uint64_t max_bytes,
                              std::string_view what = "The file");
// The message of a file refused for its size, as read_file gives it.
std::string too_large_text(std::string_view what, const std::string& path, std::uint64_t max_bytes);
// Reads a file front to back in blocks of up to block_size bytes, handing each to on_block, so
// that a large file is never held whole. False when the file cannot be opened or a read fails,
// and (errno EFBIG) when it holds more than max_bytes: nothing beyond them is read.
inline constexpr std::uint64_t no_size_limit = ~std::uint64_t(0);
bool read_file_blocks(const std::string& path, std::size_t block_size,
                      const std::function<void(std::string_view)>& on_block,
                      std::uint64_t max_bytes = no_size_limit);
// How a replacing write treats a symbolic link in the target's place: replace the link itself
// by the new file, or write the file the link leads to (a user's own link to a file kept
// elsewhere).
enum class LinkPolicy { Replace, Follow };
// Writes through a temporary file in the same folder, renamed over the target, so that a
// crash never leaves a truncated file. Every write has a temporary file of its own, so
// writers of one file never share one; a file that is replaced keeps its permissions. False
// (the old file untouched, errno telling why) on failure.
bool write_file_atomic(const std::string& path, std::string_view data,
                       LinkPolicy links = LinkPolicy::Replace);
// A replacing write whose content arrives piece by piece (output too large to hold): the pieces
// go to a temporary file beside path, renamed over it by commit, as write_file_atomic does.
// Until then the old file stays as it was; a replacement never committed leaves nothing behind.
class FileReplacement {
  public:
    explicit FileReplacement(const std::string& path, LinkPolicy links = LinkPolicy::Replace);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // False once anything failed (the temporary file could not be made, a write failed).
    bool ok() const { return error_ == 0; }
    // errno of the first failure, 0 while none.
    int error() const { return error_; }
    bool write(std::string_view data);
    // Writes out what is pending and renames the file over path. False (errno telling the
    // first failure) when anything failed; the old file is then untouched.
    bool commit();

  private:
    bool flush();
    bool write_through(std::string_view data); // straight to the file, unbuffered
    std::string target_;
    std::string temp_;
    std::string pending_; // writes gathered into blocks
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int fd_ = -1;
#endif
    int error_ = 0;
    bool done_ = false;
};
// The same with the whole content of another file: a copy that fails part way (a full disk,
// a killed program) leaves the old file as it was.
bool copy_file_atomic(const std::string& from, const std::string& to,
                      LinkPolicy links = LinkPolicy::Follow);
// Removes the temporary files that replacing writes of path left behind when their program was
// killed: those whose program no longer runs. Returns how many were removed.
int remove_stale_temp_files(const std::string& path);

// What tells one version of a file from another: size, modification time and, where the system
// has one, the file's identity (a replacing write makes a new file). size -1: no file.
struct FileStamp {
    std::int64_t size = -1;
    std::int64_t modified_ns = 0;
    std::uint64_t file_id = 0;
    bool operator==(const FileStamp&) const = default;
};
FileStamp file_stamp(const std::string& path);

} // namespace orvel
