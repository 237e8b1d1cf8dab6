#pragma once
// The machine list as a virtual table: row N shows machines[view[N]]. Cells are read from the
// records when the view asks for them; nothing is copied per row.

#include "database/machine.h"

#include <QAbstractTableModel>

#include <functional>

namespace orvel::gui {

class MachineListModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    MachineListModel(const MachineList& machines, const ViewList& view, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Runs change, which rebuilds the view list (or the machine list), inside a model reset:
    // the views never see the lists half changed.
    void refill(const std::function<void()>& change);
    // Machine-list position of a row, or -1.
    std::int64_t position(int row) const;

  private:
    const MachineList& machines_;
    const ViewList& view_;
};

} // namespace orvel::gui
