#pragma once
// Category folders: each folder file ("NAME.ini" in one of the folders MAME's categorypath
// names) is one folder; each section of it is a sub-folder listing machine short names.
//
// The file format, one item per line (LF or CR LF):
//   [FOLDER_SETTINGS]          the first line, exactly; any other first line: not a folder file
//   RootFolderIcon mame        settings lines; they have no effect here
//   ;; comment                 empty lines and ";" lines may appear outside a name list
//   [Section]                  a sub-folder ("[ROOT_FOLDER]" is called "Root"), then its
//   name                       machine short names, one per line, up to the next empty line
//                              or the end of the file

#include "database/machine.h"
#include "host/host.h"
#include "platform/failure.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace orvel {

struct SubFolder {
    std::string caption;
    // Positions in the machine list of the listed machines, in file order; a name listed
    // twice gives two entries. Records never move in the machine list (sorting works on an
    // order of positions), so these stay valid when the list is re-sorted.
    std::vector<std::int64_t> machines;
};

struct Folder {
    std::string caption; // the file name up to the first ".ini"
    std::vector<SubFolder> sub_folders;
};

using FolderList = std::vector<Folder>;

// Reads every "*.ini" file of every folder of categorypath (the raw ";"-separated value,
// resolved against the MAME folder) and appends one folder per folder file; the caller empties
// the list first when reloading. Unreadable folders and files, files that are not folder files
// and names that are not in the machine list are skipped silently. Files of one folder are
// read in name order. Per folder, a first sub-folder "Root" is dropped when others follow, and
// the sub-folders are sorted by caption (with case, equal captions keep their order).
void load_folders(const std::string& categorypath, const std::string& mame_folder,
                  const MachineList& machines, FolderList& folders);

// Short name -> position in the machine list (views into the records' names).
using NameMap = std::unordered_map<std::string_view, std::int64_t>;
NameMap build_name_map(const MachineList& machines);

// The largest folder file read: the biggest category files, with every machine of a MAME,
// hold a few MB. A larger one (or a link to a device without end) is passed over.
inline constexpr std::uint64_t max_folder_file_bytes = 64 << 20;

// Reads one folder file's bytes into a folder (caption left to the caller); false when its
// first line is not "[FOLDER_SETTINGS]". Root removal and sorting are done here too.
// Exposed for tests and fuzzing; load_folders uses it.
bool read_folder_file(std::string_view bytes, const NameMap& names, Folder& folder);
// The caption of a folder file: its file name up to the first ".ini" (any case).
std::string folder_caption_of(std::string_view file_name);

// The file name "Save Folder Ini" uses for a typed name: the name, plus ".ini" unless its
// extension (after the last ".") already is "ini" (any case).
std::string folder_file_name(std::string_view typed_name);

// The text of a folder file listing the given machines ("[ROOT_FOLDER]" section), every line
// ending in CR LF.
std::string folder_file_text(const MachineList& machines, const ViewList& view,
                             const std::string& mame_version, const std::string& version_text);

// "Save Folder Ini": asks for a name ("Ini Name") and a folder ("Ini Path", starting at the
// MAME folder), writes the machines of the view list, in view order, through a temporary file
// and a rename, shows "Success!" with the path and gives the path. Cancelling either question
// ends quietly (Cancelled); a name with a path separator is Refused; a failed write (Error)
// shows nothing to the user, as before, but is returned. The caller then empties the folder
// list, runs load_folders and rebuilds the tree items (the filter set stays).
Result<std::string> save_folder_ini(Host& host, const std::string& mame_folder,
                                    const std::string& mame_version,
                                    const std::string& version_text, const MachineList& machines,
                                    const ViewList& view);

} // namespace orvel
