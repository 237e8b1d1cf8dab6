#pragma once
// A one-line label that never asks for more width than its layout gives it: a text too long
// for it is cut with an ellipsis, and the whole text is its tooltip.

#include <QLabel>

namespace orvel::gui {

class ElidedLabel : public QLabel {
  public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    void set_full_text(const QString& text);
    const QString& full_text() const { return full_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void show_fitting_text();
    QString full_;
};

} // namespace orvel::gui
