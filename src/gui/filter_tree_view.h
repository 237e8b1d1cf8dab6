#pragma once
// The filter tree panel: shows the core's tree item list (captions, pictures, chosen markers,
// expanded state) and reports clicks and expansions back by item position.

#include "filters/filter_tree.h"

#include <QTreeWidget>

#include <vector>

namespace orvel::gui {

class IconSet;

class FilterTreeView : public QTreeWidget {
    Q_OBJECT
  public:
    FilterTreeView(TreeItemList& items, const IconSet& icons, QWidget* parent = nullptr);

    // Rebuilds the gadget from the item list and selects item 0.
    void fill();
    // Brings the pictures of the gadget in line with the item list (after a marker moved).
    void refresh_icons();
    // Position in the item list of the selected item, or -1.
    int selected_position() const;
    QTreeWidgetItem* item_at_position(std::size_t position) const;

  signals:
    void itemChosen(int position); // a left click on an item, or Enter or Space on it
    void menuRequested(const QPoint& global_position);

  protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QIcon icon_for(int picture) const;

    TreeItemList& items_;
    const IconSet& icons_;
    std::vector<QTreeWidgetItem*> widgets_;
    std::vector<int> shown_icons_;
    bool filling_ = false;
};

} // namespace orvel::gui
