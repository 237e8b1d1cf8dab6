#include "gui/dat_text_panel.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace orvel::gui {

DatTextPanel::DatTextPanel(QListWidget* list, QWidget* parent)
    : QWidget(parent), list_(list), find_(new QLineEdit(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(list_);
    layout->addWidget(find_);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    find_->setPlaceholderText(QStringLiteral("Find (Enter or F3: next, Escape: close)"));
    find_->setClearButtonEnabled(true);
    find_->hide();
    find_->installEventFilter(this);
    list_->installEventFilter(this);

    auto* copy = new QAction(QStringLiteral("Copy"), this);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(copy, &QAction::triggered, this,
            [this] { QGuiApplication::clipboard()->setText(selected_text()); });
    addAction(copy);
    auto* find = new QAction(QStringLiteral("Find"), this);
    find->setShortcut(QKeySequence::Find);
    find->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(find, &QAction::triggered, this, &DatTextPanel::open_find);
    addAction(find);
    auto* next = new QAction(QStringLiteral("Find Next"), this);
    next->setShortcut(QKeySequence::FindNext);
    next->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(next, &QAction::triggered, this, [this] {
        if (find_->text().isEmpty())
            open_find();
        else
            find_next(find_->text());
    });
    addAction(next);
    connect(find_, &QLineEdit::returnPressed, this, [this] { find_next(find_->text()); });
}

QString DatTextPanel::selected_text() const {
    QList<QListWidgetItem*> items = list_->selectedItems();
    std::sort(items.begin(), items.end(), [this](QListWidgetItem* a, QListWidgetItem* b) {
        return list_->row(a) < list_->row(b);
    });
    QStringList lines;
    lines.reserve(items.size());
    for (const QListWidgetItem* item : items)
        lines << item->text();
    return lines.join(QLatin1Char('\n'));
}

void DatTextPanel::open_find() {
    find_->show();
    find_->setFocus();
    find_->selectAll();
}

bool DatTextPanel::find_next(const QString& text) {
    const int count = list_->count();
    if (text.isEmpty() || count == 0) return false;
    const int from = list_->currentRow();
    for (int step = 1; step <= count; ++step) {
        const int row = (std::max(from, -1) + step) % count;
        if (list_->item(row)->text().contains(text, Qt::CaseInsensitive)) {
            list_->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
            list_->scrollToItem(list_->item(row), QAbstractItemView::PositionAtCenter);
            return true;
        }
    }
    list_->clearSelection();
    return false;
}

bool DatTextPanel::eventFilter(QObject* watched, QEvent* event) {
    // The list's own copy key would copy the current line alone.
    if (watched == list_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        QGuiApplication::clipboard()->setText(selected_text());
        return true;
    }
    // Escape closes the find box, not the window.
    if (watched == find_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        find_->hide();
        list_->setFocus();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace orvel::gui
