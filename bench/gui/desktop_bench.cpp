// The desktop program on the real database: time from start to the main window shown with its
// list filled, resident memory afterwards, and one search keystroke to the list repainted.
//
// ORVEL_BENCH_DATA: a start folder holding "ORVEL_Data/" with ORVEL.prefs and ORVEL.qld. When
// it is missing, a folder in the build tree is prepared once from the MAME named by
// ORVEL_BENCH_MAME (default /usr/games/mame) and its listing (ORVEL_BENCH_LISTING, default the
// one kept in the build folder, written with "-lx -nodtd" when absent).
// Run with QT_QPA_PLATFORM=offscreen for a headless figure.

#include "app/startup.h"
#include "bench_inputs.h"
#include "database/database_file.h"
#include "database/listing_build.h"
#include "gui/desktop_start.h"
#include "gui/icon_set.h"
#include "gui/machine_list_model.h"
#include "gui/machine_list_view.h"
#include "gui/main_window.h"
#include "gui/qt_host.h"
#include "gui/toolbar_strip.h"
#include "platform/files.h"
#include "platform/process.h"

#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

using orvel::bench::env_or;
using orvel::bench::resident_kb;

// A host that answers every question with Yes and shows nothing.
struct QuietHost : orvel::SilentHost {
    orvel::Answer message(std::string_view title, std::string_view text, orvel::Buttons b,
                          orvel::Icon) override {
        std::printf("question: %.*s: %.*s\n", static_cast<int>(title.size()), title.data(),
                    static_cast<int>(text.size()), text.data());
        return b == orvel::Buttons::YesNo ? orvel::Answer::Yes : orvel::Answer::Ok;
    }
};

// The desktop host whose questions are answered the same way.
struct QuietQtHost : orvel::gui::QtHost {
    QuietHost answers;
    orvel::Answer message(std::string_view title, std::string_view text, orvel::Buttons b,
                          orvel::Icon icon) override {
        return answers.message(title, text, b, icon);
    }
};

bool prepare_data(const std::string& start) {
    orvel::Settings settings;
    orvel::set_default_settings(settings, start);
    if (orvel::file_size(orvel::database_path(settings)) > 0) return true;
    std::printf("preparing %s (once)...\n", start.c_str());
    QuietHost host;
    orvel::create_folders(start);
    if (!orvel::apply_chosen_mame(settings, host, orvel::bench::bench_mame())) return false;
    const std::string listing = orvel::bench::bench_listing();
    if (listing.empty()) return false;
    orvel::MachineList machines;
    if (!orvel::parse_listing_file(listing, machines).ok()) return false;
    orvel::sort_by_description(machines);
    bool changed = false;
    return orvel::save_database(machines, settings, changed, host).ok();
}

} // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const std::string start =
        orvel::with_separator(env_or("ORVEL_BENCH_DATA", orvel::bench::bench_folder() + "desktop"));
    if (!prepare_data(start)) {
        std::fprintf(stderr, "desktop_bench: could not prepare the database\n");
        return 1;
    }
    const long rss_before = resident_kb();

    // From here on: what the program does from its first line to the filled main window.
    const Clock::time_point t0 = Clock::now();
    QApplication app(argc, argv);
    QuietQtHost host;
    orvel::gui::Session session;
    orvel::gui::IconSet icons;
    icons.prepare();
    orvel::StartupOptions options;
    options.start_directory = start;
    options.desktop_width = 1920;
    options.desktop_height = 1080;
    if (orvel::run_startup(session.whole_state().settings, session.whole_state().mame_paths, host,
                           options)
            .outcome != orvel::StartupOutcome::Continue) {
        std::fprintf(stderr, "desktop_bench: start-up ended early\n");
        return 1;
    }
    const double startup_ms = ms_since(t0);
    // The database is loaded as a job; the event loop runs until the main window is there.
    std::unique_ptr<orvel::gui::MainWindow> window;
    QEventLoop started;
    orvel::gui::start_desktop(session, host, icons, {},
                              [&](std::unique_ptr<orvel::gui::MainWindow> shown) {
                                  window = std::move(shown);
                                  started.quit();
                              });
    started.exec();
    if (!window) {
        std::fprintf(stderr, "desktop_bench: no main window\n");
        return 1;
    }
    window->list()->viewport()->repaint();
    QApplication::processEvents();
    const double shown_ms = ms_since(t0);
    const long rss_after = resident_kb();

    std::printf("machines: %zu, rows shown: %d\n", session.whole_state().machines.size(),
                window->model()->rowCount());
    std::printf("start to the checks before the database done (application, icons, settings, "
                "MAME): %.1f ms\n",
                startup_ms);
    std::printf("start to main window shown with its list filled: %.1f ms\n", shown_ms);
    std::printf("resident memory after start-up: %.1f MB (before the application: %.1f MB)\n",
                rss_after / 1024.0, rss_before / 1024.0);

    // Search keystrokes: type a few titles letter by letter and clear them again.
    QLineEdit* search = window->toolbar()->search_box();
    std::vector<double> times;
    const char* words[] = {"pac-man", "street fighter", "galaga", "zzz", "1942", "mario"};
    for (int round = 0; round < 3; ++round)
        for (const char* word : words) {
            for (const char* c = word; *c; ++c) {
                const Clock::time_point k = Clock::now();
                QTest::keyClicks(search, QString(QLatin1Char(*c)));
                window->list()->viewport()->repaint();
                times.push_back(ms_since(k));
            }
            const Clock::time_point k = Clock::now();
            search->clear();
            window->list()->viewport()->repaint();
            times.push_back(ms_since(k));
        }
    std::sort(times.begin(), times.end());
    std::printf("search keystroke to list repainted: median %.2f ms, 90th %.2f ms, max %.2f ms "
                "(%zu keystrokes)\n",
                times[times.size() / 2], times[times.size() * 9 / 10], times.back(), times.size());
    window->close();
    return 0;
}
