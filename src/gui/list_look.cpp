#include "gui/list_look.h"

#include "gui/identity_picture.h"
#include "gui/qt_text.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QPalette>
#include <QWidget>

namespace orvel::gui {

QFont list_font(const Settings& settings) {
    QFont font(qs(settings.ORVEL_Font_Name));
    if (settings.ORVEL_Font_Size > 0) font.setPointSize(static_cast<int>(settings.ORVEL_Font_Size));
    const std::int64_t style = settings.ORVEL_Font_Style;
    font.setBold((style & font_bold) != 0);
    font.setItalic((style & font_italic) != 0);
    font.setUnderline((style & font_underline) != 0);
    font.setStrikeOut((style & font_strike_out) != 0);
    return font;
}

void store_list_font(Settings& settings, const QFont& font) {
    settings.ORVEL_Font_Name = to_std(font.family());
    if (font.pointSize() > 0) settings.ORVEL_Font_Size = font.pointSize();
    settings.ORVEL_Font_Style = (font.bold() ? font_bold : 0) | (font.italic() ? font_italic : 0) |
                                (font.underline() ? font_underline : 0) |
                                (font.strikeOut() ? font_strike_out : 0);
}

std::int64_t bgr_from_colour(const QColor& colour) {
    return colour.red() | (colour.green() << 8) | (colour.blue() << 16);
}

void apply_list_look(QWidget* widget, const Settings& settings) {
    widget->setFont(list_font(settings));
    QPalette palette = widget->palette();
    const QPalette system = QGuiApplication::palette();
    palette.setColor(QPalette::Base, settings.ORVEL_Back_Colour == -1
                                         ? system.color(QPalette::Base)
                                         : colour_from_bgr(settings.ORVEL_Back_Colour));
    palette.setColor(QPalette::Text, settings.ORVEL_Font_Colour == -1
                                         ? system.color(QPalette::Text)
                                         : colour_from_bgr(settings.ORVEL_Font_Colour));
    widget->setPalette(palette);
}

QFont fixed_pitch_font() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (QFontInfo(font).fixedPitch()) return font;
    font.setFamilies({QStringLiteral("Consolas"), QStringLiteral("Courier New"),
                      QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono"),
                      QStringLiteral("Noto Sans Mono")});
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

} // namespace orvel::gui
