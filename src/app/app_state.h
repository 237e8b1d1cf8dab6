#pragma once
// The program's process-wide records, owned by main and passed by reference. Subsystem
// functions take only the pieces they need.

#include "database/machine.h"
#include "filters/filter_pass.h"
#include "filters/filter_set.h"
#include "filters/filter_tree.h"
#include "filters/folders.h"
#include "info/dat_files.h"
#include "info/zip_index.h"
#include "platform/files.h"
#include "settings/mame_paths.h"
#include "settings/settings.h"
#include "softlist/software_list.h"

#include <cstdint>
#include <memory>

namespace orvel {

struct AppState {
    Settings settings;
    MamePaths mame_paths;
    MachineList machines;
    ViewList view;
    std::int64_t current_machine = -1; // position in machines of the current record
    bool database_changed = false;
    FileStamp database_stamp; // the database file as last loaded or saved by this program
    std::int64_t selected_commandline = 0; // stored command line used by the next run
    bool pause_on_exit = false;

    FilterSet filter;     // starts with the defaults (f_runnable on)
    FolderList folders;   // category folders, read at start-up
    TreeItemList tree;    // the filter tree's items, built at its first display
    ListIndex list_index; // search keys and sort order kept between filter passes

    SoftwareItemList software_items; // the software list loaded in the software list window
    SoftwareFilter software_filter = SoftwareFilter::All; // kept between openings, never saved

    DatCache dat_cache; // DAT file indexes, kept between openings of the information window
    // The picture archives' directories, shared by the information window and the picture pane
    // (whose loads run off the window thread and hold it while they run).
    std::shared_ptr<ZipIndex> archives = std::make_shared<ZipIndex>();
};

} // namespace orvel
