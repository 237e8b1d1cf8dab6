#pragma once
// Long work (a MAME run, the availability scan, a database save) pumps events so the windows
// repaint. While it runs the program is busy: commands are refused and close requests ignored,
// so nothing can start a second piece of work over the first or pull its lists away.

#include <QCoreApplication>
#include <QEventLoop>

namespace orvel::gui {

// Lets the windows repaint and timers run during long work; the user's keys and clicks wait
// in the queue until the work is done.
inline void flush_events() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

class BusyState {
  public:
    bool busy() const { return depth_ > 0; }

  private:
    friend class BusyGuard;
    int depth_ = 0;
};

// Marks the program busy for its lifetime; guards nest.
class BusyGuard {
  public:
    explicit BusyGuard(BusyState& state) : state_(state) { ++state_.depth_; }
    ~BusyGuard() { --state_.depth_; }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

  private:
    BusyState& state_;
};

} // namespace orvel::gui
