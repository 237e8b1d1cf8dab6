#pragma once
// The machine list as a virtual table: row N shows machines[view[N]]. Cells are read from the
// records when the view asks for them; nothing is copied per row.

#include "database/machine.h"

#include <QAbstractTableModel>

namespace orvel::gui {

class MachineListModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    MachineListModel(const MachineList& machines, const ViewList& view, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The view list was rebuilt: every row may have changed.
    void refill();
    // Machine-list position of a row, or -1.
    std::int64_t position(int row) const;

  private:
    const MachineList& machines_;
    const ViewList& view_;
    int rows_ = 0;
};

} // namespace orvel::gui
