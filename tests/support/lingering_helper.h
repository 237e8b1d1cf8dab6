#pragma once
// Makes the fake MAME leave a helper behind that holds its output pipes open (as a wrapper
// script's background job does), and ends every such helper when the test is done.

#include "platform/text.h"
#include "support/env_guard.h"
#include "support/scripted_host.h"

#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include <sys/types.h>

namespace orvel::test {

class LingeringHelpers {
  public:
    explicit LingeringHelpers(const TempDir& dir)
        : pid_file_(dir.file("helpers.pid")), env_("ORVEL_FAKE_HELPER", pid_file_) {}
    ~LingeringHelpers() {
        for (const pid_t pid : pids())
            ::kill(pid, SIGKILL);
    }
    LingeringHelpers(const LingeringHelpers&) = delete;
    LingeringHelpers& operator=(const LingeringHelpers&) = delete;

    // The helpers started so far that are still running.
    int alive() const {
        int count = 0;
        for (const pid_t pid : pids())
            count += ::kill(pid, 0) == 0;
        return count;
    }

  private:
    std::vector<pid_t> pids() const {
        std::vector<pid_t> out;
        const std::string text = read_all(pid_file_); // the lines point into it
        for (std::string_view line : split_lines(text))
            if (const long pid = std::atol(std::string(line).c_str()); pid > 0)
                out.push_back(static_cast<pid_t>(pid));
        return out;
    }
    std::string pid_file_;
    EnvGuard env_;
};

} // namespace orvel::test
