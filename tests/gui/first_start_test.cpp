// The first start of the desktop program with its real file dialog: a MAME found on PATH is
// offered, so that Enter alone chooses it.

#include "app/startup.h"
#include "gui/qt_host.h"
#include "platform/files.h"
#include "settings/mame_config.h"
#include "support/env_guard.h"
#include "support/scripted_host.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>

namespace orvel::gui {
namespace {

TEST(FirstStart, TheMameDialogPreselectsTheMameFoundOnPathAndEnterChoosesIt) {
    test::TempDir dir;
    const std::string folder = dir.file("bin/");
    create_folder(folder);
    const std::string exe = folder + test::mame_file;
    std::filesystem::copy_file(ORVEL_FAKE_MAME, exe);
    test::EnvGuard path("PATH", dir.file("empty") + test::path_list + folder);

    create_folder(dir.file("start"));
    StartupOptions options = program_startup_options(dir.file("start/"), program_folder());
    Settings settings;
    MamePaths paths;
    QtHost host;
    QString title, shown_folder;
    QStringList selected;
    // The dialog runs its own event loop: look at it from inside, then press Enter.
    QTimer poll;
    poll.setInterval(20);
    // MAME has no configuration of its own here, so it writes its defaults and a message box
    // says so: it is read and closed.
    QStringList boxes;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            boxes << box->text();
            box->accept();
            return;
        }
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || !title.isEmpty()) return;
        title = dialog->windowTitle();
        shown_folder = QDir::toNativeSeparators(dialog->directory().absolutePath());
        for (const QString& file : dialog->selectedFiles())
            selected << QDir::toNativeSeparators(file);
        QWidget* focus = dialog->focusWidget();
        QTest::keyClick(focus ? focus : dialog, Qt::Key_Return);
        // Should Enter not close it, the test fails instead of waiting for ever.
        QTimer::singleShot(5000, dialog, &QDialog::reject);
    });
    poll.start();
    const StartupResult result = run_startup(settings, paths, host, options);
    poll.stop();

    EXPECT_EQ(title, QStringLiteral("Select MAME Executable"));
    EXPECT_EQ(shown_folder + QDir::separator(), QString::fromStdString(folder));
    EXPECT_EQ(selected, QStringList{QString::fromStdString(exe)});
    EXPECT_EQ(result.outcome, StartupOutcome::Continue);
    EXPECT_EQ(settings.MAME_Exe, test::mame_file);
    EXPECT_EQ(settings.MAME_Path, folder);
    EXPECT_EQ(boxes, QStringList{QString::fromStdString(mame_config_created_text(folder))});
    // Run from the build folder, the program keeps its data beside the working directory.
    EXPECT_EQ(settings.ORVEL_Data, dir.file("start/ORVEL_Data/"));
}

} // namespace
} // namespace orvel::gui
