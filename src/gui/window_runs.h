#pragma once
// What every window does around a MAME run: it is minimised and disabled while MAME runs and
// brought back afterwards, and a MAME that could not be started is reported.

#include "host/host.h"
#include "launch/launch.h"

#include <string>
#include <vector>

class QWidget;

namespace orvel::gui {

// Minimises and disables a window (nothing for a null window); remembers whether it was
// maximised, for resume_window.
void suspend_window(QWidget* window);
// Enables and restores a window (maximised again when it was), raises and activates it.
void resume_window(QWidget* window);

// Opens each file or web address with the desktop's program for it (open, or the associated
// program when empty); when the system cannot open some, says so, naming them. False then.
bool open_or_report(Host& host, const FileOpener& open, const std::vector<std::string>& targets);

// A run whose MAME could not be started must not pass without a word.
void report_not_started(Host& host, LaunchOutcome outcome, const MameCommand& command);

} // namespace orvel::gui
