#pragma once
// The program's small drawn icons: each routine paints one shape, antialiased, into a fresh
// transparent square image of the given edge length. A routine returns a null image when
// painting cannot start (a size of 0 or less).

#include <QColor>
#include <QImage>

#include <functional>

class QPainter;

namespace orvel::gui {

// A transparent square of size pixels on which draw paints in units of a grid x grid square,
// antialiased; a null image for a size of 0 or less. Every drawn icon and picture starts here.
QImage paint_on_grid(int size, double grid, const std::function<void(QPainter&)>& draw);

// Stroke width of the plus and minus signs: a third of the size less the remainder.
int sign_stroke_width(int size);

QImage draw_minus(int size, QColor colour);
QImage draw_plus(int size, QColor colour);
QImage draw_tick(int size, QColor colour);
QImage draw_status_light(int size, QColor colour);
QImage draw_stop_sign(int size, QColor cross, QColor disc);
QImage draw_warning_sign(int size, QColor ink, QColor fill);
QImage draw_info_symbol(int size, QColor letter, QColor disc);
QImage draw_star(int size, QColor colour);
QImage draw_preferences_symbol(int size, QColor colour);
QImage draw_search_symbol(int size, QColor handle, QColor rim, QColor shine, QColor glass);
QImage draw_year_symbol(int size, QColor page, QColor binding, QColor ink, QColor header);
QImage draw_software_symbol(int size, QColor body, QColor label_ink, QColor paper);
QImage draw_availability_symbol(int size, QColor lines, QColor disc);
QImage draw_source_symbol(int size, QColor paper, QColor outline, QColor ink);

// Colour variants used by the gradients: darkened multiplies red, green and blue by f; more
// transparent multiplies alpha by f. f above 1 counts as 1; products are rounded.
QColor darkened(QColor colour, double f);
QColor more_transparent(QColor colour, double f);

} // namespace orvel::gui
