#include "platform/terminal.h"

#include <cstdio>

#ifdef _WIN32
#include "platform/files.h"

#include <chrono>

#include <io.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>
#else
#include <poll.h>
#include <unistd.h>
#endif

namespace orvel {

std::vector<std::string> program_arguments(int argc, char** argv) {
    std::vector<std::string> out;
#ifdef _WIN32
    int count = 0;
    if (wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i)
            out.push_back(from_wide(wide[i]));
        ::LocalFree(wide);
        return out;
    }
#endif
    for (int i = 1; i < argc; ++i)
        out.emplace_back(argv[i]);
    return out;
}

void use_utf8_console() {
#ifdef _WIN32
    ::SetConsoleOutputCP(CP_UTF8);
#endif
}

namespace {
bool is_terminal(std::FILE* stream) {
#ifdef _WIN32
    return ::_isatty(::_fileno(stream)) != 0;
#else
    return ::isatty(::fileno(stream)) != 0;
#endif
}
} // namespace

bool input_is_terminal() {
    return is_terminal(stdin);
}

bool output_is_terminal() {
    return is_terminal(stdout);
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
