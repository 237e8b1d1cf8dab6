#pragma once
// Long work off the window thread. start_job runs the work on a worker thread and returns at
// once; the window thread goes on with its own event loop, never a nested one. The work talks
// to the user through a host of its own whose calls reach the desktop host on the window thread:
// questions by a call that waits for the answer (the dialog opens there, modal as always),
// console lines and progress by calls queued in batches, so that a flood of output costs the
// windows a few repaints a second. When the work has ended, done runs on the window thread.

#include "host/host.h"

#include <exception>
#include <functional>

class QObject;

namespace orvel::gui {

class QtHost;

// done receives what the work threw (null when it ended normally). Whoever starts a job keeps
// the user away from what the work reads (disabled windows, disabled actions) until done runs.
void start_job(QtHost& host, std::function<void(Host& worker)> work,
               std::function<void(std::exception_ptr failure)> done);

// How many jobs have been started and have not yet had their done called.
int running_jobs();

// start_job with the desktop host; with any other host (a test's, a bench's) the work runs here
// and done follows before this returns.
void run_as_job(Host& host, std::function<void(Host& worker)> work,
                std::function<void(std::exception_ptr failure)> done);

// Calls call on the thread context lives on (the window thread), waiting for it when the caller
// is a worker: what replaces the records a window shows happens there.
void on_thread_of(QObject* context, const std::function<void()>& call);

} // namespace orvel::gui
