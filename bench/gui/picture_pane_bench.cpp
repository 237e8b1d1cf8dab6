// The picture pane's cost to the machine list: search keystroke to the list repainted and Down
// arrow to the list repainted, with the pane hidden and then shown, in one run, over 45,000
// machines whose titles are entries of one titles.zip (made in a temporary folder). Also the
// lateness of a 16 ms timer on the window thread while Down is pressed with the pane shown, and
// the resident memory the pane's pictures take.
// Run with QT_QPA_PLATFORM=offscreen for a headless figure.

#include "bench_inputs.h"
#include "gui/commands.h"
#include "gui/icon_set.h"
#include "gui/machine_list_model.h"
#include "gui/machine_list_view.h"
#include "gui/main_window.h"
#include "gui/picture_loader.h"
#include "gui/picture_pane.h"
#include "gui/toolbar_strip.h"
#include "host/host.h"
#include "info/test_pictures.h"
#include "platform/files.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int machine_count = 45000;
using orvel::bench::resident_kb;

double ms_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::string name_of(int i) {
    char name[16];
    std::snprintf(name, sizeof name, "m%05d", i);
    return name;
}

// A title-sized picture, as PNG bytes (a few kilobytes, so that 45,000 of them stay small).
std::string title_png() {
    QImage image(320, 240, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * 255 / 320, y * 255 / 240, (x / 40 + y / 30) % 2 * 200));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

bool write_titles(const std::string& path, const std::string& png) {
    archive* a = archive_write_new();
    archive_write_set_format_zip(a);
    bool ok = archive_write_open_filename(a, path.c_str()) == ARCHIVE_OK;
    for (int i = 0; ok && i < machine_count; ++i) {
        archive_entry* e = archive_entry_new();
        archive_entry_set_pathname(e, (name_of(i) + ".png").c_str());
        archive_entry_set_size(e, static_cast<la_int64_t>(png.size()));
        archive_entry_set_filetype(e, AE_IFREG);
        archive_entry_set_perm(e, 0644);
        ok = archive_write_header(a, e) == ARCHIVE_OK &&
             archive_write_data(a, png.data(), png.size()) == static_cast<la_ssize_t>(png.size());
        archive_entry_free(e);
    }
    ok = archive_write_close(a) == ARCHIVE_OK && ok;
    archive_write_free(a);
    return ok;
}

struct Figures {
    std::vector<double> search, down, rested;
};

double percentile(std::vector<double> v, int p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, v.size() * static_cast<std::size_t>(p) / 100)];
}

void repaint(orvel::gui::MainWindow& window) {
    window.list()->viewport()->repaint();
    if (window.pictures()->isVisible()) window.pictures()->repaint();
}

Figures measure(orvel::gui::MainWindow& window) {
    Figures f;
    QLineEdit* search = window.toolbar()->search_box();
    const char* words[] = {"machine 1", "machine 22", "zzz", "machine 4410"};
    for (int round = 0; round < 3; ++round)
        for (const char* word : words) {
            for (const char* c = word; *c; ++c) {
                const Clock::time_point k = Clock::now();
                QTest::keyClicks(search, QString(QLatin1Char(*c)));
                repaint(window);
                f.search.push_back(ms_since(k));
                QApplication::processEvents(); // pictures delivered meanwhile
            }
            search->clear();
            QApplication::processEvents();
        }
    window.list()->setFocus();
    window.list()->select_row(0);
    for (int i = 0; i < 1000; ++i) {
        const Clock::time_point k = Clock::now();
        QTest::keyClick(window.list(), Qt::Key_Down);
        repaint(window);
        f.down.push_back(ms_since(k));
        QApplication::processEvents();
    }
    // Down with the selection resting 100 ms after each press: with the pane shown, every row's
    // picture is looked up and decoded meanwhile.
    for (int i = 0; i < 200; ++i) {
        const Clock::time_point k = Clock::now();
        QTest::keyClick(window.list(), Qt::Key_Down);
        repaint(window);
        f.rested.push_back(ms_since(k));
        QTest::qWait(100);
    }
    return f;
}

void print(const char* what, const std::vector<double>& hidden, const std::vector<double>& shown) {
    std::printf("%-36s hidden: p50 %.2f ms, p90 %.2f ms | shown: p50 %.2f ms, p90 %.2f ms "
                "(p90 ratio %.2f, %zu samples)\n",
                what, percentile(hidden, 50), percentile(hidden, 90), percentile(shown, 50),
                percentile(shown, 90),
                percentile(shown, 90) / std::max(0.001, percentile(hidden, 90)), shown.size());
}

