#include "gui/drawn_icons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

namespace orvel::gui {

namespace {

QImage blank(int size) {
    if (size <= 0) return {};
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// A painter with antialiasing on, as every routine uses.
void start(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

// A transparent square of the given size painted by draw with antialiasing on; a null image
// for a size of 0 or less.
template <typename Draw> QImage paint_icon(int size, Draw draw) {
    QImage image = blank(size);
    if (image.isNull()) return image;
    QPainter p(&image);
    start(p);
    draw(p);
    return image;
}

QPen pen(const QBrush& brush, double width, Qt::PenCapStyle cap = Qt::FlatCap,
         Qt::PenJoinStyle join = Qt::MiterJoin) {
    QPen p(brush, width, Qt::SolidLine, cap, join);
    return p;
}

double clamp_factor(double f) {
    return std::min(f, 1.0);
}

} // namespace

QImage paint_on_grid(int size, double grid, const std::function<void(QPainter&)>& draw) {
    return paint_icon(size, [&](QPainter& p) {
        if (grid > 0) p.scale(size / grid, size / grid);
        draw(p);
    });
}

QColor darkened(QColor colour, double f) {
    f = clamp_factor(f);
    return QColor(static_cast<int>(std::lround(colour.red() * f)),
                  static_cast<int>(std::lround(colour.green() * f)),
                  static_cast<int>(std::lround(colour.blue() * f)), colour.alpha());
}

QColor more_transparent(QColor colour, double f) {
    f = clamp_factor(f);
    QColor c = colour;
    c.setAlpha(static_cast<int>(std::lround(colour.alpha() * f)));
    return c;
}

int sign_stroke_width(int size) {
    return size / 3 - size % 3;
}

QImage draw_minus(int size, QColor colour) {
    return paint_icon(size, [&](QPainter& p) {
        const double h = size / 2.0;
        p.setPen(pen(colour, sign_stroke_width(size)));
        p.drawLine(QPointF(0, h), QPointF(size, h));
    });
}

QImage draw_plus(int size, QColor colour) {
    return paint_icon(size, [&](QPainter& p) {
        const double h = size / 2.0;
        QPainterPath path;
        path.moveTo(0, h);
        path.lineTo(size, h);
        path.moveTo(h, 0);
        path.lineTo(h, size);
        p.strokePath(path, pen(colour, sign_stroke_width(size)));
    });
}

QImage draw_tick(int size, QColor colour) {
    return paint_icon(size, [&](QPainter& p) {
        const double s = size, h = s / 2, q = s / 10;
        QPainterPath path;
        path.moveTo(q, h);
        path.lineTo(h, s - 2 * q);
        path.lineTo(s - q, q);
        p.strokePath(path, pen(colour, 2 * q, Qt::RoundCap, Qt::RoundJoin));
    });
}

QImage draw_status_light(int size, QColor colour) {
    return paint_icon(size, [&](QPainter& p) {
        const double s = size, h = s / 2, u = s / 8;
        QPainterPath ring;
        ring.addEllipse(QPointF(h, h), s / 2.4, s / 2.4);
        p.strokePath(ring, pen(colour, u, Qt::RoundCap, Qt::RoundJoin));
        QPainterPath mark;
        mark.moveTo(3 * u, 4 * u);
        mark.lineTo(4 * u, 5 * u);
        mark.lineTo(5.5 * u, 3 * u);
        p.strokePath(mark, pen(colour, 0.75 * u, Qt::RoundCap, Qt::RoundJoin));
    });
}

QImage draw_stop_sign(int size, QColor cross, QColor disc) {
    return paint_icon(size, [&](QPainter& p) {
        const double s = size, h = s / 2, a = s / 3.5;
        QPainterPath circle;
        circle.addEllipse(QPointF(h, h), h, h);
        p.fillPath(circle, disc);
        QPainterPath lines;
        lines.moveTo(a, a);
        lines.lineTo(s - a, s - a);
        lines.moveTo(a, s - a);
        lines.lineTo(s - a, a);
        p.strokePath(lines, pen(cross, s / 10));
    });
}

QImage draw_warning_sign(int size, QColor ink, QColor fill) {
    return paint_icon(size, [&](QPainter& p) {
        const double s = size, h = s / 2, m = s / 12, v = s / 32;
        QPainterPath triangle;
        triangle.moveTo(m, s - m);
        triangle.lineTo(h, m);
        triangle.lineTo(s - m, s - m);
        triangle.closeSubpath();
        p.fillPath(triangle, fill);
        p.strokePath(triangle, pen(ink, m, Qt::RoundCap, Qt::RoundJoin));
        QPainterPath bar;
        bar.moveTo(14 * v, 13 * v);
        bar.lineTo(16 * v, 23 * v);
        bar.lineTo(18 * v, 13 * v);
        bar.closeSubpath();
        p.fillPath(bar, ink);
        QPainterPath dots;
        dots.addEllipse(QPointF(16 * v, 13 * v), 2 * v, 2 * v);
        dots.addEllipse(QPointF(16 * v, 25 * v), 1.5 * v, 1.5 * v);
        dots.setFillRule(Qt::WindingFill);
        p.fillPath(dots, ink);
    });
}

QImage draw_info_symbol(int size, QColor letter, QColor disc) {
    return paint_icon(size, [&](QPainter& p) {
        const double s = size, h = s / 2, v = s / 32;
        QPainterPath circle;
        circle.addEllipse(QPointF(h, h), s / 2.4, s / 2.4);
        p.fillPath(circle, disc);
        QPainterPath dot;
        dot.addEllipse(QPointF(h, s / 4), 2 * v, 2 * v);
        p.fillPath(dot, letter);
        QPainterPath stem;
        stem.moveTo(h, 13 * v);
        stem.lineTo(h, 23 * v);
        stem.lineTo(18 * v, 23 * v);
        p.strokePath(stem, pen(letter, 4 * v, Qt::RoundCap, Qt::RoundJoin));
    });
}

QImage draw_star(int size, QColor colour) {
    return paint_icon(size, [&](QPainter& p) {
        const double s = size;
        const QPointF centre(0.5 * s, 0.53 * s);
        // The path is built in the painter's coordinates while they turn about the centre, so
        // each point is mapped back through the current transform.
        QPainterPath path;
        p.save();
        path.moveTo(0.5 * s, 0.03 * s);
        QTransform turn;
        for (int step = 1; step <= 9; ++step) {
            turn.translate(centre.x(), centre.y());
            turn.rotate(36);
            turn.translate(-centre.x(), -centre.y());
            const double radius = (step % 2 == 1) ? 0.19 * s : 0.5 * s;
            path.lineTo(turn.map(QPointF(centre.x(), centre.y() - radius)));
        }
        path.closeSubpath();
        p.restore();
        p.fillPath(path, colour);
    });
}

QImage draw_preferences_symbol(int size, QColor colour) {
    QImage image = blank(size);
    if (image.isNull()) return image;
    QPainter p(&image);
    start(p);
    const double s = size, h = s / 2;
    const QPen stroke = pen(colour, s / 14, Qt::RoundCap, Qt::RoundJoin);
    QPainterPath hub;
    hub.addEllipse(QPointF(h, h), s * 0.14, s * 0.14);
    p.strokePath(hub, stroke);
    // One tooth: five connected segments from the rim out and back, repeated eight times.
    const double inner = s * 0.30, outer = s * 0.45;
    p.translate(h, h);
    for (int tooth = 0; tooth < 8; ++tooth) {
        QPainterPath path;
        const double a0 = -22.5, a1 = -12.0, a2 = -8.0;
        auto at = [](double radius, double degrees) {
            const double r = degrees * M_PI / 180.0;
            return QPointF(radius * std::sin(r), -radius * std::cos(r));
        };
        path.moveTo(at(inner, a0));
        path.lineTo(at(inner, a1));
        path.lineTo(at(outer, a2));
        path.lineTo(at(outer, -a2));
        path.lineTo(at(inner, -a1));
        path.lineTo(at(inner, -a0));
        p.strokePath(path, stroke);
        p.rotate(45);
    }
    return image;
}

QImage draw_search_symbol(int size, QColor handle, QColor rim, QColor shine, QColor glass) {
    return paint_icon(size, [&](QPainter& p) {
        const double s = size;
        const QPointF lens(s * 0.40, s * 0.40);
        const double r = s * 0.28;
        // The handle, running from the rim down to the lower right corner.
        QLinearGradient handle_shade(QPointF(s * 0.6, s * 0.6), QPointF(s * 0.95, s * 0.95));
        handle_shade.setColorAt(0, darkened(handle, 0.9));
        handle_shade.setColorAt(1, darkened(handle, 0.55));
        p.setPen(pen(handle_shade, s * 0.16, Qt::RoundCap));
        p.drawLine(QPointF(s * 0.62, s * 0.62), QPointF(s * 0.9, s * 0.9));
        // The glass, filled with a soft blue that fades towards the middle.
        QRadialGradient fill(lens, r);
        fill.setColorAt(0, more_transparent(glass, 0.35));
        fill.setColorAt(1, darkened(glass, 0.85));
        QPainterPath disc;
        disc.addEllipse(lens, r, r);
        p.fillPath(disc, fill);
        // The rim.
        QLinearGradient rim_shade(QPointF(lens.x() - r, lens.y() - r),
                                  QPointF(lens.x() + r, lens.y() + r));
        rim_shade.setColorAt(0, rim);
        rim_shade.setColorAt(1, darkened(handle, 0.6));
        QPainterPath ring;
        ring.addEllipse(lens, r, r);
        p.strokePath(ring, pen(rim_shade, s * 0.09));
        // A highlight on the glass.
        QPainterPath glint;
        glint.addEllipse(QPointF(lens.x() - r * 0.35, lens.y() - r * 0.35), r * 0.32, r * 0.2);
        p.strokePath(glint, pen(shine, s * 0.05, Qt::RoundCap));
    });
}

QImage draw_year_symbol(int size, QColor page, QColor binding, QColor ink, QColor header) {
    return paint_icon(size, [&](QPainter& p) {
        const double s = size;
        const QRectF sheet(s * 0.1, s * 0.15, s * 0.8, s * 0.78);
        p.fillRect(sheet, page);
        p.fillRect(QRectF(sheet.left(), sheet.bottom() - s * 0.08, sheet.width(), s * 0.08),
                   binding);
        QLinearGradient band(QPointF(0, sheet.top()), QPointF(0, sheet.top() + s * 0.25));
        band.setColorAt(0, header);
        band.setColorAt(1, darkened(header, 0.7));
        p.fillRect(QRectF(sheet.left(), sheet.top(), sheet.width(), s * 0.25), band);
        // The rings at the top and the day marks.
        p.setPen(pen(ink, std::max(1.0, s / 16), Qt::RoundCap));
        p.drawLine(QPointF(s * 0.3, s * 0.07), QPointF(s * 0.3, s * 0.22));
        p.drawLine(QPointF(s * 0.7, s * 0.07), QPointF(s * 0.7, s * 0.22));
        for (int row = 0; row < 2; ++row)
            for (int col = 0; col < 3; ++col) {
                const double x = s * (0.22 + col * 0.2), y = s * (0.52 + row * 0.17);
                p.drawLine(QPointF(x, y), QPointF(x + s * 0.1, y));
            }
        QPainterPath mark;
        mark.addEllipse(QPointF(s * 0.72, s * 0.69), s * 0.06, s * 0.06);
        p.fillPath(mark, ink);
    });
}

QImage draw_software_symbol(int size, QColor body, QColor label_ink, QColor paper) {
    return paint_icon(size, [&](QPainter& p) {
        const double s = size, m = s * 0.08, c = s * 0.12;
        // A floppy disk: the white backing, the navy case with three rounded corners and one cut.
        p.fillRect(QRectF(m, m, s - 2 * m, s - 2 * m), paper);
        QPainterPath shell;
        shell.moveTo(m + c, m);
        shell.lineTo(s - m - c * 1.5, m);
        shell.lineTo(s - m, m + c * 1.5);
        shell.lineTo(s - m, s - m - c);
        shell.arcTo(QRectF(s - m - 2 * c, s - m - 2 * c, 2 * c, 2 * c), 0, -90);
        shell.lineTo(m + c, s - m);
        shell.arcTo(QRectF(m, s - m - 2 * c, 2 * c, 2 * c), 270, -90);
        shell.lineTo(m, m + c);
        shell.arcTo(QRectF(m, m, 2 * c, 2 * c), 180, -90);
        shell.closeSubpath();
        p.fillPath(shell, body);
        p.strokePath(shell, pen(body, s / 24));
        // The label, with three lines of writing.
        const QRectF label(s * 0.22, s * 0.46, s * 0.56, s * 0.42);
        p.fillRect(label, paper);
        p.setPen(pen(label_ink, std::max(1.0, s / 20), Qt::FlatCap));
        for (int line = 0; line < 3; ++line) {
            const double y = label.top() + label.height() * (0.25 + line * 0.25);
            p.drawLine(QPointF(label.left() + s * 0.06, y), QPointF(label.right() - s * 0.06, y));
        }
        // The shutter slot.
        p.fillRect(QRectF(s * 0.34, m, s * 0.3, s * 0.26), paper);
        p.fillRect(QRectF(s * 0.52, m + s * 0.04, s * 0.07, s * 0.17), body);
    });
}

QImage draw_availability_symbol(int size, QColor lines, QColor disc) {
    return paint_icon(size, [&](QPainter& p) {
        const double s = size, h = s / 2;
        QPainterPath globe;
        globe.addEllipse(QPointF(h, h), s * 0.46, s * 0.46);
        p.fillPath(globe, disc);
        const QPen stroke = pen(lines, std::max(1.0, s / 14), Qt::RoundCap, Qt::RoundJoin);
        QPainterPath meridian;
        meridian.addEllipse(QPointF(h, h), s * 0.18, s * 0.38);
        p.strokePath(meridian, stroke);
        QPainterPath equator;
        equator.moveTo(s * 0.1, h);
        equator.quadTo(h, h + s * 0.2, s * 0.9, h);
        p.strokePath(equator, stroke);
        QPainterPath pole;
        pole.addEllipse(QPointF(h, s * 0.2), s * 0.07, s * 0.07);
        p.fillPath(pole, lines);
    });
}

QImage draw_source_symbol(int size, QColor paper, QColor outline, QColor ink) {
    return paint_icon(size, [&](QPainter& p) {
        const double s = size;
        // A sheet of source text with a folded corner.
        QPainterPath sheet;
        sheet.moveTo(s * 0.15, s * 0.06);
        sheet.lineTo(s * 0.62, s * 0.06);
        sheet.lineTo(s * 0.82, s * 0.26);
        sheet.lineTo(s * 0.82, s * 0.94);
        sheet.lineTo(s * 0.15, s * 0.94);
        sheet.closeSubpath();
        p.fillPath(sheet, paper);
        p.strokePath(sheet, pen(outline, std::max(1.0, s / 20), Qt::FlatCap, Qt::MiterJoin));
        p.setPen(pen(ink, std::max(1.0, s / 28), Qt::FlatCap));
        const double widths[] = {0.35, 0.45, 0.28, 0.4};
        for (int line = 0; line < 4; ++line) {
            const double y = s * (0.22 + line * 0.1);
            p.drawLine(QPointF(s * 0.24, y), QPointF(s * (0.24 + widths[line]), y));
        }
        // A pencil lying across the lower corner.
        p.translate(s * 0.58, s * 0.74);
        p.rotate(-45);
        p.scale(s / 28.0, s / 28.0);
        p.setPen(pen(outline, 1.2, Qt::FlatCap, Qt::MiterJoin));
        p.drawLine(QPointF(-7, -2), QPointF(6, -2));
        p.drawLine(QPointF(-7, 2), QPointF(6, 2));
        p.drawLine(QPointF(-7, -2), QPointF(-7, 2));
        QPainterPath nib;
        nib.moveTo(6, -2);
        nib.lineTo(11, 0);
        nib.lineTo(6, 2);
        nib.closeSubpath();
        p.fillPath(nib, outline);
        QPainterPath point;
        point.moveTo(9.5, -0.6);
        point.lineTo(11, 0);
        point.lineTo(9.5, 0.6);
        point.closeSubpath();
        p.fillPath(point, ink);
    });
}

} // namespace orvel::gui
