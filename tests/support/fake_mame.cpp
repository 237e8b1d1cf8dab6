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

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

const char* env(const char* name) {
    const char* v = std::getenv(name);
    return v && *v ? v : nullptr;
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
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        std::fwrite(buf, 1, n, stdout);
    std::fclose(f);
    return 0;
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
    if (const char* code = env("ORVEL_FAKE_EXIT")) {
        std::printf("\x1b[1;31mRequired files are missing, the machine cannot be run.\x1b[0m\n");
        return std::atoi(code);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (env("ORVEL_FAKE_HANG")) std::this_thread::sleep_for(std::chrono::hours(1));
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
