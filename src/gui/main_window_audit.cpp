// "Audit Romsets": the romset audit of the whole collection, run as a job with a progress
// window whose Cancel stops it between machines.

#include "audit/audit_results.h"
#include "gui/machine_list_view.h"
#include "gui/main_window.h"
#include "gui/qt_text.h"
#include "platform/mame_folders.h"

#include <QProgressDialog>

#include <atomic>
#include <memory>

namespace orvel::gui {

void MainWindow::audit_romsets_command() {
    const std::vector<std::string> folders =
        resolve_mame_folder_list(session_.mame_paths().rompath, session_.settings().MAME_Path);
    if (folders.empty()) {
        host_.message("Audit Romsets", "MAME names no ROM folder (rompath) to audit.", Buttons::Ok,
                      Icon::Warning);
        return;
    }
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    // The job's progress texts ("Auditing Romsets... 42%") show in the active window's title,
    // which is this dialog's while it is up.
    auto* progress = new QProgressDialog(QStringLiteral("Reading the ROM folders and archives..."),
                                         QStringLiteral("Cancel"), 0, 0, this);
    progress->setAttribute(Qt::WA_DeleteOnClose);
    progress->setWindowTitle(QStringLiteral("Auditing Romsets..."));
    progress->setWindowModality(Qt::WindowModal);
    progress->setMinimumDuration(0);
    progress->setAutoClose(false);
    progress->setAutoReset(false);
    connect(progress, &QProgressDialog::canceled, progress, [cancel] { *cancel = true; });
    progress->show();
    const QPointer<QProgressDialog> shown(progress);
    auto found = std::make_shared<Result<CollectionAudit>>(failure(""));
    const std::string data_folder = session_.settings().ORVEL_Data;
    start_work(
        [found, cancel, data_folder, folders](Host& host) {
            *found = audit_all_romsets(data_folder, folders, host, cancel.get());
            host.set_progress("");
        },
        [this, found, shown] {
            if (shown) shown->close();
            const Result<AuditRun> run =
                *found ? session_.apply_audit(**found) : Result<AuditRun>(found->failure());
            if (!run && !run.is(FailureKind::Cancelled))
                host_.message("Audit Romsets", run.message(), Buttons::Ok,
                              run.is(FailureKind::NotSaved) ? Icon::Warning : Icon::Error);
            if (run || run.is(FailureKind::NotSaved)) refill_keeping_row();
            list_->setFocus();
        });
}

} // namespace orvel::gui
