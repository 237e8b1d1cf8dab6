#include "gui/toolbar_strip.h"

#include "gui/icon_set.h"

#include <QFrame>
#include <QPixmap>

namespace orvel::gui {

namespace {

struct ButtonPlace {
    int command;
    int x;
    int picture;
    int shrink; // the picture is the button side less this
    const char* tooltip;
};

constexpr ButtonPlace places[] = {
    {1, 0, icon::run_machine, 6, "Run Machine"},
    {2, 35, icon::run_advanced, 6, "Run (Advanced)"},
    {3, 70, icon::run_empty, 6, "Run (Empty)"},
    {7, 112, icon::machine_info, 6, "Machine Info"},
    {12, 154, icon::preferences, 8, "Preferences"},
};

QPixmap picture(const IconSet& icons, int number, int size) {
    const QImage& image = icons.image(number);
    if (image.isNull()) return {};
    return QPixmap::fromImage(
        image.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

} // namespace

ToolbarStrip::ToolbarStrip(const IconSet& icons, QWidget* parent)
    : QWidget(parent), search_icon_(new QLabel(this)), search_(new QLineEdit(this)) {
    setFixedHeight(strip_height);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(0xEE, 0xEE, 0xEE));
    setPalette(palette);

    const int side = strip_height - 2;
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        const ButtonPlace& place = places[i];
        auto* button = new QToolButton(this);
        button->setGeometry(place.x, 0, side, side);
        button->setAutoRaise(true);
        const int size = side - place.shrink;
        button->setIconSize(QSize(size, size));
        button->setIcon(QIcon(picture(icons, place.picture, size)));
        button->setToolTip(QString::fromLatin1(place.tooltip));
        button->setFocusPolicy(Qt::NoFocus);
        const int command = place.command;
        // Like the menu item, the button posts its command to the window's queue.
        connect(button, &QToolButton::clicked, this, [this, command] {
            QMetaObject::invokeMethod(
                this, [this, command] { emit commandRaised(command); }, Qt::QueuedConnection);
        });
        buttons_[i] = button;
    }
    for (int x : {105, 147}) {
        auto* divider = new QFrame(this);
        divider->setFrameShape(QFrame::VLine);
        divider->setFrameShadow(QFrame::Sunken);
        divider->setGeometry(x, 1, 2, 28);
    }
    const int search_size = side - 10;
    search_icon_->setPixmap(picture(icons, icon::search, search_size));
    search_icon_->setAlignment(Qt::AlignCenter);
    search_icon_->resize(side, side - 4);
    search_->setPlaceholderText(QStringLiteral("Search..."));
    search_->resize(200, 20);
    search_->setClearButtonEnabled(false);
}

QToolButton* ToolbarStrip::button(int command) const {
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        if (places[i].command == command) return buttons_[i];
    return nullptr;
}

void ToolbarStrip::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    search_icon_->move(width() - 228, 3);
    search_->move(width() - 205, 4);
}

} // namespace orvel::gui
