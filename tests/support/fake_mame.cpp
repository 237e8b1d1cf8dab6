// A stand-in for the MAME executable, built by the project so that whole flows can be tested
// without the real emulator.
//
//   -cc            writes mame.ini and ui.ini (26-column layout) into the working folder
//   -showconfig    prints the settings in effect: the defaults -cc writes, then the lines of the
//                  first non-empty mame.ini on its ini path (ORVEL_FAKE_INIPATH, default
//                  ".;ini;ini/presets" as MAME's; $HOME expanded, relative folders taken from the
//                  working folder), as MAME reads its ini path
//   -lx -nodtd     prints the listing named by ORVEL_FAKE_LISTING
//   -version       prints ORVEL_FAKE_VERSION (default "0.251 (fake)")
//   anything else  appends its arguments, one per line and then a "--" line, to the file named
//                  by ORVEL_FAKE_LOG, and prints a few lines on both output streams
//
// ORVEL_FAKE_HANG=1 makes every call sleep for an hour; ORVEL_FAKE_STDERR_FLOOD=N writes N
// bytes to standard error before anything else; ORVEL_FAKE_NO_CC=1 makes -cc write nothing.
// ORVEL_FAKE_HELPER=FILE first starts a helper that inherits both output streams, writes its
// process id to FILE (one line per helper) and sleeps for a minute (as a wrapper's background job
// would). ORVEL_FAKE_LX_CUT=N stops -lx after N bytes of the listing: with ORVEL_FAKE_EXIT it
// prints an error line and ends with that status, otherwise it falls silent for an hour.
// ORVEL_FAKE_EXIT=N makes -lx and runs end with exit status N after their output (a run first
// prints MAME's "Required files are missing" line). ORVEL_FAKE_RUN_MS=N makes a run last N
// milliseconds, as a machine being played does. ORVEL_FAKE_LX_DELAY_MS=N makes -lx wait N
// milliseconds after each machine of the listing, as MAME writing a large listing does.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <shellapi.h>
#else
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
// Texts are UTF-8 here as in the program; Windows hands them out in UTF-16.
std::wstring wide(const std::string& text) {
    std::wstring out(text.size() + 1, L'\0');
    out.resize(static_cast<size_t>(::MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, out.data(),
                                                         static_cast<int>(out.size()))) -
               1);
    return out;
}
std::string utf8(const wchar_t* text) {
    std::string out(std::wcslen(text) * 3 + 1, '\0');
    out.resize(
        static_cast<size_t>(::WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(),
                                                  static_cast<int>(out.size()), nullptr, nullptr)) -
        1);
    return out;
}
#endif

const char* env(const char* name) {
#ifdef _WIN32
    static std::map<std::string, std::string> values; // keeps the texts handed out alive
    const wchar_t* v = ::_wgetenv(wide(name).c_str());
    if (!v || !*v) return nullptr;
    return (values[name] = utf8(v)).c_str();
#else
    const char* v = std::getenv(name);
    return v && *v ? v : nullptr;
#endif
}

std::FILE* open_file(const char* path, const char* mode) {
#ifdef _WIN32
    return ::_wfopen(wide(path).c_str(), wide(mode).c_str());
#else
    return std::fopen(path, mode);
#endif
}

int exit_status() {
    const char* status = env("ORVEL_FAKE_EXIT");
    return status ? std::atoi(status) : 0;
}

void be_helper(const char* pid_file) {
    if (std::FILE* f = open_file(pid_file, "ab")) {
#ifdef _WIN32
        std::fprintf(f, "%lu\n", static_cast<unsigned long>(::GetCurrentProcessId()));
#else
        std::fprintf(f, "%d\n", static_cast<int>(::getpid()));
#endif
        std::fclose(f);
    }
    std::this_thread::sleep_for(std::chrono::minutes(1));
}

void start_helper(const char* pid_file) {
    std::fflush(nullptr);
#ifdef _WIN32
    // The helper is this program once more, started with both output streams inherited.
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --fake-helper";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    const HANDLE process = ::GetCurrentProcess();
    for (auto [which, into] : {std::pair{STD_OUTPUT_HANDLE, &startup.hStdOutput},
                               std::pair{STD_ERROR_HANDLE, &startup.hStdError}})
        ::DuplicateHandle(process, ::GetStdHandle(which), process, into, 0, TRUE,
                          DUPLICATE_SAME_ACCESS);
    const auto pid_file_size = [&] {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        return ::GetFileAttributesExW(wide(pid_file).c_str(), GetFileExInfoStandard, &data)
                   ? data.nFileSizeLow
                   : 0;
    };
    const DWORD size_before = pid_file_size();
    PROCESS_INFORMATION info{};
    if (::CreateProcessW(self, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                         nullptr, &startup, &info)) {
        ::CloseHandle(info.hThread);
        ::CloseHandle(info.hProcess);
        // A new process takes a while to start here: the run goes on once the helper is there
        // (it finds the pid file in the environment), as a forked one would be at once.
        for (int waited = 0; waited < 10000 && pid_file_size() == size_before; waited += 10)
            ::Sleep(10);
    }
    ::CloseHandle(startup.hStdOutput);
    ::CloseHandle(startup.hStdError);
#else
    if (::fork() != 0) return;
    be_helper(pid_file);
    ::_exit(0);
#endif
}

