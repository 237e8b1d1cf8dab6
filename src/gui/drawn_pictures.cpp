#include "gui/drawn_pictures.h"

#include "gui/drawn_icons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace orvel::gui {

namespace {

// The blue "M" of the run buttons, drawn on a 32-unit grid.
void letter_m(QPainter& p) {
    QPainterPath m;
    m.moveTo(3, 27);
    m.lineTo(3, 5);
    m.lineTo(9, 5);
    m.lineTo(16, 16);
    m.lineTo(23, 5);
    m.lineTo(29, 5);
    m.lineTo(29, 27);
    m.lineTo(23.5, 27);
    m.lineTo(23.5, 14);
    m.lineTo(16, 25);
    m.lineTo(8.5, 14);
    m.lineTo(8.5, 27);
    m.closeSubpath();
    QLinearGradient g(0, 5, 0, 27);
    g.setColorAt(0, QColor(90, 150, 240));
    g.setColorAt(1, QColor(20, 60, 170));
    p.fillPath(m, g);
    p.strokePath(m, QPen(QColor(10, 35, 110), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

} // namespace

QImage draw_run_picture(int size, int badge) {
    return paint_on_grid(size, 32, [&](QPainter& p) {
        letter_m(p);
        if (badge == 1) { // a floppy disk
            QRectF r(18, 17, 13, 13);
            p.setPen(QPen(QColor(20, 20, 20), 0.8));
            p.setBrush(QColor(60, 60, 70));
            p.drawRect(r);
            p.setBrush(QColor(235, 235, 235));
            p.drawRect(QRectF(20.5, 23, 8, 6));
            p.setBrush(QColor(180, 180, 190));
            p.drawRect(QRectF(21, 17, 6.5, 4));
        } else if (badge == 2) { // an orange plus
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(245, 130, 20));
            p.drawEllipse(QPointF(24.5, 23.5), 7, 7);
            p.setPen(QPen(Qt::white, 2.6, Qt::SolidLine, Qt::FlatCap));
            p.drawLine(QPointF(20.5, 23.5), QPointF(28.5, 23.5));
            p.drawLine(QPointF(24.5, 19.5), QPointF(24.5, 27.5));
        }
    });
}

// A yellow folder on a 64-unit grid, with an optional sign on its front.
QImage draw_folder_picture(int size, int sign) {
    return paint_on_grid(size, 64, [&](QPainter& p) {
        QPainterPath back;
        back.moveTo(4, 12);
        back.lineTo(24, 12);
        back.lineTo(30, 18);
        back.lineTo(60, 18);
        back.lineTo(60, 54);
        back.lineTo(4, 54);
        back.closeSubpath();
        p.fillPath(back, QColor(222, 170, 40));
        QPainterPath front;
        front.moveTo(4, 24);
        front.lineTo(60, 24);
        front.lineTo(60, 54);
        front.lineTo(4, 54);
        front.closeSubpath();
        QLinearGradient g(0, 24, 0, 54);
        g.setColorAt(0, QColor(255, 220, 90));
        g.setColorAt(1, QColor(240, 185, 50));
        p.fillPath(front, g);
        p.strokePath(back, QPen(QColor(170, 120, 20), 1.5));
        if (sign == 1) { // a funnel
            QPainterPath funnel;
            funnel.moveTo(20, 29);
            funnel.lineTo(44, 29);
            funnel.lineTo(35, 39);
            funnel.lineTo(35, 49);
            funnel.lineTo(29, 46);
            funnel.lineTo(29, 39);
            funnel.closeSubpath();
            p.fillPath(funnel, QColor(60, 90, 170));
        } else if (sign == 2) { // an "i" in a disc
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(40, 110, 200));
            p.drawEllipse(QPointF(32, 39), 12, 12);
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(32, 33), 2.2, 2.2);
            p.drawRoundedRect(QRectF(30.2, 37, 3.6, 10), 1, 1);
        }
    });
}

QImage draw_chip_picture(int size) {
    return paint_on_grid(size, 24, [&](QPainter& p) {
        p.setPen(QPen(QColor(150, 150, 150), 1.4, Qt::SolidLine, Qt::FlatCap));
        for (int i = 0; i < 4; ++i) {
            const double y = 6.5 + i * 3.7;
            p.drawLine(QPointF(2, y), QPointF(22, y));
        }
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 40, 45));
        p.drawRoundedRect(QRectF(5, 3.5, 14, 17), 1.5, 1.5);
        p.setBrush(QColor(120, 120, 130));
        p.drawEllipse(QPointF(8, 6.5), 1.2, 1.2);
    });
}

