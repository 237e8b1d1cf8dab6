#pragma once
// A machine's window icon: its ".ico" picture from MAME's icons folder, loose or in an archive
// there ("icons/icons.zip", "icons.zip"), a clone falling back to its parent's.

#include "database/machine.h"
#include "settings/mame_paths.h"

#include <QIcon>

#include <string>

namespace orvel::gui {

// A null icon when the machine has none or it does not decode.
QIcon machine_icon(const Machine& machine, const MamePaths& paths, const std::string& mame_folder);

} // namespace orvel::gui
