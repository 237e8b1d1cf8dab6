#pragma once
// Where MAME works and how its configured folders are found, on POSIX systems and on Windows.
//
// A portable install (MAME unpacked or built in a folder of the user's own) works in the
// executable's folder. A system-wide install (the executable under /usr, /opt, /snap or /nix,
// or in a folder the user cannot write, like a distribution's /usr/games/mame) works in the
// per-user folder $HOME/.mame/. Configured folders are resolved the way MAME resolves them.

#include <string>
#include <string_view>
#include <vector>

namespace orvel {

// "mame", "mame64", "mame.exe" or "mame64.exe", in any case.
bool is_accepted_mame_name(std::string_view file_name);

struct MameLocation {
    std::string exe;         // what MAME_Exe stores: the file name, or the full path
    std::string mame_folder; // what MAME_Path stores: the folder MAME works in, with separator
    bool system_wide = false;
};
// Decides where MAME works for the executable at exe_path (a full path). For a system-wide
// install the per-user folder is created when missing.
MameLocation locate_mame(const std::string& exe_path);
// True for the folder of a system-wide install: under /usr, /opt, /snap or /nix, or a folder
// the user cannot write. Never true on Windows.
bool is_system_wide_folder(const std::string& folder);
// The first executable file with an accepted MAME name ("mame", then "mame64"; on Windows
// "mame64.exe", then "mame.exe") in a list of folders separated like PATH. Empty when none.
std::string find_mame_in(std::string_view folder_list);
// The first executable file called name in a list of folders separated like PATH (an empty
// entry meaning the working directory), as a shell finds a command. Empty when none.
std::string find_program_in(std::string_view name, std::string_view folder_list);
// The folders searched for MAME before the user is asked: PATH, then /usr/games (Debian's MAME).
std::string mame_search_path();
// The path to start: MAME_Path + MAME_Exe, or MAME_Exe alone when it is a full path.
std::string mame_executable_path(const std::string& mame_exe, const std::string& mame_path);

// Expands $VAR, ${VAR} and (on Windows) %VAR%; unknown variables expand to nothing.
std::string expand_environment(std::string_view text);
// One configured folder: enclosing double quotes removed, variables expanded, an absolute
// folder kept, a relative one taken from the MAME folder. Ends in the separator; empty text
// gives an empty result.
std::string resolve_mame_folder(std::string_view raw, const std::string& mame_folder);
// A ";"-separated list of folders, each resolved as above; empty entries are dropped.
std::vector<std::string> resolve_mame_folder_list(std::string_view raw,
                                                  const std::string& mame_folder);

} // namespace orvel
