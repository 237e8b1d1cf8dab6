// Opening the machine information window with a 40 MB history.dat and a 10 MB mameinfo.dat in
// the history folder: the first opening (each DAT index built) and the openings after it
// (indexes kept), each timed from the command to the window shown with its text and picture.
//   info_window_bench [FOLDER]   (default: a fresh folder under the temporary folder, removed
//   after). Run with QT_QPA_PLATFORM=offscreen for a headless figure.

#include "dat_generator.h"
#include "gui/machine_info_window.h"
#include "platform/files.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QListWidget>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <vector>

#include <unistd.h>

using namespace orvel;

namespace {

// Runs the command as the main window does and returns the milliseconds until the window
// shows the machine's title (it is loaded) and has painted; the window is then closed.
double open_once(QWidget& main_window, Session& session, std::size_t& lines) {
    QElapsedTimer clock;
    double shown_ms = -1;
    std::function<void()> watch = [&] {
        auto* window = qobject_cast<gui::MachineInfoWindow*>(QApplication::activeModalWidget());
        if (!window || window->windowTitle() == QStringLiteral("Loading Data...")) {
            QTimer::singleShot(0, watch);
            return;
        }
        window->repaint();
        shown_ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        lines = static_cast<std::size_t>(window->text_list()->count());
        window->reject();
    };
    QTimer::singleShot(0, watch);
    clock.start();
    gui::show_machine_info(&main_window, session, 0);
    return shown_ms;
}

void report(const char* label, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    std::printf("%-38s median %7.2f ms, min %7.2f ms, max %7.2f ms (%zu runs)\n", label,
                ms[ms.size() / 2], ms.front(), ms.back(), ms.size());
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool own_folder = argc < 2;
    const std::string folder =
        own_folder ? temp_folder() + "orvel_info_bench_" + std::to_string(::getpid()) + "/"
                   : with_separator(argv[1]);
    create_folders(folder + "history/");
    create_folders(folder + "titles/");
    create_folders(folder + "huge/");
    const int entries = bench::write_history(folder + "history/history.dat", 40u * 1024 * 1024);
    bench::write_mameinfo(folder + "history/mameinfo.dat", 10u * 1024 * 1024);

    Machine machine;
    machine.name = bench::machine_name(entries / 2);
    machine.description = "Benchmark Machine";
    QImage title(448, 576, QImage::Format_RGB32); // a vertical game's title screen
    title.fill(Qt::darkBlue);
    QPainter(&title).fillRect(40, 40, 368, 200, Qt::yellow);
    title.save(QString::fromStdString(folder + "titles/" + machine.name + ".png"));

    Session session;
    AppState& state = session.whole_state();
    state.machines.push_back(machine);
    state.settings.MAME_Path = folder;
    state.mame_paths.historypath = "history";
    state.mame_paths.titles_directory = "titles";
    QWidget main_window;
    main_window.resize(800, 600);
    main_window.show();
    QApplication::processEvents();

    std::printf("history.dat %.1f MB, mameinfo.dat %.1f MB, %d history entries\n",
                static_cast<double>(file_size(folder + "history/history.dat")) / 1048576.0,
                static_cast<double>(file_size(folder + "history/mameinfo.dat")) / 1048576.0,
                entries);
    std::size_t lines = 0;
    std::vector<double> first, later;
    for (int round = 0; round < 7; ++round) {
        state.dat_cache.clear();
        first.push_back(open_once(main_window, session, lines));
        for (int again = 0; again < 5; ++again)
            later.push_back(open_once(main_window, session, lines));
    }
    std::printf("text list lines shown: %zu; index builds %llu\n", lines,
                static_cast<unsigned long long>(state.dat_cache.index_builds()));
    report("first opening (indexes built):", first);
    report("later openings (indexes kept):", later);

    // One machine whose entry runs to 20,000 lines: laid out at its first opening only.
    {
        std::string entry = "$info=hugeentry,\n$mame\n";
        for (int line = 0; line < 20000; ++line)
            entry += "Line " + std::to_string(line) +
                     " of a very long entry, with enough words to need wrapping now and then.\n";
        write_file_atomic(folder + "huge/mameinfo.dat", entry + "$end\n");
        Session huge_session;
        AppState& huge_state = huge_session.whole_state();
        huge_state.settings = state.settings;
        huge_state.mame_paths = state.mame_paths;
        huge_state.mame_paths.historypath = "huge";
        Machine huge = machine;
        huge.name = "hugeentry";
        huge_state.machines.push_back(huge);
        std::vector<double> huge_first, huge_later;
        for (int round = 0; round < 3; ++round) {
            huge_state.dat_cache.clear();
            huge_first.push_back(open_once(main_window, huge_session, lines));
            for (int again = 0; again < 3; ++again)
                huge_later.push_back(open_once(main_window, huge_session, lines));
        }
        std::printf("20,000-line entry: %zu lines shown\n", lines);
        report("huge entry, first opening:", huge_first);
        report("huge entry, later openings:", huge_later);
    }
    if (own_folder) {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
    return 0;
}
