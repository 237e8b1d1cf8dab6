// Times a captured MAME run (its output and error text written to output.txt and error.txt) for
// a stand-in MAME that prints a lot: lines, or one line without any line end, on standard output
// or on standard error. Prints the time, the throughput and the peak memory of each run. Each
// run is made in a process of its own, so that its peak memory is its own.
//   capture_bench [MB]   (default 128; ORVEL_CAPTURE_MB works too)

#include "bench_inputs.h"
#include "host/host.h"
#include "launch/launch.h"
#include "platform/files.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace orvel;

#ifdef _WIN32
int main() {
    std::puts("capture_bench: POSIX only (its stand-in MAME is a shell script).");
    return 0;
}
#else

namespace {

struct Case {
    const char* name;
    const char* command; // %llu: the byte count
};

constexpr Case cases[] = {
    {"output, 48-byte lines",
     "yes 'MAME says: here is a line of forty-seven bytes' | head -c %llu"},
    {"output, no line end", "head -c %llu /dev/zero | tr '\\0' x"},
    {"errors, 48-byte lines",
     "yes 'MAME says: here is a line of forty-seven bytes' | head -c %llu >&2"},
    {"errors, no line end", "head -c %llu /dev/zero | tr '\\0' x >&2"},
};

double peak_mb() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // KB on Linux
}

// In a child process: one captured run, then its figures on one line.
void run_case(const Case& c, unsigned long long bytes, const std::string& folder) {
    const std::string script = folder + "mame";
    char body[256];
    std::snprintf(body, sizeof body, c.command, bytes);
    if (!write_file_atomic(script, "#!/bin/sh\n" + std::string(body) + "\n")) std::_Exit(2);
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    SilentHost host;
    const double before = peak_mb();
    const auto start = std::chrono::steady_clock::now();
    const CapturedRun run = run_mame_captured({script, folder, false}, "", host, {}, false);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const auto written = file_size(run.output_path) + file_size(run.error_path);
    std::printf("%-24s %8.2f s %8.1f MB/s   peak %7.1f MB (%.1f MB before the run)   files %lld "
                "MB%s\n",
                c.name, seconds, static_cast<double>(bytes) / 1048576.0 / seconds, peak_mb(),
                before, static_cast<long long>(written >> 20), run.written ? "" : "  NOT WRITTEN");
    std::fflush(stdout);
    std::_Exit(0);
}

} // namespace

int main(int argc, char** argv) {
    unsigned long long mb = 128;
    if (const char* env = std::getenv("ORVEL_CAPTURE_MB")) mb = std::strtoull(env, nullptr, 10);
    if (argc > 1) mb = std::strtoull(argv[1], nullptr, 10);
    const std::string folder = bench::bench_folder() + "capture/";
    create_folders(folder);
    // The captured files go to a private folder below this one, not to the user's own.
    ::setenv("TMPDIR", folder.c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", "", 1);
    std::printf("Captured runs of %llu MB (time, throughput, peak memory of the whole process)\n",
                mb);
    for (const Case& c : cases) {
        std::fflush(stdout);
        const pid_t pid = ::fork();
        if (pid == 0) run_case(c, mb << 20, folder);
        int status = 0;
        ::waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            std::printf("%-24s failed (status %d)\n", c.name, status);
    }
    std::filesystem::remove_all(folder);
    return 0;
}
#endif
