#pragma once
// Start-up from the machine database on: the splash while the database is built or loaded,
// the category folders, then the main window.

#include "gui/session.h"
#include "host/host.h"

#include <memory>

namespace orvel::gui {

class IconSet;
class MainWindow;
class QtHost;

struct DesktopStartOptions {
    bool refresh_database = false; // the user asked to rebuild after a MAME change
    QtHost* qt_host = nullptr;     // given: its progress goes to the splash meanwhile
    bool show_window = true;
    // Set when MAME listed no machines and the user chose to pick another MAME (null: not told).
    bool* choose_mame = nullptr;
};

// Returns the shown main window, or null when the program is to end (the database could not
// be built or loaded; the user has been told).
std::unique_ptr<MainWindow> start_desktop(Session& session, Host& host, const IconSet& icons,
                                          const DesktopStartOptions& options);

} // namespace orvel::gui
