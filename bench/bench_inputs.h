#pragma once
// Where the benchmarks find their inputs: environment variables first, else files kept in the
// build folder (ORVEL_BENCH_DIR), made once from the installed MAME. Nothing else is read.
//   ORVEL_BENCH_LISTING  MAME's full XML listing
//   ORVEL_BENCH_MAME     the MAME that writes the listing when none is named (/usr/games/mame)

#include "platform/files.h"
#include "platform/process.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace orvel::bench {

// The process's resident memory in KiB (Linux), -1 where it cannot be read.
inline long resident_kb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

inline std::string env_or(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return value && *value ? std::string(value) : fallback;
}

// The folder in the build tree where generated inputs are kept between runs.
inline std::string bench_folder() {
    const std::string folder = with_separator(ORVEL_BENCH_DIR);
    create_folders(folder);
    return folder;
}

inline std::string bench_mame() {
    return env_or("ORVEL_BENCH_MAME", "/usr/games/mame");
}

// The listing named by ORVEL_BENCH_LISTING, else the one kept in the build folder, written with
// "-lx -nodtd" the first time. Empty when there is neither a listing nor a MAME to write one.
inline std::string bench_listing() {
    const std::string named = env_or("ORVEL_BENCH_LISTING", "");
    if (!named.empty()) return file_size(named) > 0 ? named : std::string();
    const std::string kept = bench_folder() + "mame_listing.xml";
    if (file_size(kept) > 0) return kept;
    const std::string mame = bench_mame();
    if (file_size(mame) <= 0) return {};
    std::fprintf(stderr, "writing the listing with %s -lx -nodtd into %s ...\n", mame.c_str(),
                 kept.c_str());
    const std::string partial = kept + ".part";
    const RunResult run = run_redirected(mame, "-lx -nodtd", bench_folder(), partial);
    if (!run.started || run.exit_code != 0 || file_size(partial) <= 0) return {};
    std::error_code ec;
    std::filesystem::rename(partial, kept, ec);
    return ec ? std::string() : kept;
}

} // namespace orvel::bench
