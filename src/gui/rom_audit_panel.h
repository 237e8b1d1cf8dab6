#pragma once
// The information window's romset audit: the machine's ROMs and disks with what was found for
// each (status, where, under which name), from an audit run when the window opens, and a Deep
// Check that decompresses them to compare SHA-1s too. Both run on a worker thread; the verdict
// is kept (in the machine record and the audit results file) on the window thread.

#include "app/session.h"

#include <QWidget>

#include <memory>
#include <thread>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace orvel::gui {

class RomAuditPanel : public QWidget {
    Q_OBJECT
  public:
    RomAuditPanel(Session& session, std::size_t machine, QWidget* parent = nullptr);
    ~RomAuditPanel() override;

    // Starts an audit (deep: with the SHA-1 check); ignored while one runs.
    void start(bool deep);
    bool running() const { return worker_.joinable() && running_; }

    QTreeWidget* rom_list() const { return list_; }
    QLabel* verdict_label() const { return verdict_; }
    QPushButton* deep_button() const { return deep_button_; }

  signals:
    // An audit ended and its rows and verdict are shown.
    void auditShown();

  private:
    struct Outcome;
    void show_outcome(const std::shared_ptr<Outcome>& outcome);

    Session& session_;
    std::size_t machine_;
    QTreeWidget* list_;
    QLabel* verdict_;
    QPushButton* audit_button_;
    QPushButton* deep_button_;
    std::thread worker_;
    bool running_ = false;
};

} // namespace orvel::gui
