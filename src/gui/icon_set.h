#pragma once
// The program's pictures and icons under one numbering, all drawn (drawn_pictures, drawn_icons):
// once at start at the size the program shows them, and again at any pixel size a high-DPI
// screen asks for. Toolbar, tree, status bar and dialogs take them by number.

#include "host/pictures.h"

#include <QIcon>
#include <QImage>

#include <array>

namespace orvel::gui {

class IconSet {
  public:
    // Draws every picture at its own size; false when one could not be drawn (its image stays
    // null, the others are prepared all the same).
    bool prepare();
    // The image with this number; a null image for an unknown number.
    const QImage& image(int number) const;
    // The picture drawn at an edge length of pixels; null for an unknown number.
    QImage make(int number, int pixels) const;
    // The picture shown size x size, with pixmaps for pixel ratios 1 and 2, so it stays sharp
    // on a high-DPI screen.
    QIcon icon(int number, int size) const;

  private:
    std::array<QImage, icon::count> images_;
};

} // namespace orvel::gui
