// "Audit Romsets": the romset audit of the whole collection, run as the host's job with a
// progress window whose Cancel stops it between machines.

#include "audit/audit_results.h"
#include "gui/machine_list_view.h"
#include "gui/main_window.h"
#include "gui/qt_text.h"
#include "platform/mame_folders.h"

#include <QProgressDialog>

#include <atomic>

namespace orvel::gui {

void MainWindow::audit_romsets_command() {
    AppState& state = session_.state;
    const std::vector<std::string> folders =
        resolve_mame_folder_list(state.mame_paths.rompath, state.settings.MAME_Path);
    if (folders.empty()) {
        host_.message("Audit Romsets", "MAME names no ROM folder (rompath) to audit.", Buttons::Ok,
                      Icon::Warning);
        return;
    }
    const BusyGuard guard(busy_);
    std::atomic<bool> cancel{false};
    // The job's progress texts ("Auditing Romsets... 42%") show in the active window's title,
    // which is this dialog's while it is up.
    QProgressDialog progress(QStringLiteral("Reading the ROM folders and archives..."),
                             QStringLiteral("Cancel"), 0, 0, this);
    progress.setWindowTitle(QStringLiteral("Auditing Romsets..."));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    connect(&progress, &QProgressDialog::canceled, &progress, [&cancel] { cancel = true; });
    progress.show();
    const Result<AuditRun> run =
        audit_collection(state.settings.ORVEL_Data, folders, state.machines, host_, &cancel);
    progress.hide();
    if (!run && !run.is(FailureKind::Cancelled))
        host_.message("Audit Romsets", run.message(), Buttons::Ok,
                      run.is(FailureKind::NotSaved) ? Icon::Warning : Icon::Error);
    if (run || run.is(FailureKind::NotSaved)) refill_keeping_row();
    list_->setFocus();
}

} // namespace orvel::gui
