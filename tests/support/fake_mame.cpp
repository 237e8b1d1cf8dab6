// A stand-in for the MAME executable, built by the project so that whole flows can be tested
// without the real emulator.
//
//   -cc            writes mame.ini and ui.ini (26-column layout) into the working folder
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
// prints MAME's "Required files are missing" line).

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include <unistd.h>

namespace {

const char* env(const char* name) {
    const char* v = std::getenv(name);
    return v && *v ? v : nullptr;
}

int exit_status() {
    const char* status = env("ORVEL_FAKE_EXIT");
    return status ? std::atoi(status) : 0;
}

void start_helper(const char* pid_file) {
    std::fflush(nullptr);
    if (::fork() != 0) return;
    if (std::FILE* f = std::fopen(pid_file, "ab")) {
        std::fprintf(f, "%d\n", static_cast<int>(::getpid()));
        std::fclose(f);
    }
    std::this_thread::sleep_for(std::chrono::minutes(1));
    ::_exit(0);
}

void write_ini_line(std::FILE* f, const char* key, const char* value) {
    std::fprintf(f, "%-26s%s\n", key, value);
}

int write_config() {
    if (env("ORVEL_FAKE_NO_CC")) return 0;
    std::FILE* f = std::fopen("mame.ini", "wb");
    if (!f) return 1;
    std::fprintf(f, "#\n# CORE CONFIGURATION OPTIONS\n#\nreadconfig                1\n\n");
    std::fprintf(f, "#\n# CORE SEARCH PATH OPTIONS\n#\n");
    write_ini_line(f, "homepath", ".");
    write_ini_line(f, "rompath", "roms");
    write_ini_line(f, "hashpath", "hash");
    write_ini_line(f, "samplepath", "samples");
    write_ini_line(f, "artpath", "artwork");
    write_ini_line(f, "ctrlrpath", "ctrlr");
    write_ini_line(f, "inipath", ".;ini;ini/presets");
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

int print_listing() {
    const char* path = env("ORVEL_FAKE_LISTING");
    if (!path) {
        std::fprintf(stderr, "ORVEL_FAKE_LISTING is not set\n");
        return 1;
    }
    std::FILE* f = std::fopen(path, "rb");
    if (!f) {
        std::fprintf(stderr, "cannot open %s\n", path);
        return 1;
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
        if (std::FILE* f = std::fopen(log, "ab")) {
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
    std::printf("fake mame: done\n");
    // A failing run, as MAME ends one whose romset is incomplete (its text in colour).
    if (env("ORVEL_FAKE_EXIT"))
        std::printf("\x1b[1;31mRequired files are missing, the machine cannot be run.\x1b[0m\n");
    return exit_status();
}

} // namespace

int main(int argc, char** argv) {
    if (env("ORVEL_FAKE_HANG")) std::this_thread::sleep_for(std::chrono::hours(1));
    if (const char* pid_file = env("ORVEL_FAKE_HELPER")) start_helper(pid_file);
    if (const char* flood = env("ORVEL_FAKE_STDERR_FLOOD")) {
        const long bytes = std::strtol(flood, nullptr, 10);
        std::string chunk(1024, 'e');
        chunk.back() = '\n';
        for (long done = 0; done < bytes; done += 1024)
            std::fwrite(chunk.data(), 1, chunk.size(), stderr);
    }
    if (argc == 2 && std::strcmp(argv[1], "-cc") == 0) return write_config();
    if (argc == 3 && std::strcmp(argv[1], "-lx") == 0 && std::strcmp(argv[2], "-nodtd") == 0)
        return print_listing();
    if (argc == 2 && std::strcmp(argv[1], "-version") == 0) {
        const char* v = env("ORVEL_FAKE_VERSION");
        std::printf("%s\n", v ? v : "0.251 (fake)");
        return 0;
    }
    return record_run(argc, argv);
}
