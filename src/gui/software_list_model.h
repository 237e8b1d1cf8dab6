#pragma once
// The software list window's item list: one row per element of the software view list, showing
// the item's description. The view list is replaced whole between beginResetModel and
// endResetModel, so a search keystroke costs one reset, not one row per item.

#include "softlist/software_list.h"

#include <QAbstractListModel>

#include <cstdint>
#include <vector>

namespace orvel::gui {

class SoftwareListModel : public QAbstractListModel {
    Q_OBJECT
  public:
    SoftwareListModel(const SoftwareItemList& items, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // Shows these item positions (the software view list).
    void set_view(std::vector<std::int64_t> view);
    const std::vector<std::int64_t>& view() const { return view_; }
    // The item of a row, or null.
    const SoftwareItem* item(int row) const;
    std::int64_t position(int row) const;

  private:
    const SoftwareItemList& items_;
    std::vector<std::int64_t> view_;
};

} // namespace orvel::gui
