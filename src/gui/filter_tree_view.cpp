#include "gui/filter_tree_view.h"

#include "gui/icon_set.h"
#include "gui/qt_text.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPixmap>

namespace orvel::gui {

FilterTreeView::FilterTreeView(TreeItemList& items, const IconSet& icons, QWidget* parent)
    : QTreeWidget(parent), items_(items), icons_(icons) {
    setHeaderHidden(true);
    setColumnCount(1);
    setIconSize(QSize(18, 18));
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { emit menuRequested(viewport()->mapToGlobal(at)); });
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
        if (!filling_) set_item_expanded(items_, item->data(0, Qt::UserRole).toULongLong(), true);
    });
    connect(this, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) {
        if (!filling_) set_item_expanded(items_, item->data(0, Qt::UserRole).toULongLong(), false);
    });
    connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item, int) {
        emit itemChosen(item->data(0, Qt::UserRole).toInt());
    });
}

namespace {

bool is_choice_key(const QKeyEvent* key) {
    return key->modifiers() == Qt::NoModifier &&
           (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
            key->key() == Qt::Key_Space);
}

} // namespace

bool FilterTreeView::event(QEvent* event) {
    // Enter and Space belong to the tree while it has the focus: they choose the highlighted
    // item instead of starting MAME through the window's Enter key.
    if (event->type() == QEvent::ShortcutOverride &&
        is_choice_key(static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QTreeWidget::event(event);
}

void FilterTreeView::keyPressEvent(QKeyEvent* event) {
    QTreeWidgetItem* item = currentItem();
    if (!item || !is_choice_key(event)) return QTreeWidget::keyPressEvent(event);
    // A group or folder opens or closes; a child is chosen as a click chooses it.
    if (item->childCount() > 0)
        item->setExpanded(!item->isExpanded());
    else
        emit itemChosen(item->data(0, Qt::UserRole).toInt());
    event->accept();
}

QIcon FilterTreeView::icon_for(int picture) const {
    // Tree items carry the program's picture numbers. Each is drawn at the tree's icon size,
    // whatever size it is designed at, so that the captions line up.
    return icons_.icon(picture, iconSize().width());
}

void FilterTreeView::fill() {
    filling_ = true;
    setUpdatesEnabled(false);
    clear();
    widgets_.assign(items_.size(), nullptr);
    shown_icons_.assign(items_.size(), -1);
    // Icons are made once per number, not once per item.
    std::vector<QIcon> cache(icon::count);
    std::vector<bool> cached(cache.size(), false);
    QTreeWidgetItem* parents[3] = {nullptr, nullptr, nullptr};
    QList<QTreeWidgetItem*> top;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        const TreeItem& entry = items_[i];
        const int level = std::clamp(entry.level, 0, 2);
        QTreeWidgetItem* parent = level > 0 ? parents[level - 1] : nullptr;
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem();
        if (!parent) top.append(item);
        item->setText(0, qs(entry.caption));
        item->setData(0, Qt::UserRole, static_cast<qulonglong>(i));
        if (entry.icon > 0 && static_cast<std::size_t>(entry.icon) < cache.size()) {
            if (!cached[static_cast<std::size_t>(entry.icon)]) {
                cache[static_cast<std::size_t>(entry.icon)] = icon_for(entry.icon);
                cached[static_cast<std::size_t>(entry.icon)] = true;
            }
            item->setIcon(0, cache[static_cast<std::size_t>(entry.icon)]);
        }
        shown_icons_[i] = entry.icon;
        widgets_[i] = item;
        parents[level] = item;
        for (int deeper = level + 1; deeper < 3; ++deeper)
            parents[deeper] = nullptr;
    }
    addTopLevelItems(top);
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i].expanded) widgets_[i]->setExpanded(true);
    setUpdatesEnabled(true);
    filling_ = false;
    if (!widgets_.empty()) setCurrentItem(widgets_.front());
}

void FilterTreeView::refresh_icons() {
    if (widgets_.size() != items_.size()) return fill();
    QIcon chosen, unchosen;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (shown_icons_[i] == items_[i].icon) continue;
        shown_icons_[i] = items_[i].icon;
        QIcon* shared = items_[i].icon == icon_chosen     ? &chosen
                        : items_[i].icon == icon_unchosen ? &unchosen
                                                          : nullptr;
        if (shared && shared->isNull()) *shared = icon_for(items_[i].icon);
        widgets_[i]->setIcon(0, shared ? *shared : icon_for(items_[i].icon));
    }
}

int FilterTreeView::selected_position() const {
    const QTreeWidgetItem* item = currentItem();
    return item ? item->data(0, Qt::UserRole).toInt() : -1;
}

QTreeWidgetItem* FilterTreeView::item_at_position(std::size_t position) const {
    return position < widgets_.size() ? widgets_[position] : nullptr;
}

} // namespace orvel::gui
