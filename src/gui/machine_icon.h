#pragma once
// A machine's own title-bar icon: its ".ico" picture from MAME's icons folder, a loose file or
// an entry of the icons zip archive, as the machine's windows show it.

#include "database/machine.h"
#include "settings/mame_paths.h"

#include <QIcon>

#include <string>

namespace orvel::gui {

// The machine's icon (a clone without one gets its parent's); a null icon when there is none
// or it does not decode, so the window keeps the program's icon.
QIcon machine_icon(const Machine& machine, const MamePaths& paths, const std::string& mame_folder);

} // namespace orvel::gui
