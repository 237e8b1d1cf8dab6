// DAT lookups: the first lookup in a file (which builds its index in one pass) against one plain
// sequential read of the same file, and the lookups that follow.
//   dat_bench [FOLDER]   (default: a fresh folder under the temporary folder, removed after)

#include "info/dat_files.h"
#include "platform/files.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

using namespace orvel;
using Clock = std::chrono::steady_clock;

namespace {

double ms_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::string machine_name(int i) {
    return "mach" + std::to_string(i);
}

const char* const words[] = {"the",    "arcade", "game",   "was",   "released", "in",
                             "Japan",  "by",     "Namco",  "with",  "a",        "maze",
                             "player", "ghosts", "points", "level", "bonus",    "fruit"};

void append_paragraph(std::string& out, std::mt19937& rng, int words_count) {
    std::string line;
    for (int w = 0; w < words_count; ++w) {
        line += words[rng() % (sizeof words / sizeof *words)];
        line += ' ';
        if (line.size() > 70) {
            out += line;
            out += "\r\n";
            line.clear();
        }
    }
    out += line + "\r\n\r\n";
}

// A history-like file: entries naming a parent and two clones, a bio with paragraphs.
int write_history(const std::string& path, std::size_t target) {
    std::mt19937 rng(1);
    std::string out;
    out.reserve(target + 65536);
    int n = 0;
    while (out.size() < target) {
        out += "$info=" + machine_name(n) + "," + machine_name(n) + "a," + machine_name(n) +
               "b,\r\n$bio\r\n\r\n";
        for (int p = 0; p < 6; ++p)
            append_paragraph(out, rng, 60 + static_cast<int>(rng() % 60));
        out += "- TECHNICAL -\r\n\r\nMain CPU : Z80 (@ 3.072 Mhz)\r\n\r\n$end\r\n\r\n";
        ++n;
    }
    write_file_atomic(path, out);
    return n;
}

// A mameinfo-like file: one name per entry, short notes.
int write_mameinfo(const std::string& path, std::size_t target) {
    std::mt19937 rng(2);
    std::string out = "# MAMEINFO.DAT\r\n\r\n";
    int n = 0;
    while (out.size() < target) {
        out += "$info=" + machine_name(n) + "\r\n$mame\r\n";
        append_paragraph(out, rng, 20 + static_cast<int>(rng() % 60));
        out += "WIP:\r\n\r\n- 0.251: fixed something.\r\n\r\n$end\r\n\r\n";
        ++n;
    }
    write_file_atomic(path, out);
    return n;
}

double plain_read(const std::string& path) {
    const auto start = Clock::now();
    std::FILE* f = std::fopen(path.c_str(), "rb");
    std::vector<char> buffer(262144);
    std::size_t total = 0;
    while (std::size_t got = std::fread(buffer.data(), 1, buffer.size(), f))
        total += got;
    std::fclose(f);
    const double ms = ms_since(start);
    if (total == 0) std::printf("(empty read)\n");
    return ms;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void measure(const char* label, const std::string& path, int entries) {
    const double mb = static_cast<double>(file_size(path)) / (1024.0 * 1024.0);
    plain_read(path); // warm the page cache for both measurements alike
    std::vector<double> reads, firsts;
    std::string text;
    for (int round = 0; round < 7; ++round) {
        reads.push_back(plain_read(path));
        DatCache cache;
        const auto start = Clock::now();
        text = cache.dat_entries(path, machine_name(entries / 2));
        firsts.push_back(ms_since(start));
    }
    const double read_ms = median(reads), first_ms = median(firsts);

    DatCache cache;
    cache.dat_entries(path, machine_name(0));
    std::mt19937 rng(3);
    std::vector<double> later;
    std::size_t found = 0;
    for (int i = 0; i < 2000; ++i) {
        const std::string key =
            machine_name(static_cast<int>(rng() % static_cast<unsigned>(entries))) +
            (i % 3 == 1 ? "a" : "");
        const auto start = Clock::now();
        found += cache.dat_entries(path, key).empty() ? 0 : 1;
        later.push_back(ms_since(start));
    }
    std::sort(later.begin(), later.end());
    double sum = 0;
    for (double v : later)
        sum += v;
    std::printf("%s: %.1f MB, %d entries (entry text %zu bytes)\n", label, mb, entries,
                text.size());
    std::printf("  plain sequential read   %8.2f ms (median of 7)\n", read_ms);
    std::printf("  first lookup (index)    %8.2f ms (median of 7)  ratio %.3f\n", first_ms,
                first_ms / read_ms);
    std::printf("  later lookups (%zu)    mean %.4f ms, median %.4f ms, max %.4f ms, "
                "%zu found; index builds %llu\n",
                later.size(), sum / static_cast<double>(later.size()), later[later.size() / 2],
                later.back(), found, static_cast<unsigned long long>(cache.index_builds()));
}

} // namespace

int main(int argc, char** argv) {
    const bool own_folder = argc < 2;
    const std::string folder =
        own_folder ? temp_folder() + "orvel_dat_bench_" + std::to_string(::getpid()) + "/"
                   : with_separator(argv[1]);
    create_folders(folder);
    const std::string history = folder + "history.dat";
    const std::string mameinfo = folder + "mameinfo.dat";
    const int history_entries = write_history(history, 40u * 1024 * 1024);
    const int mameinfo_entries = write_mameinfo(mameinfo, 10u * 1024 * 1024);
    measure("history.dat", history, history_entries);
    measure("mameinfo.dat", mameinfo, mameinfo_entries);
    if (own_folder) {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
    return 0;
}
