#include "gui/status_strip.h"

#include "gui/icon_set.h"
#include "gui/qt_text.h"

#include <QPixmap>

namespace orvel::gui {

StatusStrip::StatusStrip(const IconSet& icons, QWidget* parent) : QWidget(parent), icons_(icons) {
    setFixedHeight(strip_height);
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        auto* label = new QLabel(this);
        // Fields 0 to 3 are centred and framed; 4 and 5 have no border.
        if (i < 4) {
            label->setAlignment(Qt::AlignCenter);
            label->setFrameShape(QFrame::StyledPanel);
            label->setFrameShadow(QFrame::Sunken);
        } else if (i == 6) {
            label->setAlignment(Qt::AlignCenter);
        } else {
            label->setAlignment(Qt::AlignVCenter | Qt::AlignRight);
        }
        fields_[i] = label;
    }
    fields_[5]->setText(QStringLiteral("Status: "));
}

int StatusStrip::field_width(int index) const {
    switch (index) {
    case 0:
    case 1:
    case 2:
    case 3:
        return 150;
    case 4:
        return std::max(0, width() - 670);
    case 5:
        return 45;
    case 6:
        return 25;
    default:
        return 0;
    }
}

void StatusStrip::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    int x = 0;
    for (int i = 0; i < 7; ++i) {
        const int w = field_width(i);
        fields_[static_cast<std::size_t>(i)]->setGeometry(x, 0, w, height());
        x += w;
    }
}

void StatusStrip::show_texts(const StatusTexts& texts) {
    for (std::size_t i = 0; i < 6; ++i)
        fields_[i]->setText(qs(texts.fields[i]));
    int number = 0;
    switch (texts.image) {
    case StatusImage::Good:
        number = icon::status_good;
        break;
    case StatusImage::Imperfect:
        number = icon::status_imperfect;
        break;
    case StatusImage::Preliminary:
        number = icon::status_preliminary;
        break;
    case StatusImage::Unchanged:
        return;
    }
    image_ = texts.image;
    fields_[6]->setPixmap(QPixmap::fromImage(icons_.image(number)));
}

QString StatusStrip::field(int index) const {
    if (index < 0 || index >= 7) return {};
    return fields_[static_cast<std::size_t>(index)]->text();
}

} // namespace orvel::gui
