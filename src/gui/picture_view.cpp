#include "gui/picture_view.h"

#include "gui/identity_picture.h"

#include <QPainter>

namespace orvel::gui {

PictureView::PictureView(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setMinimumSize(208, 192);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setFocusPolicy(Qt::ClickFocus);
}

void PictureView::show_image(const QImage& image, bool placeholder) {
    image_ = image;
    placeholder_ = placeholder;
    update();
}

QRect PictureView::picture_area() const {
    return contentsRect().adjusted(4, 4, -4, -4);
}

QSize PictureView::shown_size() const {
    const QSize area = picture_area().size().expandedTo(QSize(1, 1));
    return area * devicePixelRatioF();
}

void PictureView::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (image_.isNull()) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect area = picture_area();
    QSize size = image_.size();
    if (placeholder_)
        size = area.size();
    else
        size.scale(area.size(), Qt::KeepAspectRatio);
    const QRect target(area.x() + (area.width() - size.width()) / 2,
                       area.y() + (area.height() - size.height()) / 2, size.width(), size.height());
    painter.drawImage(target, image_);
}

QImage placeholder_figure() {
    return paint_figure(QColor(255, 0, 0), false, 1)
        .scaled(208, 192, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

} // namespace orvel::gui
