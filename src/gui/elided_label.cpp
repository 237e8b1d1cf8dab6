#include "gui/elided_label.h"

#include <QResizeEvent>

namespace orvel::gui {

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent) {
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    setWordWrap(false);
}

void ElidedLabel::set_full_text(const QString& text) {
    full_ = text;
    setToolTip(text);
    show_fitting_text();
}

QSize ElidedLabel::sizeHint() const {
    // The height of one line; the width is the layout's to give.
    const QSize one_line = QLabel::minimumSizeHint();
    return {fontMetrics().averageCharWidth() * 10, one_line.height()};
}

QSize ElidedLabel::minimumSizeHint() const {
    return sizeHint();
}

void ElidedLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    show_fitting_text();
}

void ElidedLabel::show_fitting_text() {
    const int room = contentsRect().width() - 2 * margin() - std::max(0, indent());
    setText(fontMetrics().elidedText(full_, Qt::ElideRight, std::max(0, room)));
}

} // namespace orvel::gui
