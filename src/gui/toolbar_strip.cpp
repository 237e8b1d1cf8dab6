#include "gui/toolbar_strip.h"

#include "gui/icon_set.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>

namespace orvel::gui {

namespace {

// A picture drawn from its icon at the screen's pixel ratio each time it is painted.
class Picture : public QWidget {
  public:
    Picture(QIcon icon, int picture_side, QSize widget_size)
        : icon_(std::move(icon)), side_(picture_side) {
        setFixedSize(widget_size);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRect place((width() - side_) / 2, (height() - side_) / 2, side_, side_);
        icon_.paint(&painter, place);
    }

  private:
    QIcon icon_;
    int side_;
};

} // namespace

ToolbarStrip::ToolbarStrip(const IconSet& icons, QWidget* parent)
    : QToolBar(parent),
      search_icon_(new Picture(icons.icon(icon::search, button_side - 10), button_side - 10,
                               QSize(button_side - 4, button_side))),
      search_(new QLineEdit) {
    setObjectName(QStringLiteral("toolbar"));
    setMovable(false);
    setFloatable(false);
    setContextMenuPolicy(Qt::PreventContextMenu);
    // The run pictures are the button side less 6; smaller pictures stay centred.
    setIconSize(QSize(button_side - 6, button_side - 6));
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    search_->setPlaceholderText(QStringLiteral("Search..."));
    search_->setFixedWidth(200);
    search_->setClearButtonEnabled(false);
    search_->installEventFilter(this);
}

bool ToolbarStrip::eventFilter(QObject* watched, QEvent* event) {
    // Ctrl+C copies the search text when some is selected; with nothing selected it is the
    // window's Copy List To Clipboard. Every other editing key stays the box's own.
    if (watched == search_ && event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy) &&
        !search_->hasSelectedText()) {
        event->ignore();
        return true;
    }
    return QToolBar::eventFilter(watched, event);
}

void ToolbarStrip::add_search() {
    auto* spring = new QWidget;
    spring->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    addWidget(spring);
    // The picture and the box keep their distance from the right end.
    auto* holder = new QWidget;
    auto* row = new QHBoxLayout(holder);
    row->setContentsMargins(0, 0, 5, 0);
    row->setSpacing(2);
    row->addWidget(search_icon_);
    row->addWidget(search_);
    holder->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    addWidget(holder);
}

QToolButton* ToolbarStrip::button(QAction* action) const {
    return qobject_cast<QToolButton*>(widgetForAction(action));
}

} // namespace orvel::gui
