#include "gui/machine_list_model.h"

#include "filters/list_texts.h"
#include "gui/qt_text.h"

namespace orvel::gui {

MachineListModel::MachineListModel(const MachineList& machines, const ViewList& view,
                                   QObject* parent)
    : QAbstractTableModel(parent), machines_(machines), view_(view) {}

int MachineListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(view_.size());
}

int MachineListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 3;
}

std::int64_t MachineListModel::position(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= view_.size()) return -1;
    const std::int64_t position = view_[static_cast<std::size_t>(row)];
    if (position < 0 || static_cast<std::size_t>(position) >= machines_.size()) return -1;
    return position;
}

QVariant MachineListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    const std::int64_t at = position(index.row());
    if (at < 0) return {};
    const Machine& machine = machines_[static_cast<std::size_t>(at)];
    if (index.column() < column_title || index.column() > column_year) return {};
    return qs(cell_text(machine, index.column()));
}

QVariant MachineListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
    case 0:
        return QStringLiteral("Machine Name");
    case 1:
        return QStringLiteral("Manufacturer");
    case 2:
        return QStringLiteral("Year");
    default:
        return {};
    }
}

void MachineListModel::refill(const std::function<void()>& change) {
    beginResetModel();
    change();
    endResetModel();
}

} // namespace orvel::gui
