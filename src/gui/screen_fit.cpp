#include "gui/screen_fit.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace orvel::gui {

QRect available_area(const QWidget* near) {
    const QScreen* screen = near && near->screen() ? near->screen() : nullptr;
    if (!screen) screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
}

QSize frame_allowance(const QWidget* window) {
    const auto frame_of = [](const QWidget* shown) {
        return shown->frameGeometry().size() - shown->geometry().size();
    };
    if (window->isVisible()) return frame_of(window);
    // Before a window is shown its frame is not known: the frames of the program's other
    // windows tell what the window system adds.
    for (const QWidget* other : QApplication::topLevelWidgets())
        if (other != window && other->isVisible() && !other->isFullScreen() &&
            other->windowType() != Qt::Popup && other->windowType() != Qt::ToolTip &&
            other->windowType() != Qt::SplashScreen) {
            const QSize frame = frame_of(other);
            if (frame.height() > 0) return frame;
        }
    return {8, 32};
}

namespace {

// Once a window is shown its frame is known: what still sticks out of the usable area is taken
// back, by the least move (and, when it must, a smaller size).
class KeepInsideOnShow : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            auto* window = static_cast<QWidget*>(watched);
            QTimer::singleShot(0, window, [window] { keep_inside(window); });
            deleteLater();
        }
        return false;
    }
    static void keep_inside(QWidget* window) {
        if (window->isMaximized() || window->isFullScreen()) return;
        const QRect area = available_area(window);
        const QSize frame = frame_allowance(window);
        window->resize(window->size().boundedTo(area.size() - frame));
        QRect outer = window->frameGeometry();
        outer.moveLeft(std::clamp(outer.left(), area.left(),
                                  std::max(area.left(), area.right() + 1 - outer.width())));
        outer.moveTop(std::clamp(outer.top(), area.top(),
                                 std::max(area.top(), area.bottom() + 1 - outer.height())));
        if (outer.topLeft() != window->frameGeometry().topLeft()) window->move(outer.topLeft());
    }
};

} // namespace

void fit_into_screen(QWidget* window, const QWidget* near) {
    const QRect area = available_area(near ? near : window);
    const QSize frame = frame_allowance(window);
    const QSize room = (area.size() - frame).expandedTo(QSize(160, 120));
    window->setMinimumSize(window->minimumSize().boundedTo(room));
    window->resize(window->size().boundedTo(room));
    const QSize outer = window->size() + frame;
    const QPoint centre = near ? near->frameGeometry().center() : area.center();
    const int x = std::clamp(centre.x() - outer.width() / 2, area.left(),
                             std::max(area.left(), area.right() + 1 - outer.width()));
    const int y = std::clamp(centre.y() - outer.height() / 2, area.top(),
                             std::max(area.top(), area.bottom() + 1 - outer.height()));
    window->move(x, y);
    if (!window->isVisible()) window->installEventFilter(new KeepInsideOnShow(window));
}

} // namespace orvel::gui
