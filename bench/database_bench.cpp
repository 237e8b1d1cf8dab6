// Figures of the machine database on MAME's full listing, each beside its baseline:
//   build from an existing "orvel.tmp" (parse, scan with an empty rompath, sort, save) against a
//   bare Expat pass that only counts elements; the build's peak resident memory; load and save
//   of the resulting database file against a plain read that only splits it into lines; the
//   first start with the real MAME (listing plus build) against "-lx -nodtd" alone.
//
// The listing comes from ORVEL_BENCH_LISTING, else the one kept in the build folder (written
// once with the installed MAME). ORVEL_BENCH_SKIP_MAME=1 leaves out the runs of the real MAME.

#include "bench_inputs.h"
#include "database/database_file.h"
#include "database/listing_build.h"
#include "host/host.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/text.h"
#include "settings/mame_paths.h"
#include "settings/settings.h"

#include <expat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>

using namespace orvel;

namespace {

class QuietHost : public SilentHost {
  public:
    Answer message(std::string_view title, std::string_view text, Buttons, Icon) override {
        std::fprintf(stderr, "message: %.*s: %.*s\n", int(title.size()), title.data(),
                     int(text.size()), text.data());
        return Answer::Ok;
    }
    void set_progress(std::string_view text) override {
        if (!trace) return;
        const double t =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - trace_start).count();
        std::printf("    %7.3f s  %.*s\n", t, int(text.size()), text.data());
    }
    bool trace = false;
    std::chrono::steady_clock::time_point trace_start;
    void keep_alive() override { ++calls; }
    long calls = 0;
};

// Wall-clock and processor time of one job. The machine may be shared, so processor time
// (user + system of this process, children excluded) is the steadier figure.
struct Time {
    double wall = 1e9;
    double cpu = 1e9;
    void keep_best(const Time& t) {
        wall = std::min(wall, t.wall);
        cpu = std::min(cpu, t.cpu);
    }
};

double cpu_now() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

Time seconds(const std::function<void()>& job) {
    const auto start = std::chrono::steady_clock::now();
    const double cpu_start = cpu_now();
    job();
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
            cpu_now() - cpu_start};
}

long status_kb(const char* key) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + std::strlen(key));
    return -1;
}

void reset_peak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

long bare_expat_pass(const std::string& path) {
    long elements = 0;
    XML_Parser parser = XML_ParserCreate(nullptr);
    XML_SetUserData(parser, &elements);
    XML_SetStartElementHandler(
        parser, [](void* data, const XML_Char*, const XML_Char**) { ++*static_cast<long*>(data); });
    std::FILE* f = std::fopen(path.c_str(), "rb");
    for (;;) {
        void* buffer = XML_GetBuffer(parser, 1 << 20);
        const size_t n = std::fread(buffer, 1, 1 << 20, f);
        if (XML_ParseBuffer(parser, int(n), n == 0) == XML_STATUS_ERROR) {
            std::fprintf(stderr, "bare pass: %s\n", XML_ErrorString(XML_GetErrorCode(parser)));
            break;
        }
        if (n == 0) break;
    }
    std::fclose(f);
    XML_ParserFree(parser);
    return elements;
}

void row(const char* what, Time value, const char* base_what, Time base, double target) {
    std::printf("%-34s wall %7.3f s cpu %7.3f s | %-28s wall %7.3f s cpu %7.3f s | ratio wall "
                "%5.2f cpu %5.2f (target <= %.2f)\n",
                what, value.wall, value.cpu, base_what, base.wall, base.cpu, value.wall / base.wall,
                value.cpu / base.cpu, target);
}

// For runs of a child process, whose processor time is not this process's: wall clock only.
void wall_row(const char* what, double value, const char* base_what, double base, double target) {
    std::printf("%-34s wall %7.3f s | %-28s wall %7.3f s | ratio %5.2f (target <= %.2f)\n", what,
                value, base_what, base, value / base, target);
}

} // namespace

