// DAT lookups: the first lookup in a file (which builds its index in one pass) against one plain
// sequential read of the same file, and the lookups that follow.
//   dat_bench [FOLDER]   (default: a fresh folder under the temporary folder, removed after)

#include "dat_generator.h"
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
using namespace orvel::bench;
using Clock = std::chrono::steady_clock;

namespace {

double ms_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
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

// The uncached way: the file read line by line with a 256 KiB buffer, each line compared with
// the "$info=" line of the key.
double line_read(const std::string& path, const std::string& key) {
    const auto start = Clock::now();
    std::FILE* f = std::fopen(path.c_str(), "rb");
    std::vector<char> buffer(262144);
    const std::string wanted = "$info=" + key;
    std::string carry;
    std::size_t hits = 0;
    auto line = [&](std::string_view l) {
        if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
        if (l == wanted) ++hits;
    };
    while (std::size_t got = std::fread(buffer.data(), 1, buffer.size(), f)) {
        std::string_view chunk(buffer.data(), got);
        while (!chunk.empty()) {
            const std::size_t nl = chunk.find('\n');
            if (nl == std::string_view::npos) {
                carry.append(chunk);
                break;
            }
            if (carry.empty()) {
                line(chunk.substr(0, nl));
            } else {
                carry.append(chunk.substr(0, nl));
                line(carry);
                carry.clear();
            }
            chunk.remove_prefix(nl + 1);
        }
    }
    std::fclose(f);
    const double ms = ms_since(start);
    if (hits > 1000000) std::printf("(impossible)\n");
    return ms;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void measure(const char* label, const std::string& path, int entries) {
    const double mb = static_cast<double>(file_size(path)) / (1024.0 * 1024.0);
    plain_read(path); // warm the page cache for both measurements alike
    std::vector<double> reads, lines, firsts;
    std::string text;
    for (int round = 0; round < 7; ++round) {
        reads.push_back(plain_read(path));
        lines.push_back(line_read(path, machine_name(entries / 2)));
        DatCache cache;
        const auto start = Clock::now();
        text = cache.dat_entries(path, machine_name(entries / 2));
        firsts.push_back(ms_since(start));
    }
    const double read_ms = median(reads), line_ms = median(lines), first_ms = median(firsts);

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
    std::printf("  line-by-line read       %8.2f ms (median of 7)\n", line_ms);
    std::printf("  first lookup (index)    %8.2f ms (median of 7)  ratio to plain read %.3f, "
                "to line-by-line read %.3f\n",
                first_ms, first_ms / read_ms, first_ms / line_ms);
    std::printf("  later lookups (%zu)    mean %.4f ms, median %.4f ms, 99th %.4f ms, max %.4f ms, "
                "%zu found; index builds %llu\n",
                later.size(), sum / static_cast<double>(later.size()), later[later.size() / 2],
                later[later.size() * 99 / 100], later.back(), found,
                static_cast<unsigned long long>(cache.index_builds()));
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
