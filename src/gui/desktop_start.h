#pragma once
// Start-up of the desktop program on to its main window: the checks before the database
// (preferences, the MAME executable, its configuration), the database's build or load and the
// category folders run as jobs off the window thread, which goes on with its own event loop
// meanwhile. Questions open their dialogs there; the splash, or the listing's console with its
// count and its Cancel, shows how far the work has come.

#include "app/startup.h"
#include "gui/session.h"

#include <functional>
#include <memory>
#include <optional>

namespace orvel::gui {

class IconSet;
class MainWindow;
class QtHost;

struct DesktopStartOptions {
    // Given: the checks before the database run first, and again when MAME listed no machines
    // and the user chose to pick another MAME. Not given: the caller has run them.
    std::optional<StartupOptions> startup;
    bool refresh_database = false; // the user asked to rebuild after a MAME change
    bool show_window = true;
};

// Starts the way to the main window and returns at once. done runs on the window thread with
// the main window (shown unless asked otherwise), or with null when the program is to end (the
// user has been told why, or chose to end it).
void start_desktop(Session& session, QtHost& host, const IconSet& icons,
                   const DesktopStartOptions& options,
                   std::function<void(std::unique_ptr<MainWindow> window)> done);

} // namespace orvel::gui
