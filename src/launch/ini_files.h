#pragma once
// MAME ini files for one machine: the names MAME reads for it, in the order it reads them, and
// the workflow that creates one (a copy of an existing ini file or a blank file) in a folder
// the user chooses.

#include "database/machine.h"
#include "host/host.h"

#include <string>
#include <vector>

namespace orvel {

// The ini file names MAME reads for a machine, from the most general to its own:
// mame.ini, debug.ini, horizont.ini or vertical.ini (by the screen's rotation), the screen
// type's ini ("raster.ini"), the source file's ("source/galaxian.ini"), the BIOS's (the romof of
// the machine named by romof), the parent's, the machine's.
std::vector<std::string> ini_file_names(const Machine& machine, const MachineList& machines);

// The prompt of the "Enter Filename" question: a heading, the names, an empty line and a note
// on the system-type files. Lines end in "\n".
std::string ini_names_prompt(const std::vector<std::string>& names);

enum class CreateIniOutcome { Cancelled, Copied, Created, Failed };
struct CreateIniResult {
    CreateIniOutcome outcome = CreateIniOutcome::Cancelled;
    std::string path; // the target, once chosen
};

// Asks for a file name (the machine's own ini by default), then whether to copy an existing ini
// file or create a blank one, for the folder to put it in (starting at the MAME folder) and,
// when the file exists, whether to overwrite it; reports the result. An empty name or any
// cancelled question or chooser ends the workflow without a file.
CreateIniResult create_ini_file(Host& host, const Machine& machine, const MachineList& machines,
                                const std::string& mame_folder);

} // namespace orvel
