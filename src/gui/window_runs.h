#pragma once
// What every window does around a MAME run: it is minimised and disabled while MAME runs and
// brought back afterwards, and a MAME that could not be started is reported.

#include "host/host.h"
#include "launch/launch.h"

#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace orvel::gui {

// Minimises and disables a window (nothing for a null window); remembers whether it was
// maximised, for resume_window.
void suspend_window(QWidget* window);
// Enables and restores a window (maximised again when it was), raises and activates it.
void resume_window(QWidget* window);

// Runs work (a MAME run) with the windows suspended meanwhile (in the order given), then brings
// them back (in the reverse order) and calls after. With the desktop host the work runs as a
// job on a worker thread and this returns at once, the console taking MAME's output and its
// Stop; with any other host the work runs here before this returns.
void run_with_windows_suspended(Host& host, const std::vector<QWidget*>& windows,
                                std::function<void(Host& host)> work,
                                std::function<void()> after = {});

// Opens each file or web address with the desktop's program for it (open, or the associated
// program when empty); when the system cannot open some, says so, naming them. False then.
bool open_or_report(Host& host, const FileOpener& open, const std::vector<std::string>& targets);

// A run whose MAME could not be started must not pass without a word.
void report_not_started(Host& host, LaunchOutcome outcome, const MameCommand& command);

} // namespace orvel::gui
