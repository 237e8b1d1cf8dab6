#include "gui/identity_picture.h"

#include "gui/qt_text.h"

#include <QFont>
#include <QLinearGradient>

#include <algorithm>

namespace orvel::gui {

namespace {

constexpr int figure_columns = 13;
constexpr int figure_rows = 10;

// The two frames of the little alien, one byte per pixel, blank rows at top and bottom.
constexpr char frame_one[figure_rows][figure_columns + 1] = {
    ".............", //
    "...X.....X...", //
    "....X...X....", //
    "...XXXXXXX...", //
    "..XX.XXX.XX..", //
    ".XXXXXXXXXXX.", //
    ".X.XXXXXXX.X.", //
    ".X.X.....X.X.", //
    "....XX.XX....", //
    ".............",
};
constexpr char frame_two[figure_rows][figure_columns + 1] = {
    ".............", //
    "...X.....X...", //
    ".X..X...X..X.", //
    ".X.XXXXXXX.X.", //
    ".XXX.XXX.XXX.", //
    ".XXXXXXXXXXX.", //
    "..XXXXXXXXX..", //
    "...X.....X...", //
    "..X.......X..", //
    ".............",
};

QFont identity_font(int points) {
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(points);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

} // namespace

QColor colour_from_bgr(long long value) {
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

QImage paint_figure(QColor colour, bool shadow, int frame) {
    QImage small(figure_columns, figure_rows, QImage::Format_RGB32);
    small.fill(Qt::white);
    const auto& bitmap = frame == 2 ? frame_two : frame_one;
    const QRgb shade = qRgb(0xEE, 0xEE, 0xEE);
    for (int y = 0; y < figure_rows; ++y)
        for (int x = 0; x < figure_columns; ++x) {
            if (bitmap[y][x] != 'X') continue;
            if (shadow && y + 1 < figure_rows) small.setPixel(x, y + 1, shade);
            small.setPixel(x, y, colour.rgb());
        }
    return small.scaled(80, 70, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

QImage paint_program_icon(int size) {
    if (size < 16) return {};
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal margin = size / 16.0;
    const QRectF tile(margin, margin, size - 2 * margin, size - 2 * margin);
    QLinearGradient shade(tile.topLeft(), tile.bottomLeft());
    shade.setColorAt(0, QColor(40, 52, 96));
    shade.setColorAt(1, QColor(14, 18, 40));
    p.setPen(Qt::NoPen);
    p.setBrush(shade);
    p.drawRoundedRect(tile, size / 5.0, size / 5.0);

    // The figure's inked part spans columns 1-11 and rows 1-8 of its bitmap; whole-pixel cells
    // keep it sharp at every size.
    constexpr int ink_columns = figure_columns - 2;
    constexpr int ink_rows = figure_rows - 2;
    const int cell = std::max(1, static_cast<int>(tile.width() * 0.8) / ink_columns);
    const int left = (size - cell * ink_columns) / 2;
    const int top = (size - cell * ink_rows) / 2;
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(colour_from_bgr(0x0ECC11));
    for (int y = 0; y < ink_rows; ++y)
        for (int x = 0; x < ink_columns; ++x)
            if (frame_one[y + 1][x + 1] == 'X')
                p.drawRect(left + x * cell, top + y * cell, cell, cell);
    return image;
}

IdentityLayout splash_layout() {
    return {{QPoint(5, 15), QPoint(95, 15), QPoint(5, 95), QPoint(95, 95)},
            QPoint(185, 10),
            {QPoint(190, 75), QPoint(190, 95), QPoint(190, 115), QPoint(190, 135)}};
}

IdentityLayout about_layout() {
    return {{QPoint(5, 10), QPoint(95, 10), QPoint(5, 90), QPoint(95, 90)},
            QPoint(185, 10),
            {QPoint(195, 80), QPoint(195, 100), QPoint(195, 120), QPoint(195, 140)}};
}

std::array<QString, 5> identity_texts(const Settings& settings) {
    return {qs(settings.product_name), QStringLiteral("A front end for the MAME emulator."),
            qs(settings.version_text) + QStringLiteral(" 64Bit Build"),
            QStringLiteral("Copyright \u00A9 2020 The Orvel Developers"),
            QStringLiteral("Free software under the GNU GPL, version 3 or later.")};
}

void paint_identity(QPainter& painter, const IdentityLayout& layout, const Settings& settings) {
    // Figures 1 to 4: colours as 0x00BBGGRR and their frames.
    const long long colours[4] = {0x0022FF, 0x0ECC11, 0xFF1111, 0x00CCFF};
    const int frames[4] = {1, 2, 2, 1};
    for (int i = 0; i < 4; ++i)
        painter.drawImage(layout.figures[static_cast<std::size_t>(i)],
                          paint_figure(colour_from_bgr(colours[i]), true, frames[i]));

    const auto texts = identity_texts(settings);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setPen(QColor(128, 128, 128));
    const QFont large = identity_font(40);
    painter.setFont(large);
    painter.drawText(QRect(layout.title, QSize(400, QFontMetrics(large).height())),
                     Qt::AlignLeft | Qt::AlignTop, texts[0]);
    const QFont small = identity_font(9);
    painter.setFont(small);
    for (int i = 0; i < 4; ++i)
        painter.drawText(QRect(layout.lines[static_cast<std::size_t>(i)],
                               QSize(400, QFontMetrics(small).height())),
                         Qt::AlignLeft | Qt::AlignTop, texts[static_cast<std::size_t>(i + 1)]);
}

} // namespace orvel::gui
