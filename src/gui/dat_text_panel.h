#pragma once
// The DAT text of the information window: one line of text per item, lines selectable and
// copied with the copy key (Ctrl+C), and a find box (Ctrl+F) that goes from one line holding
// the text to the next (Enter, F3), closed again with Escape.

#include <QWidget>

class QLineEdit;
class QListWidget;

namespace orvel::gui {

class DatTextPanel : public QWidget {
    Q_OBJECT
  public:
    // Takes list into the panel.
    DatTextPanel(QListWidget* list, QWidget* parent);

    QLineEdit* find_box() const { return find_; }
    // The selected lines in their order, one per line; empty when none is selected.
    QString selected_text() const;
    // Opens the find box with the focus in it.
    void open_find();
    // Selects the next line after the current one (from the top again after the last) holding
    // text, without regard to case; false, selecting nothing, when no line holds it.
    bool find_next(const QString& text);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QListWidget* list_;
    QLineEdit* find_;
};

} // namespace orvel::gui
