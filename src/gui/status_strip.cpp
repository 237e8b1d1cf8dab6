#include "gui/status_strip.h"

#include "gui/icon_set.h"
#include "gui/qt_text.h"

#include <QEvent>

namespace orvel::gui {

namespace {

constexpr int picture_side = 16;

// The count field is as wide as the largest counts need, so it does not jump as they change.
constexpr const char* widest_count = "Showing: 88888 of 88888";

// A framed field is at least its base width and, like every label, never narrower than its text:
// a set minimum width would cut a text wider than the base (a wide font).
class FramedField : public QLabel {
  public:
    explicit FramedField(QWidget* parent) : QLabel(parent) {}
    void set_base_width(int width) {
        base_width_ = width;
        updateGeometry();
    }
    QSize minimumSizeHint() const override {
        QSize size = QLabel::minimumSizeHint();
        size.setWidth(std::max(size.width(), base_width_));
        return size;
    }

  private:
    int base_width_ = 0;
};

} // namespace

StatusStrip::StatusStrip(const IconSet& icons, QWidget* parent)
    : QStatusBar(parent), icons_(icons) {
    // The fields draw their own frames; the bar draws none around them.
    setStyleSheet(QStringLiteral("QStatusBar::item { border: none; }"));
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        QLabel* label = i < 4 ? new FramedField(this) : new QLabel(this);
        // Fields 0 to 3 are centred and framed; 4 and 5 have no border.
        if (i < 4) {
            label->setAlignment(Qt::AlignCenter);
            label->setFrameShape(QFrame::StyledPanel);
            label->setFrameShadow(QFrame::Sunken);
        } else {
            label->setAlignment(i == 6 ? Qt::AlignCenter : Qt::AlignVCenter | Qt::AlignRight);
        }
        fields_[i] = label;
        addPermanentWidget(label, i == 4 ? 1 : 0);
    }
    fields_[5]->setText(QStringLiteral("Status: "));
    status_icons_ = {icons_.icon(icon::status_good, picture_side),
                     icons_.icon(icon::status_imperfect, picture_side),
                     icons_.icon(icon::status_preliminary, picture_side)};
    fit_fields();
}

void StatusStrip::fit_fields() {
    const QFontMetrics metrics = fontMetrics();
    const int count_width =
        std::max(150, metrics.horizontalAdvance(QString::fromLatin1(widest_count)) + 12);
    for (std::size_t i = 0; i < 4; ++i) // the framed fields
        static_cast<FramedField*>(fields_[i])->set_base_width(i == 0 ? count_width : 150);
    fields_[5]->setMinimumWidth(std::max(45, metrics.horizontalAdvance(fields_[5]->text()) + 4));
    fields_[6]->setFixedWidth(25);
}

void StatusStrip::changeEvent(QEvent* event) {
    QStatusBar::changeEvent(event);
    if (event->type() == QEvent::FontChange) fit_fields();
}

void StatusStrip::show_texts(const StatusTexts& texts) {
    for (std::size_t i = 0; i < 6; ++i)
        fields_[i]->setText(qs(texts.fields[i]));
    std::size_t which = 0;
    switch (texts.image) {
    case StatusImage::Good:
        which = 0;
        break;
    case StatusImage::Imperfect:
        which = 1;
        break;
    case StatusImage::Preliminary:
        which = 2;
        break;
    case StatusImage::Unchanged:
        return;
    }
    image_ = texts.image;
    fields_[6]->setPixmap(
        status_icons_[which].pixmap(QSize(picture_side, picture_side), devicePixelRatioF()));
}

QString StatusStrip::field(int index) const {
    if (index < 0 || index >= 7) return {};
    return fields_[static_cast<std::size_t>(index)]->text();
}

QLabel* StatusStrip::field_label(int index) const {
    if (index < 0 || index >= 7) return nullptr;
    return fields_[static_cast<std::size_t>(index)];
}

} // namespace orvel::gui
