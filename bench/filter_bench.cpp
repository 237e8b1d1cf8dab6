// Times the filter pass as the search box drives it, and the filter tree build, on a full
// machine list. The list comes from MAME's XML listing: the file named by ORVEL_BENCH_LISTING,
// or the one kept in the build folder, written once by running MAME (ORVEL_BENCH_MAME, default
// /usr/games/mame) with -lx -nodtd. Without either, a generated list of 45,294 machines with
// realistic field values stands in (and the output says so).

#include "bench_inputs.h"
#include "filters/filter_pass.h"
#include "filters/filter_set.h"
#include "filters/filter_tree.h"
#include "filters/list_texts.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/text.h"

#if __has_include("database/listing_build.h")
#include "database/listing_build.h"
#define ORVEL_HAVE_LISTING_PARSER 1
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <vector>

using namespace orvel;
using Clock = std::chrono::steady_clock;

namespace {

double ms_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[std::min(v.size() - 1, static_cast<size_t>(p * v.size()))];
}

// A stand-in list: word-built titles, a few thousand manufacturers and source files, clones,
// devices that cannot run, BIOS sets, disks and software lists in roughly MAME's proportions.
MachineList synthetic_machines(size_t count) {
    std::mt19937 rng(251);
    static const char* words[] = {
        "Street", "Fighter",    "Pac",      "Man",      "Super",    "Mario",    "Galaxy",
        "Space",  "Invaders",   "Dragon",   "Ninja",    "Turtles",  "Champion", "Racing",
        "Soccer", "Tennis",     "Golf",     "Poker",    "Slot",     "Quiz",     "Mahjong",
        "World",  "Cup",        "Hyper",    "Turbo",    "Force",    "Strike",   "Attack",
        "Battle", "Warriors",   "Legend",   "Knight",   "Star",     "Wars",     "Puzzle",
        "Bobble", "Tetris",     "Deluxe",   "Edition",  "Plus",     "II",       "III",
        "Gold",   "Arcade",     "Computer", "Terminal", "Keyboard", "Module",   "Board",
        "Device", "Controller", "Fruit",    "Machine",  "Bingo"};
    const size_t nwords = sizeof(words) / sizeof(words[0]);
    std::uniform_int_distribution<size_t> word(0, nwords - 1);
    std::uniform_int_distribution<int> percent(0, 99);
    MachineList machines(count);
    for (size_t i = 0; i < count; ++i) {
        Machine& m = machines[i];
        const int nw = 2 + static_cast<int>(rng() % 4);
        for (int w = 0; w < nw; ++w) {
            if (w) m.description += ' ';
            m.description += words[word(rng)];
        }
        m.description += " (set " + std::to_string(i % 7) + ")";
        m.name = "m" + std::to_string(i * 7919 % 1000003);
        m.sourcefile = "drv" + std::to_string(rng() % 2600) + ".cpp";
        m.manufacturer = "Maker " + std::to_string(rng() % 1800);
        const int y = percent(rng);
        m.year = y < 3 ? std::string() : std::to_string(1971 + rng() % 52) + (y < 8 ? "?" : "");
        m.cloneof = percent(rng) < 35 ? "m" + std::to_string(rng() % count) : std::string();
        m.runnable = percent(rng) >= 28;
        m.isdevice = !m.runnable;
        m.isavailable = percent(rng) < 20;
        m.driver_status = percent(rng) < 50   ? "good"
                          : percent(rng) < 50 ? "imperfect"
                                              : "preliminary";
        m.screen_type = m.runnable ? (percent(rng) < 90 ? "raster" : "lcd") : "";
        m.screen_rotate = m.screen_type.empty() ? "" : (percent(rng) < 25 ? "270" : "0");
        if (percent(rng) < 5) m.bios_sets.push_back({"bios", "BIOS"});
        if (percent(rng) < 3) m.disks.push_back("disk");
        if (percent(rng) < 12) m.softwarelists.push_back("list");
        m.commandlines.push_back({"Default", "", -1});
    }
    std::stable_sort(machines.begin(), machines.end(), [](const Machine& a, const Machine& b) {
        return icompare(a.description, b.description) < 0;
    });
    return machines;
}

bool load_listing(MachineList& machines, std::string& source) {
#ifdef ORVEL_HAVE_LISTING_PARSER
    const std::string path = bench::bench_listing();
    if (path.empty()) return false;
    const auto start = Clock::now();
    const ListingParse parse = parse_listing_file(path, machines);
    if (!parse.opened || !parse.ok || machines.empty()) return false;
    sort_by_description(machines);
    source = path + " (parsed in " + std::to_string(static_cast<int>(ms_since(start))) + " ms)";
    return true;
#else
    (void)machines;
    (void)source;
    return false;
#endif
}

} // namespace

