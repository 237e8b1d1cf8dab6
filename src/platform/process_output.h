#pragma once
// What the process runners of every system share: handing out captured output line by line,
// and deciding when the output of a child that has ended is finished.

#include "platform/process.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace orvel::detail {

using OutputSink = std::function<void(std::string_view)>;

// Hands out every complete line of what has arrived without its line end (LF or CR LF), an
// overlong line in pieces; raw hands out the data as it came instead.
void hand_out(LineSplitter& lines, std::string_view data, const OutputSink& sink, bool raw);
// Hands out a final line that has no line end.
void hand_out_rest(LineSplitter& lines, const OutputSink& sink);

// The pipes stay open as long as any process holds them: a helper that the child started (a
// wrapper script's background job) inherits them and may outlive the child by hours. Once the
// child has ended, what is left is read until the pipes have been quiet for a moment (or the
// child has been gone for a while), and then they are closed.
class OutputLinger {
  public:
    // True while the pipes are still to be read: the child runs, or it ended only a moment ago
    // or its pipes were not quiet for long. had_output tells whether this round read anything.
    bool keep_reading(bool child_running, bool had_output);

  private:
    std::optional<std::chrono::steady_clock::time_point> ended_at_;
    std::optional<std::chrono::steady_clock::time_point> quiet_since_;
};

} // namespace orvel::detail
