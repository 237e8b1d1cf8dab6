#include "gui/splash_window.h"

#include "gui/identity_picture.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <QScreen>

namespace orvel::gui {

SplashWindow::SplashWindow(const Settings& settings)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      settings_(settings), status_(new QLabel(this)) {
    constexpr int width = 480, height = 190;
    setFixedSize(width, height);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::black);
    setPalette(palette);
    // Rounded corners: corner ellipses of 50 x 50.
    QPainterPath outline;
    outline.addRoundedRect(QRectF(0, 0, width, height), 25, 25);
    setMask(QRegion(outline.toFillPolygon().toPolygon()));

    status_->setGeometry(10, height - 25, width - 20, 20);
    status_->setAlignment(Qt::AlignCenter);
    status_->setAutoFillBackground(true);
    status_->setPalette(palette);
    status_->setText(QStringLiteral("Starting ORVEL..."));

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width / 2, height / 2));
    }
}

void SplashWindow::set_status(const QString& text) {
    status_->setText(text);
    if (isVisible()) raise();
}

void SplashWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paint_identity(painter, splash_layout(), settings_);
}

} // namespace orvel::gui