void write_ini_line(std::FILE* f, const char* key, const char* value) {
    std::fprintf(f, "%-26s%s\n", key, value);
}

const char* ini_path() {
    const char* path = env("ORVEL_FAKE_INIPATH");
    return path ? path : ".;ini;ini/presets";
}

void write_mame_ini(std::FILE* f);

// The first non-empty mame.ini of the ini path, or empty.
std::string find_mame_ini() {
    std::string list = ini_path();
    const char* home = env("HOME");
    for (size_t at; (at = list.find("$HOME")) != std::string::npos;)
        list.replace(at, 5, home ? home : "");
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(';', start);
        if (end == std::string::npos) end = list.size();
        const std::string folder = list.substr(start, end - start);
        start = end + 1;
        if (folder.empty()) continue;
        const std::string file = folder + "/mame.ini";
        if (std::FILE* f = open_file(file.c_str(), "rb")) {
            const bool empty = std::fgetc(f) == EOF;
            std::fclose(f);
            if (!empty) return file;
        }
    }
    return {};
}

int show_config() {
    write_mame_ini(stdout);
    if (const std::string file = find_mame_ini(); !file.empty()) {
        std::FILE* f = open_file(file.c_str(), "rb");
        char buf[4096];
        for (size_t n; f && (n = std::fread(buf, 1, sizeof buf, f)) > 0;)
            std::fwrite(buf, 1, n, stdout);
        if (f) std::fclose(f);
    }
    return 0;
}

int write_config() {
    if (env("ORVEL_FAKE_NO_CC")) return 0;
    std::FILE* f = std::fopen("mame.ini", "wb");
    if (!f) return 1;
    write_mame_ini(f);
    std::fclose(f);

    f = std::fopen("ui.ini", "wb");
    if (!f) return 1;
    std::fprintf(f, "#\n# UI SEARCH PATH OPTIONS\n#\n");
    write_ini_line(f, "historypath", "history;dats;.");
    write_ini_line(f, "categorypath", "folders");
    write_ini_line(f, "cabinets_directory", "cabinets;cabdevs");
    write_ini_line(f, "titles_directory", "titles");
    write_ini_line(f, "icons_directory", "icons");
    write_ini_line(f, "covers_directory", "covers");
    write_ini_line(f, "ui_path", "ui");
    std::fclose(f);
    return 0;
}

void write_mame_ini(std::FILE* f) {
    std::fprintf(f, "#\n# CORE CONFIGURATION OPTIONS\n#\nreadconfig                1\n\n");
    std::fprintf(f, "#\n# CORE SEARCH PATH OPTIONS\n#\n");
    write_ini_line(f, "homepath", ".");
    write_ini_line(f, "rompath", "roms");
    write_ini_line(f, "hashpath", "hash");
    write_ini_line(f, "samplepath", "samples");
    write_ini_line(f, "artpath", "artwork");
    write_ini_line(f, "ctrlrpath", "ctrlr");
    write_ini_line(f, "inipath", ini_path());
    write_ini_line(f, "fontpath", ".");
    write_ini_line(f, "cheatpath", "cheat");
    write_ini_line(f, "crosshairpath", "crosshair");
    write_ini_line(f, "pluginspath", "plugins");
    write_ini_line(f, "languagepath", "language");
    write_ini_line(f, "swpath", "software");
    std::fprintf(f, "\n#\n# CORE OUTPUT DIRECTORY OPTIONS\n#\n");
    write_ini_line(f, "cfg_directory", "cfg");
    write_ini_line(f, "nvram_directory", "nvram");
    write_ini_line(f, "input_directory", "inp");
    write_ini_line(f, "state_directory", "sta");
    write_ini_line(f, "snapshot_directory", "snap");
    write_ini_line(f, "diff_directory", "diff");
    write_ini_line(f, "comment_directory", "comments");
}

int print_listing() {
    const char* path = env("ORVEL_FAKE_LISTING");
    if (!path) {
        std::fprintf(stderr, "ORVEL_FAKE_LISTING is not set\n");
        return 1;
    }
    std::FILE* f = open_file(path, "rb");
    if (!f) {
        std::fprintf(stderr, "cannot open %s\n", path);
        return 1;
    }
    if (const char* delay = env("ORVEL_FAKE_LX_DELAY_MS")) {
        const long ms = std::strtol(delay, nullptr, 10);
        std::string listing;
        char piece[65536];
        for (size_t got; (got = std::fread(piece, 1, sizeof piece, f)) > 0;)
            listing.append(piece, got);
        std::fclose(f);
        constexpr std::string_view end_tag = "</machine>";
        size_t from = 0;
        for (size_t at; (at = listing.find(end_tag, from)) != std::string::npos;) {
            const size_t to = at + end_tag.size();
            std::fwrite(listing.data() + from, 1, to - from, stdout);
            std::fflush(stdout);
            from = to;
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        }
        std::fwrite(listing.data() + from, 1, listing.size() - from, stdout);
        return exit_status();
    }
    long cut = -1;
    if (const char* at = env("ORVEL_FAKE_LX_CUT")) cut = std::strtol(at, nullptr, 10);
    char buf[65536];
    size_t n;
    long written = 0;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
        if (cut >= 0 && written + static_cast<long>(n) >= cut) {
            std::fwrite(buf, 1, static_cast<size_t>(cut - written), stdout);
            std::fflush(stdout);
            if (env("ORVEL_FAKE_EXIT")) {
                std::fprintf(stderr, "fake mame: listing cut short\n");
                return exit_status();
            }
            std::this_thread::sleep_for(std::chrono::hours(1));
        }
        std::fwrite(buf, 1, n, stdout);
        written += static_cast<long>(n);
    }
    std::fclose(f);
    return exit_status();
}

