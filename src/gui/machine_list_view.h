#pragma once
// The machine list view: no header row, full-row single selection, three columns (the title
// takes the width the manufacturer and year columns leave, cut short with its full text as a
// tooltip), rows as tall as the list font.

#include <QTableView>

namespace orvel::gui {

class MachineListView : public QTableView {
    Q_OBJECT
  public:
    explicit MachineListView(QWidget* parent = nullptr);

    int selected_row() const;
    // Selects a row (no row when out of range) without scrolling far.
    void select_row(int row);
    // Column widths for the current list width: manufacturer 250, year 100, title the rest.
    void fit_columns();
    // Row height for the list font.
    void fit_rows();

  signals:
    void runRequested();      // double click on a row
    void keyPressed();        // any key pressed while the list has the focus
    void rowClicked(int row); // a left or right click on a row
    void menuRequested(const QPoint& global_position);

  protected:
    void changeEvent(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};

} // namespace orvel::gui