QImage draw_disk_picture(int size) {
    return paint_on_grid(size, 24, [&](QPainter& p) {
        p.setPen(QPen(QColor(60, 60, 70), 1));
        QLinearGradient g(0, 4, 0, 20);
        g.setColorAt(0, QColor(210, 210, 215));
        g.setColorAt(1, QColor(140, 140, 150));
        p.setBrush(g);
        p.drawRoundedRect(QRectF(2.5, 4.5, 19, 15), 2, 2);
        p.setBrush(QColor(90, 90, 100));
        p.drawEllipse(QPointF(10, 12), 5, 5);
        p.setBrush(QColor(220, 220, 225));
        p.drawEllipse(QPointF(10, 12), 1.3, 1.3);
        p.setPen(QPen(QColor(40, 40, 40), 1.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(12, 15), QPointF(18, 9));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 200, 60));
        p.drawEllipse(QPointF(18.5, 17), 1.2, 1.2);
    });
}

QImage draw_playfield_picture(int size) {
    return paint_on_grid(size, 24, [&](QPainter& p) {
        QPainterPath table;
        table.moveTo(7, 2);
        table.lineTo(17, 2);
        table.lineTo(21, 22);
        table.lineTo(3, 22);
        table.closeSubpath();
        p.fillPath(table, QColor(30, 110, 60));
        p.strokePath(table, QPen(QColor(20, 60, 30), 1));
        p.setPen(QPen(QColor(250, 220, 60), 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(8, 18), QPointF(11, 19.5));
        p.drawLine(QPointF(16, 18), QPointF(13, 19.5));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(220, 60, 60));
        p.drawEllipse(QPointF(10, 8), 1.8, 1.8);
        p.drawEllipse(QPointF(14.5, 10), 1.8, 1.8);
        p.setBrush(QColor(230, 230, 235));
        p.drawEllipse(QPointF(12.5, 14.5), 1.4, 1.4);
    });
}

QImage draw_maker_picture(int size) {
    return paint_on_grid(size, 32, [&](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(200, 40, 40));
        p.drawRoundedRect(QRectF(2, 6, 28, 20), 4, 4);
        p.setBrush(Qt::white);
        QPainterPath wave;
        wave.moveTo(6, 19);
        wave.cubicTo(11, 9, 15, 25, 20, 14);
        wave.cubicTo(22, 11, 24, 11, 26, 12);
        wave.lineTo(26, 15);
        wave.cubicTo(24, 14, 22, 15, 21, 17);
        wave.cubicTo(16, 27, 11, 13, 6, 22);
        wave.closeSubpath();
        p.drawPath(wave);
    });
}

QImage draw_family_picture(int size) {
    return paint_on_grid(size, 24, [&](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(50, 100, 190));
        p.drawEllipse(QPointF(8, 5), 3, 3);
        p.drawRoundedRect(QRectF(4, 9, 8, 13), 3, 3);
        p.setBrush(QColor(230, 120, 40));
        p.drawEllipse(QPointF(17, 11), 2.3, 2.3);
        p.drawRoundedRect(QRectF(14, 14.5, 6, 7.5), 2.5, 2.5);
    });
}

QImage draw_runner_picture(int size) {
    return paint_on_grid(size, 32, [&](QPainter& p) {
        const QPen limb(QColor(20, 120, 40), 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(20, 120, 40));
        p.drawEllipse(QPointF(19, 5), 3.2, 3.2);
        p.setPen(limb);
        QPainterPath body;
        body.moveTo(17, 10);
        body.lineTo(14, 19);
        p.drawPath(body);
        QPainterPath arms;
        arms.moveTo(8, 13);
        arms.lineTo(12, 10);
        arms.lineTo(18, 11);
        arms.lineTo(22, 16);
        p.drawPath(arms);
        QPainterPath legs;
        legs.moveTo(6, 27);
        legs.lineTo(10, 22);
        legs.lineTo(14, 19);
        legs.lineTo(19, 23);
        legs.lineTo(17, 29);
        p.drawPath(legs);
    });
}

QImage draw_monitor_picture(int size) {
    return paint_on_grid(size, 16, [&](QPainter& p) {
        p.setPen(QPen(QColor(50, 50, 60), 1));
        p.setBrush(QColor(60, 140, 220));
        p.drawRoundedRect(QRectF(1.5, 1.5, 13, 9.5), 1, 1);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(70, 70, 80));
        p.drawRect(QRectF(6.5, 11, 3, 2));
        p.drawRect(QRectF(4, 13, 8, 1.8));
    });
}

QImage draw_tilted_picture(int size) {
    return paint_on_grid(size, 16, [&](QPainter& p) {
        p.save();
        p.translate(8, 8);
        p.rotate(-25);
        p.setPen(QPen(QColor(40, 40, 90), 1.2));
        p.setBrush(QColor(140, 110, 220));
        p.drawRect(QRectF(-4, -6, 8, 12));
        p.restore();
        p.setPen(QPen(QColor(200, 60, 60), 1.2, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(1, 1, 14, 14), 20 * 16, 70 * 16);
    });
}

} // namespace orvel::gui
