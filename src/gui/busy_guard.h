#pragma once
// Long work (a MAME run, the availability scan, a database save) runs as a job while the window
// thread goes on with its own loop. While it runs the program is busy: the commands' actions are
// disabled and close requests ignored, so nothing can start a second piece of work over the first
// or pull its lists away.

#include <functional>

namespace orvel::gui {

class BusyState {
  public:
    bool busy() const { return depth_ > 0; }
    // Called when the program becomes busy (true) and when it is idle again (false).
    std::function<void(bool busy)> changed;

  private:
    friend class BusyGuard;
    void step(int by) {
        const bool was = busy();
        depth_ += by;
        if (busy() != was && changed) changed(busy());
    }
    int depth_ = 0;
};

// Marks the program busy for its lifetime; guards nest.
class BusyGuard {
  public:
    explicit BusyGuard(BusyState& state) : state_(state) { state_.step(1); }
    ~BusyGuard() { state_.step(-1); }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

  private:
    BusyState& state_;
};

} // namespace orvel::gui