int main() {
    const std::string work = temp_folder() + "orvel_bench_" + std::to_string(::getpid()) + "/";
    const std::string mame_folder = work + "mame/";
    create_folders(mame_folder);
    create_folders(work + "data/");

    const std::string mame = bench::bench_mame();
    const bool have_mame = file_exists(mame);
    const std::string listing = bench::bench_listing();
    if (listing.empty()) {
        std::fprintf(stderr, "no listing (set ORVEL_BENCH_LISTING) and no MAME to write one\n");
        return 1;
    }
    std::printf("listing: %s (%lld bytes)\n", listing.c_str(),
                static_cast<long long>(file_size(listing)));

    Settings settings;
    set_default_settings(settings, work);
    settings.ORVEL_Data = work + "data/";
    settings.MAME_Path = mame_folder;
    settings.MAME_Exe = mame;
    settings.MAME_Version = "0.251";
    MamePaths paths; // empty rompath: the scan leaves availability alone
    QuietHost host;
    const std::string tmp = mame_folder + std::string(listing_file_name);

    // Warm the page cache, then time the bare pass and the build twice each; keep the best.
    long elements = bare_expat_pass(listing);
    Time bare, build;
    long peak_kb = 0;
    size_t machines_count = 0;
    for (int round = 0; round < 3; ++round) {
        bare.keep_best(seconds([&] { elements = bare_expat_pass(listing); }));
        copy_file(listing, tmp);
        delete_file(database_path(settings));
        ::sync(); // a left-over listing lies on disk already, not in dirty pages
        MachineList machines;
        ViewList view;
        bool changed = false;
        reset_peak();
        const long before_kb = status_kb("VmRSS:");
        host.trace = round == 2;
        host.trace_start = std::chrono::steady_clock::now();
        build.keep_best(
            seconds([&] { (void)build_database(settings, paths, machines, view, changed, host); }));
        host.trace = false;
        peak_kb = std::max(peak_kb, status_kb("VmHWM:") - 0 * before_kb);
        machines_count = machines.size();
    }
    Time parse_only;
    for (int round = 0; round < 2; ++round) {
        MachineList machines;
        parse_only.keep_best(seconds([&] { (void)parse_listing_file(listing, machines); }));
    }
    std::printf("elements: %ld, machines: %zu, database file: %lld bytes\n", elements,
                machines_count, static_cast<long long>(file_size(database_path(settings))));
    row("build from orvel.tmp", build, "bare Expat pass", bare, 1.25);
    row("  of which the parse alone", parse_only, "bare Expat pass", bare, 1.25);
    std::printf("%-44s %8.1f MB  (target <= 200 MB)\n", "peak resident memory of the build",
                peak_kb / 1024.0);

    // Load and save against a plain read that splits the file into lines.
    const std::string db = database_path(settings);
    Time plain, load, save;
    size_t lines = 0;
    for (int round = 0; round < 3; ++round) {
        plain.keep_best(seconds([&] {
            const auto bytes = read_file(db, no_size_limit);
            lines = split_lines(*bytes).size();
        }));
        MachineList machines;
        ViewList view;
        load.keep_best(seconds([&] { (void)load_database(settings, machines, view, host); }));
        bool changed = true;
        save.keep_best(seconds([&] { (void)save_database(machines, settings, changed, host); }));
    }
    std::printf("database lines: %zu\n", lines);
    row("load database file", load, "plain read split into lines", plain, 5.0);
    row("save database file", save, "plain read split into lines", plain, 5.0);

    const char* skip = std::getenv("ORVEL_BENCH_SKIP_MAME");
    if (have_mame && !(skip && *skip == '1')) {
        const std::string alone_file = work + "alone.xml";
        const double alone =
            seconds([&] { run_redirected(mame, "-lx -nodtd", work, alone_file); }).wall;
        delete_file(alone_file);
        delete_file(db);
        delete_file(tmp);
        MachineList machines;
        ViewList view;
        bool changed = false;
        const double first =
            seconds([&] {
                (void)build_database(settings, paths, machines, view, changed, host);
            }).wall;
        wall_row("first start (listing + build)", first, "mame -lx -nodtd alone", alone, 1.2);
    } else {
        std::printf("first start: skipped (no MAME at %s or ORVEL_BENCH_SKIP_MAME=1)\n",
                    mame.c_str());
    }
    std::filesystem::remove_all(work);
    return 0;
}