int record_run(int argc, char** argv) {
    if (const char* log = env("ORVEL_FAKE_LOG")) {
        if (std::FILE* f = open_file(log, "ab")) {
            for (int i = 1; i < argc; ++i)
                std::fprintf(f, "%s\n", argv[i]);
            std::fprintf(f, "--\n");
            std::fclose(f);
        }
    }
    std::printf("fake mame: starting\n");
    std::fflush(stdout);
    std::fprintf(stderr, "fake mame: warning line\n");
    std::printf("fake mame: running %s\n", argc > 1 ? argv[1] : "(no machine)");
    std::fflush(stdout);
    // Output that floods a console: so many short lines, one line of so many bytes.
    if (const char* count = env("ORVEL_FAKE_LINES")) {
        const long lines = std::strtol(count, nullptr, 10);
        for (long i = 1; i <= lines; ++i)
            std::printf("fake mame: line %ld\n", i);
    }
    if (const char* bytes = env("ORVEL_FAKE_LONG_LINE")) {
        const std::string line(static_cast<std::size_t>(std::strtol(bytes, nullptr, 10)), 'x');
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::printf("\n");
    }
    std::fflush(stdout);
    if (const char* ms = env("ORVEL_FAKE_RUN_MS"))
        std::this_thread::sleep_for(std::chrono::milliseconds(std::strtol(ms, nullptr, 10)));
    std::printf("fake mame: done\n");
    // A failing run, as MAME ends one whose romset is incomplete (its text in colour).
    if (env("ORVEL_FAKE_EXIT"))
        std::printf("\x1b[1;31mRequired files are missing, the machine cannot be run.\x1b[0m\n");
    return exit_status();
}

} // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // The arguments exactly as the wide command line carries them, and output byte for byte
    // as on other systems (no CR added before LF).
    int wide_argc = 0;
    wchar_t** wide_argv = ::CommandLineToArgvW(::GetCommandLineW(), &wide_argc);
    std::vector<std::string> arg_texts;
    for (int i = 0; i < wide_argc; ++i)
        arg_texts.push_back(utf8(wide_argv[i]));
    std::vector<char*> arg_pointers;
    for (std::string& a : arg_texts)
        arg_pointers.push_back(a.data());
    arg_pointers.push_back(nullptr);
    argc = wide_argc;
    argv = arg_pointers.data();
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    if (argc == 2 && std::strcmp(argv[1], "--fake-helper") == 0) {
        if (const char* pid_file = env("ORVEL_FAKE_HELPER")) be_helper(pid_file);
        return 0;
    }
#endif
    if (const char* pid_file = env("ORVEL_FAKE_HELPER")) start_helper(pid_file);
    if (const char* pid_file = env("ORVEL_FAKE_PID")) {
        if (std::FILE* f = open_file(pid_file, "ab")) {
#ifdef _WIN32
            std::fprintf(f, "%lu\n", static_cast<unsigned long>(::GetCurrentProcessId()));
#else
            std::fprintf(f, "%d\n", static_cast<int>(::getpid()));
#endif
            std::fclose(f);
        }
    }
    if (env("ORVEL_FAKE_HANG")) std::this_thread::sleep_for(std::chrono::hours(1));
    if (const char* flood = env("ORVEL_FAKE_STDERR_FLOOD")) {
        const long bytes = std::strtol(flood, nullptr, 10);
        std::string chunk(1024, 'e');
        chunk.back() = '\n';
        for (long done = 0; done < bytes; done += 1024)
            std::fwrite(chunk.data(), 1, chunk.size(), stderr);
    }
    if (argc == 2 && std::strcmp(argv[1], "-cc") == 0) return write_config();
    if (argc == 2 && std::strcmp(argv[1], "-showconfig") == 0) return show_config();
    if (argc == 3 && std::strcmp(argv[1], "-lx") == 0 && std::strcmp(argv[2], "-nodtd") == 0)
        return print_listing();
    if (argc == 2 && std::strcmp(argv[1], "-version") == 0) {
        const char* v = env("ORVEL_FAKE_VERSION");
        std::printf("%s\n", v ? v : "0.251 (fake)");
        return 0;
    }
    return record_run(argc, argv);
}
