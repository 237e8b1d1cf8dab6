#include "gui/rom_audit_panel.h"

#include "audit/audit_results.h"
#include "gui/qt_text.h"
#include "platform/mame_folders.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace orvel::gui {

struct RomAuditPanel::Outcome {
    Result<OneAudit> result = failure("");
    bool deep = false;
};

RomAuditPanel::RomAuditPanel(Session& session, std::size_t machine, QWidget* parent)
    : QWidget(parent), session_(session), machine_(machine), list_(new QTreeWidget(this)),
      verdict_(new QLabel(this)), audit_button_(new QPushButton(QStringLiteral("&Audit"), this)),
      deep_button_(new QPushButton(QStringLiteral("&Deep Check"), this)) {
    list_->setColumnCount(5);
    list_->setHeaderLabels({QStringLiteral("ROM"), QStringLiteral("Status"), QStringLiteral("Set"),
                            QStringLiteral("Found In"), QStringLiteral("Found As")});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->header()->setStretchLastSection(true);
    list_->setColumnWidth(0, 160);
    list_->setColumnWidth(1, 90);
    list_->setColumnWidth(2, 90);
    list_->setColumnWidth(3, 260);
    deep_button_->setToolTip(
        QStringLiteral("Decompress every ROM found and compare its SHA-1 with MAME's"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(verdict_, 1);
    buttons->addWidget(audit_button_);
    buttons->addWidget(deep_button_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    connect(audit_button_, &QPushButton::clicked, this, [this] { start(false); });
    connect(deep_button_, &QPushButton::clicked, this, [this] { start(true); });
    const AuditVerdict known = session_.machines()[machine_].audit;
    verdict_->setText(known == AuditVerdict::Unknown
                          ? QStringLiteral("Not audited yet")
                          : QStringLiteral("Verdict: ") + qs(audit_verdict_text(known)));
}

RomAuditPanel::~RomAuditPanel() {
    if (worker_.joinable()) worker_.join();
}

void RomAuditPanel::start(bool deep) {
    if (running_) return;
    if (worker_.joinable()) worker_.join();
    running_ = true;
    audit_button_->setEnabled(false);
    deep_button_->setEnabled(false);
    verdict_->setText(deep ? QStringLiteral("Decompressing and checking...")
                           : QStringLiteral("Auditing..."));
    // The worker reads only copies: the data folder, the ROM folders and the machine's name.
    const std::string data_folder = session_.settings().ORVEL_Data;
    const std::vector<std::string> folders =
        resolve_mame_folder_list(session_.mame_paths().rompath, session_.settings().MAME_Path);
    const std::string name = session_.machines()[machine_].name;
    QPointer<RomAuditPanel> self(this);
    worker_ = std::thread([self, data_folder, folders, name, deep] {
        auto outcome = std::make_shared<Outcome>();
        outcome->deep = deep;
        outcome->result = audit_machine(data_folder, folders, name, deep);
        // The panel outlives its worker (its destructor joins), so self is valid here; the
        // queued call runs on the window thread.
        QMetaObject::invokeMethod(
            self.data(),
            [self, outcome] {
                if (self) self->show_outcome(outcome);
            },
            Qt::QueuedConnection);
    });
}

void RomAuditPanel::show_outcome(const std::shared_ptr<Outcome>& outcome) {
    running_ = false;
    audit_button_->setEnabled(true);
    deep_button_->setEnabled(true);
    list_->clear();
    if (!outcome->result) {
        verdict_->setText(qs(outcome->result.message()));
        emit auditShown();
        return;
    }
    const OneAudit& one = *outcome->result;
    for (const RomFinding& f : one.audit.roms) {
        const RomEntry& rom = one.data.roms()[f.rom];
        auto* item = new QTreeWidgetItem(list_);
        item->setText(0, qs(one.data.text(rom.name)));
        item->setText(1, qs(rom_status_text(f.status)));
        item->setText(2, qs(one.data.text(one.data.sets()[f.set].name)));
        item->setText(3, qs(f.where));
        item->setText(4, qs(f.found_as));
        if (!rom_status_ok(f.status)) item->setForeground(1, QBrush(Qt::red));
    }
    const Status kept = session_.record_audit_verdict(machine_, one.audit.verdict);
    QString text = QStringLiteral("Verdict: ") + qs(audit_verdict_text(one.audit.verdict));
    if (outcome->deep) text += QStringLiteral(" (SHA-1 checked)");
    if (!kept) text += QStringLiteral(" - ") + qs(kept.message());
    verdict_->setText(text);
    emit auditShown();
}

} // namespace orvel::gui
