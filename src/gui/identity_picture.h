#pragma once
// The picture the splash and About windows share: four pixel-art figures at the left and the
// five lines of the program's identity at the right.

#include "settings/settings.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPoint>

#include <array>

namespace orvel::gui {

// One figure: the chosen frame (1 or 2) of the 13 x 10 bitmap plotted in the colour on white,
// each pixel with a light grey shadow below it when asked, blown up to 80 x 70 hard-edged.
QImage paint_figure(QColor colour, bool shadow, int frame);

// The program's icon at size x size pixels: the first frame of the figure, hard-edged in whole
// pixels, green on a dark rounded square. A null image for a size below 16.
QImage paint_program_icon(int size);

// A colour stored as 0x00BBGGRR.
QColor colour_from_bgr(long long value);

struct IdentityLayout {
    std::array<QPoint, 4> figures; // top-left corners of figures 1 to 4
    QPoint title;                  // top-left of the title line
    std::array<QPoint, 4> lines;   // description, build, credits, homepage
};

IdentityLayout splash_layout();
IdentityLayout about_layout();

// The five identity texts: title, description, build, credits, homepage.
std::array<QString, 5> identity_texts(const Settings& settings);

void paint_identity(QPainter& painter, const IdentityLayout& layout, const Settings& settings);

} // namespace orvel::gui
