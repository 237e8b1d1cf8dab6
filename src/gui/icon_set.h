#pragma once
// The program's pictures and icons under one numbering, all drawn (drawn_pictures, drawn_icons):
// once at start at the size the program shows them, and again at any pixel size a high-DPI
// screen asks for. Toolbar, tree, status bar and dialogs take them by number.

#include <QIcon>
#include <QImage>

#include <array>

namespace orvel::gui {

namespace icon {
inline constexpr int folder = 6;
inline constexpr int status_good = 7;
inline constexpr int status_imperfect = 8;
inline constexpr int status_preliminary = 9;
inline constexpr int chosen = 10;
inline constexpr int unchosen = 11;
inline constexpr int favourites = 12;
inline constexpr int search = 15;
inline constexpr int run_machine = 16;
inline constexpr int run_advanced = 17;
inline constexpr int run_empty = 18;
inline constexpr int filters_root = 19;
inline constexpr int folders_root = 20;
inline constexpr int machine_info = 21;
inline constexpr int year = 22;
inline constexpr int software = 23;
inline constexpr int bios = 24;
inline constexpr int plus = 25;
inline constexpr int minus = 26;
inline constexpr int chd = 27;
inline constexpr int mechanical = 28;
inline constexpr int manufacturer = 29;
inline constexpr int availability = 30;
inline constexpr int romset_type = 31;
inline constexpr int runnability = 32;
inline constexpr int screen_type = 33;
inline constexpr int screen_rotate = 34;
inline constexpr int status = 35;
inline constexpr int preferences = 36;
inline constexpr int source = 37;
inline constexpr int count = 38;
} // namespace icon

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