int main() {
    MachineList machines;
    std::string source;
    if (!load_listing(machines, source)) {
        machines = synthetic_machines(45294);
        source = "a generated list (no MAME listing available)";
    }
    std::printf("machines: %zu from %s\n", machines.size(), source.c_str());

    FilterSet filter;
    FolderList folders;
    ViewList view;
    ListIndex index;

    auto t = Clock::now();
    filter_machines(machines, filter, folders, SortType::Description, view, index);
    std::printf("first filter pass (builds search keys, checks the order): %.2f ms, %zu rows\n",
                ms_since(t), view.size());

    // A refill as the list model sees it: the pass, then the cells of one screen of rows.
    std::size_t sink = 0;
    auto refill = [&]() {
        const auto start = Clock::now();
        filter_machines(machines, filter, folders, SortType::Description, view, index);
        for (size_t row = 0; row < view.size() && row < 40; ++row) {
            const Machine& m = machines[static_cast<size_t>(view[row])];
            sink += title_cell(m).size() + m.manufacturer.size() + m.year.size();
        }
        sink += status_texts(machines, view, view.empty() ? -1 : view.front()).fields[0].size();
        return ms_since(start);
    };

    const std::string typed = "street fighter";
    std::vector<double> keystrokes, typing, deleting;
    std::vector<size_t> rows_seen;
    for (int round = 0; round < 20; ++round) {
        for (size_t n = 1; n <= typed.size(); ++n) {
            set_search_text(filter, typed.substr(0, n));
            const double ms = refill();
            keystrokes.push_back(ms);
            typing.push_back(ms);
            if (round == 0) rows_seen.push_back(view.size());
        }
        for (size_t n = typed.size(); n-- > 0;) {
            set_search_text(filter, typed.substr(0, n));
            const double ms = refill();
            keystrokes.push_back(ms);
            deleting.push_back(ms);
        }
    }
    std::printf("search keystroke refill (\"%s\" typed and deleted, %zu keystrokes): median %.3f "
                "ms, 90th percentile %.3f ms, max %.3f ms\n",
                typed.c_str(), keystrokes.size(), median(keystrokes), percentile(keystrokes, 0.9),
                *std::max_element(keystrokes.begin(), keystrokes.end()));
    std::printf("  typing: median %.3f ms; deleting: median %.3f ms; rows while typing:",
                median(typing), median(deleting));
    for (size_t r : rows_seen)
        std::printf(" %zu", r);
    std::printf("\n");

    // Texts unrelated to each other: every keystroke scans all search keys afresh.
    static const char* fresh_words[] = {"pac",  "kong", "xevious", "galaga", "mortal", "tetris",
                                        "1942", "sf2",  "zzz",     "q*bert", "ninja",  "(japan)"};
    std::vector<double> fresh;
    for (int round = 0; round < 20; ++round)
        for (const char* w : fresh_words) {
            set_search_text(filter, w);
            fresh.push_back(refill());
        }
    if (std::getenv("ORVEL_BENCH_DETAIL"))
        for (size_t w = 0; w < sizeof(fresh_words) / sizeof(fresh_words[0]); ++w)
            std::printf("  %-8s %.3f ms\n", fresh_words[w],
                        fresh[w + sizeof(fresh_words) / sizeof(fresh_words[0])]);
    std::printf("refill for an unrelated search text (full scan of the keys): median %.3f ms, "
                "90th percentile %.3f ms\n",
                median(fresh), percentile(fresh, 0.9));

    set_search_text(filter, "street");
    refill();
    std::vector<double> same;
    for (int i = 0; i < 200; ++i)
        same.push_back(refill());
    std::printf("refill that changes nothing (search \"street\"): median %.3f ms\n", median(same));
    set_search_text(filter, "");
    refill();
    same.clear();
    for (int i = 0; i < 200; ++i)
        same.push_back(refill());
    std::printf("refill that changes nothing (default filters, %zu rows): median %.3f ms\n",
                view.size(), median(same));

    std::vector<double> sort_switch;
    for (int i = 0; i < 5; ++i) {
        t = Clock::now();
        filter_machines(machines, filter, folders, i % 2 ? SortType::Description : SortType::Name,
                        view, index);
        sort_switch.push_back(ms_since(t));
    }
    std::printf("refill after a sort type change: median %.2f ms\n", median(sort_switch));

    TreeItemList items;
    std::vector<double> builds, build_cpu;
    for (int i = 0; i < 31; ++i) {
        t = Clock::now();
        const std::clock_t c = std::clock();
        build_filter_tree(machines, folders, items);
        builds.push_back(ms_since(t));
        build_cpu.push_back(1000.0 * static_cast<double>(std::clock() - c) / CLOCKS_PER_SEC);
    }
    std::printf("filter tree build: median %.2f ms, fastest %.2f ms (processor time: median "
                "%.2f ms), %zu items\n",
                median(builds), *std::min_element(builds.begin(), builds.end()), median(build_cpu),
                items.size());
    return sink == 0 ? 1 : 0;
}
