#pragma once
// The look the settings give the machine list and the filter tree: the list font (face, size
// and style bits) and the text and background colours (0x00BBGGRR; -1 is the system's colour).

#include "settings/settings.h"

#include <QColor>
#include <QFont>

class QWidget;

namespace orvel::gui {

// Style bits of the stored font.
inline constexpr std::int64_t font_bold = 256;
inline constexpr std::int64_t font_italic = 512;
inline constexpr std::int64_t font_underline = 4;
inline constexpr std::int64_t font_strike_out = 8;

QFont list_font(const Settings& settings);
// The face, size and style bits a chosen font stores.
void store_list_font(Settings& settings, const QFont& font);

// A stored colour as Qt's colour, and back.
std::int64_t bgr_from_colour(const QColor& colour);

// The list font, and the stored colours as the widget's text and base colours (the system's
// where a colour is -1).
void apply_list_look(QWidget* widget, const Settings& settings);

// The system's fixed-pitch font for MAME's output; where the face the system names is missing or
// not fixed-pitch (Wine without Windows' own fonts), the first installed fixed-pitch face.
QFont fixed_pitch_font();

} // namespace orvel::gui