struct QuietHost : orvel::SilentHost {};

} // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    QApplication app(argc, argv);
    const std::string folder =
        orvel::with_separator(std::filesystem::temp_directory_path().string()) +
        "orvel-pane-bench-" + std::to_string(QCoreApplication::applicationPid()) + "/";
    orvel::create_folders(folder + "ORVEL_Data/");
    const Clock::time_point made = Clock::now();
    if (!write_titles(folder + "titles.zip", title_png())) {
        std::fprintf(stderr, "picture_pane_bench: could not write titles.zip\n");
        return 1;
    }
    std::printf("titles.zip: %d entries, %.1f MB, written in %.1f s\n", machine_count,
                static_cast<double>(orvel::file_size(folder + "titles.zip")) / (1 << 20),
                ms_since(made) / 1000);

    QuietHost host;
    orvel::gui::Session session;
    orvel::set_default_settings(session.whole_state().settings, folder, 1920, 1080);
    session.whole_state().settings.MAME_Path = folder;
    session.whole_state().mame_paths.titles_directory = "titles";
    for (int i = 0; i < machine_count; ++i) {
        orvel::Machine m;
        m.name = name_of(i);
        m.description = "Machine " + std::to_string(i);
        m.manufacturer = "Maker " + std::to_string(i % 97);
        m.year = std::to_string(1975 + i % 40);
        m.commandlines.push_back(orvel::default_commandline());
        session.whole_state().machines.push_back(std::move(m));
    }
    orvel::reset_view_list(session.whole_state().machines, session.whole_state().view);
    orvel::gui::IconSet icons;
    icons.prepare();
    orvel::gui::MainWindow window(session, host, icons);
    window.resize(1600, 900);
    window.show();
    QApplication::processEvents();

    const Figures hidden = measure(window);
    window.dispatch(orvel::gui::Command::ShowPictures);
    QApplication::processEvents();
    const long rss_before = resident_kb();
    const Figures shown = measure(window);
    print("search keystroke to repaint:", hidden.search, shown.search);
    print("Down arrow to repaint:", hidden.down, shown.down);
    print("Down arrow, resting 100 ms, to repaint:", hidden.rested, shown.rested);
    std::printf("pictures kept after those runs: %zu (%.1f MB)\n",
                window.pictures()->loader()->store().count(),
                static_cast<double>(window.pictures()->loader()->store().bytes()) / (1 << 20));

    // Held Down with the pane shown: the key repeats every 30 ms while a 16 ms timer on the window
    // thread notes how late it fires.
    double worst_late = 0;
    int presses = 0;
    QElapsedTimer since;
    since.start();
    qint64 last = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = since.elapsed();
        worst_late = std::max(worst_late, static_cast<double>(now - last - 16));
        last = now;
    });
    QTimer key;
    QObject::connect(&key, &QTimer::timeout, [&] {
        QTest::keyClick(window.list(), Qt::Key_Down);
        if (++presses == 1000) QCoreApplication::exit(0); // quit() would ask the window to close
    });
    tick.start(16);
    key.start(30);
    last = since.elapsed();
    QApplication::exec();
    tick.stop();
    key.stop();
    window.pictures()->loader()->wait_idle();
    QApplication::processEvents();
    std::printf("held Down (1000 presses, 30 ms apart), pane shown: 16 ms timer at most %.0f ms "
                "late\n",
                worst_late);
    std::printf("resident memory: %.1f MB with the pane shown, %.1f MB after the runs (pictures "
                "kept: %zu, %.1f MB)\n",
                rss_before / 1024.0, resident_kb() / 1024.0,
                window.pictures()->loader()->store().count(),
                static_cast<double>(window.pictures()->loader()->store().bytes()) / (1 << 20));

    // An 8000 x 8000 title (a file of some 60 KB) shown in the pane: what it costs in memory.
    orvel::create_folders(folder + "titles/");
    const std::string huge = orvel::test::make_big_png(8000);
    std::ofstream(folder + "titles/m00001.png", std::ios::binary) << huge;
    window.pictures()->loader()->store().clear(); // m00001's title from the archive was kept
    window.list()->select_row(0);
    const long rss_huge_before = resident_kb();
    QTest::keyClick(window.list(), Qt::Key_Down);
    const Clock::time_point huge_start = Clock::now();
    while (window.pictures()->loading()) {
        window.pictures()->loader()->wait_idle();
        QApplication::processEvents();
    }
    std::printf("8000 x 8000 title (%zu bytes): shown as %dx%d after %.0f ms, resident growth "
                "%.1f MB\n",
                huge.size(), window.pictures()->shown_image().width(),
                window.pictures()->shown_image().height(), ms_since(huge_start),
                (resident_kb() - rss_huge_before) / 1024.0);
    std::filesystem::remove_all(folder);
    return 0;
}
