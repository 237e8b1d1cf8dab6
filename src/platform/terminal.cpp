#include "platform/terminal.h"

#ifdef _WIN32
#include <chrono>
#include <cstdio>

#include <io.h>
#include <windows.h>
#else
#include <poll.h>
#include <unistd.h>
#endif

namespace orvel {

bool input_is_terminal() {
#ifdef _WIN32
    return ::_isatty(::_fileno(stdin)) != 0;
#else
    return ::isatty(0) != 0;
#endif
}

bool input_ready(int wait_ms) {
    if (input_is_terminal()) return true;
#ifdef _WIN32
    const HANDLE in = ::GetStdHandle(STD_INPUT_HANDLE);
    if (in == nullptr || in == INVALID_HANDLE_VALUE) return false;
    if (::GetFileType(in) != FILE_TYPE_PIPE) return true; // a file has its data at once
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_ms);
    for (;;) {
        DWORD available = 0;
        // A pipe whose writer has gone fails here: its end can be read at once.
        if (!::PeekNamedPipe(in, nullptr, 0, nullptr, &available, nullptr) || available > 0)
            return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        ::Sleep(10);
    }
#else
    pollfd fd{0, POLLIN, 0};
    return ::poll(&fd, 1, wait_ms) > 0;
#endif
}

} // namespace orvel
