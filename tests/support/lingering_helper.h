#pragma once
// Makes the fake MAME leave a helper behind that holds its output pipes open (as a wrapper
// script's background job does), and ends every such helper when the test is done.

#include "platform/text.h"
#include "support/env_guard.h"
#include "support/scripted_host.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/types.h>
#endif

namespace orvel::test {

class LingeringHelpers {
  public:
    explicit LingeringHelpers(const TempDir& dir)
        : pid_file_(dir.file("helpers.pid")), env_("ORVEL_FAKE_HELPER", pid_file_) {}
    ~LingeringHelpers() {
        for (const long pid : pids())
            end(pid);
    }
    LingeringHelpers(const LingeringHelpers&) = delete;
    LingeringHelpers& operator=(const LingeringHelpers&) = delete;

    // The helpers started so far that are still running.
    int alive() const {
        int count = 0;
        for (const long pid : pids())
            count += is_running(pid);
        return count;
    }

    // The helpers started so far, running or not.
    std::vector<long> pids() const {
        std::vector<long> out;
        const std::string text = read_all(pid_file_); // the lines point into it
        for (std::string_view line : split_lines(text))
            if (const long pid = std::atol(std::string(line).c_str()); pid > 0) out.push_back(pid);
        return out;
    }
#ifdef _WIN32
  private:
    static void end(long pid) {
        if (const HANDLE h = ::OpenProcess(PROCESS_TERMINATE, FALSE, static_cast<DWORD>(pid))) {
            ::TerminateProcess(h, 1);
            ::CloseHandle(h);
        }
    }
    static bool is_running(long pid) {
        const HANDLE h = ::OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
        if (!h) return false;
        const bool running = ::WaitForSingleObject(h, 0) == WAIT_TIMEOUT;
        ::CloseHandle(h);
        return running;
    }
#else
    static void end(long pid) {
        ::kill(static_cast<pid_t>(pid), SIGKILL);
    }
    // A zombie (ended, not yet collected by whoever adopted it) does not run.
    static bool is_running(long pid) {
        if (::kill(static_cast<pid_t>(pid), 0) != 0) return false;
        std::string stat(512, '\0');
        if (std::FILE* f = std::fopen(("/proc/" + std::to_string(pid) + "/stat").c_str(), "r")) {
            stat.resize(std::fread(stat.data(), 1, stat.size(), f));
            std::fclose(f);
        }
        const std::size_t name_end = stat.rfind(')');
        return name_end == std::string::npos || name_end + 2 >= stat.size() ||
               stat[name_end + 2] != 'Z';
    }
#endif
    std::string pid_file_;
    EnvGuard env_;
};

} // namespace orvel::test
