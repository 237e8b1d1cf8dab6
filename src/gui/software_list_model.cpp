#include "gui/software_list_model.h"

#include "gui/qt_text.h"

namespace orvel::gui {

SoftwareListModel::SoftwareListModel(const SoftwareItemList& items, QObject* parent)
    : QAbstractListModel(parent), items_(items) {}

int SoftwareListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(view_.size());
}

QVariant SoftwareListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole) return {};
    const SoftwareItem* shown = item(index.row());
    if (!shown) return {};
    // An item without a description is shown by its name rather than as a blank row.
    return qs(shown->description.empty() ? shown->name : shown->description);
}

void SoftwareListModel::set_view(std::vector<std::int64_t> view) {
    beginResetModel();
    view_ = std::move(view);
    endResetModel();
}

std::int64_t SoftwareListModel::position(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= view_.size()) return -1;
    return view_[static_cast<std::size_t>(row)];
}

const SoftwareItem* SoftwareListModel::item(int row) const {
    const std::int64_t at = position(row);
    if (at < 0 || static_cast<std::size_t>(at) >= items_.items.size()) return nullptr;
    return &items_.items[static_cast<std::size_t>(at)];
}

} // namespace orvel::gui
