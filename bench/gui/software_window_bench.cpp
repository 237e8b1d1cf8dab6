// The software list window on MAME's real software lists: time from opening to the window shown
// with its items (the NES list, 4,530 items, and vgmplay, about 20 MB of XML), and one search
// keystroke to the list repainted.
//
// ORVEL_BENCH_HASH: the hash folder (default Debian's /usr/share/games/mame/hash).
// Run with QT_QPA_PLATFORM=offscreen for a headless figure.

#include "gui/software_list_model.h"
#include "gui/software_list_window.h"
#include "platform/files.h"

#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Figures {
    double median = 0, worst = 0;
};
Figures figures(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.back()};
}

} // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    QApplication app(argc, argv);
    const char* hash = std::getenv("ORVEL_BENCH_HASH");
    orvel::Session session;
    orvel::AppState& state = session.whole_state();
    state.mame_paths.hashpath = hash && *hash ? hash : "/usr/share/games/mame/hash";
    state.mame_paths.rompath = "roms";
    state.settings.MAME_Path = orvel::temp_folder();
    orvel::Machine machine;
    machine.name = "bench";
    machine.description = "Benchmark Machine";
    state.machines.push_back(machine);
    orvel::SilentHost host;

    for (const char* list : {"nes", "vgmplay"}) {
        state.machines[0].softwarelists = {list};
        const std::string path = state.mame_paths.hashpath + "/" + list + ".xml";
        if (orvel::file_size(path) < 0) {
            std::fprintf(stderr, "software_window_bench: no %s\n", path.c_str());
            return 1;
        }
        std::vector<double> opening;
        std::size_t items = 0;
        for (int round = 0; round < 7; ++round) {
            const auto start = Clock::now();
            orvel::gui::SoftwareListWindow window(session, 0, host);
            window.show();
            if (!QTest::qWaitForWindowExposed(&window)) return 1;
            QApplication::processEvents();
            opening.push_back(ms_since(start));
            items = state.software_items.items.size();

            if (round == 0) {
                // Keystrokes typed one by one, and erased again, each to the list repainted.
                std::vector<double> keys;
                for (int pass = 0; pass < 3; ++pass) {
                    for (const char c : std::string("mario")) {
                        const auto key_start = Clock::now();
                        QTest::keyClick(window.search_box(), c);
                        window.item_list()->viewport()->repaint();
                        keys.push_back(ms_since(key_start));
                    }
                    for (int i = 0; i < 5; ++i) {
                        const auto key_start = Clock::now();
                        QTest::keyClick(window.search_box(), Qt::Key_Backspace);
                        window.item_list()->viewport()->repaint();
                        keys.push_back(ms_since(key_start));
                    }
                }
                const Figures k = figures(keys);
                std::printf("%s: search keystroke to list repainted: median %.2f ms, max %.2f ms "
                            "(%zu keystrokes; baseline 5 ms)\n",
                            list, k.median, k.worst, keys.size());
            }
        }
        const Figures o = figures(opening);
        std::printf("%s: %zu items, %lld bytes: opening to shown: median %.1f ms, max %.1f ms "
                    "(%zu openings; baseline %s)\n",
                    list, items, static_cast<long long>(orvel::file_size(path)), o.median, o.worst,
                    opening.size(), std::string(list) == "nes" ? "150 ms" : "400 ms");
    }
    return 0;
}
