#include "gui/machine_list_view.h"

#include <algorithm>

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolTip>

namespace orvel::gui {

MachineListView::MachineListView(QWidget* parent) : QTableView(parent) {
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    // Every row has the same height, so the view never measures rows it does not show.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setStretchLastSection(false);
    setTextElideMode(Qt::ElideRight);
    fit_rows();
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { emit menuRequested(viewport()->mapToGlobal(at)); });
}

int MachineListView::selected_row() const {
    const QModelIndexList rows =
        selectionModel() ? selectionModel()->selectedRows() : QModelIndexList();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void MachineListView::select_row(int row) {
    if (!model() || !selectionModel()) return;
    if (row < 0 || row >= model()->rowCount()) {
        selectionModel()->clearSelection();
        return;
    }
    const QModelIndex index = model()->index(row, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                 QItemSelectionModel::Rows);
    scrollTo(index);
}

void MachineListView::fit_columns() {
    // Manufacturer and year keep their widths; the title takes what the viewport has left,
    // also when the vertical scroll bar comes or goes. A narrow list (the picture pane beside
    // it) narrows manufacturer and year too, so that the title keeps two fifths of it.
    if (model() && model()->columnCount() > 2) {
        horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
        const int fixed = std::min(350, viewport()->width() * 3 / 5);
        const int manufacturer = fixed * 5 / 7;
        setColumnWidth(1, manufacturer);
        setColumnWidth(2, fixed - manufacturer);
    }
}

void MachineListView::fit_rows() {
    // As tall as the list font needs, not the style's default.
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
}

void MachineListView::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange) fit_rows();
}

bool MachineListView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        // A title cut short shows in full as a tooltip.
        const auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = indexAt(help->pos());
        if (index.isValid() && index.column() == 0) {
            const QString title = index.data(Qt::DisplayRole).toString();
            if (fontMetrics().horizontalAdvance(title) + 8 > columnWidth(0)) {
                QToolTip::showText(help->globalPos(), title, viewport(), visualRect(index));
                return true;
            }
        }
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    return QTableView::viewportEvent(event);
}

void MachineListView::keyPressEvent(QKeyEvent* event) {
    // Home and End go to the first and last machine (a table view would move across columns).
    if (model() && event->modifiers() == Qt::NoModifier &&
        (event->key() == Qt::Key_Home || event->key() == Qt::Key_End)) {
        if (model()->rowCount() > 0)
            select_row(event->key() == Qt::Key_Home ? 0 : model()->rowCount() - 1);
        event->accept();
    } else {
        QTableView::keyPressEvent(event);
    }
    emit keyPressed();
}

void MachineListView::mousePressEvent(QMouseEvent* event) {
    QTableView::mousePressEvent(event);
    // A right click selects its row too, so the context menu acts on the row it was opened on.
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton) {
        const QModelIndex index = indexAt(event->position().toPoint());
        if (index.isValid()) emit rowClicked(index.row());
    }
}

void MachineListView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    // A double click on an empty part of the list clears the selection and so runs nothing.
    if (event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid())
        emit runRequested();
}

void MachineListView::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    fit_columns();
}

} // namespace orvel::gui
