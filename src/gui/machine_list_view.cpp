#include "gui/machine_list_view.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

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
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setMinimumSectionSize(1);
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
    // The title column takes the list width less the other two columns and a margin for the
    // vertical scroll bar.
    const int title = std::max(1, width() - 375);
    setColumnWidth(0, title);
    setColumnWidth(1, 250);
    setColumnWidth(2, 100);
}

void MachineListView::keyPressEvent(QKeyEvent* event) {
    QTableView::keyPressEvent(event);
    emit keyPressed();
}

void MachineListView::mousePressEvent(QMouseEvent* event) {
    QTableView::mousePressEvent(event);
    if (event->button() == Qt::LeftButton) {
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
