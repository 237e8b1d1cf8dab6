#include "gui/ansi_text.h"

#include <array>

namespace orvel::gui {

namespace {

// The usual terminal palette: normal and bright variants of the eight colours.
const std::array<QColor, 16> palette = {
    QColor(0, 0, 0),       QColor(205, 49, 49),   QColor(13, 188, 121), QColor(229, 229, 16),
    QColor(36, 114, 200),  QColor(188, 63, 188),  QColor(17, 168, 205), QColor(229, 229, 229),
    QColor(102, 102, 102), QColor(241, 76, 76),   QColor(35, 209, 139), QColor(245, 245, 67),
    QColor(59, 142, 234),  QColor(214, 112, 214), QColor(41, 184, 219), QColor(255, 255, 255),
};

void apply_sgr(const QString& parameters, QColor& colour, bool& bold) {
    const QStringList codes = parameters.split(QLatin1Char(';'));
    for (const QString& text : codes) {
        const int code = text.isEmpty() ? 0 : text.toInt();
        if (code == 0) {
            colour = QColor();
            bold = false;
        } else if (code == 1) {
            bold = true;
        } else if (code == 22) {
            bold = false;
        } else if (code >= 30 && code <= 37) {
            colour = palette[static_cast<std::size_t>(code - 30)];
        } else if (code >= 90 && code <= 97) {
            colour = palette[static_cast<std::size_t>(code - 90 + 8)];
        } else if (code == 39) {
            colour = QColor();
        }
    }
}

} // namespace

std::vector<AnsiRun> parse_ansi(const QString& line) {
    std::vector<AnsiRun> runs;
    AnsiRun current;
    const auto close_run = [&] {
        if (!current.text.isEmpty()) runs.push_back(current);
        current.text.clear();
    };
    const qsizetype size = line.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = line[i];
        if (c != QChar(0x1b)) {
            current.text += c;
            continue;
        }
        // ESC [ parameters final-byte: a control sequence; ESC and one more character: another
        // escape. Either way nothing of it is shown.
        if (i + 1 < size && line[i + 1] == QLatin1Char('[')) {
            qsizetype end = i + 2;
            while (end < size && !(line[end].unicode() >= 0x40 && line[end].unicode() <= 0x7e))
                ++end;
            if (end < size && line[end] == QLatin1Char('m')) {
                close_run();
                apply_sgr(line.mid(i + 2, end - i - 2), current.colour, current.bold);
            }
            i = end;
        } else {
            ++i;
        }
    }
    close_run();
    if (runs.empty()) runs.push_back(AnsiRun{});
    return runs;
}

} // namespace orvel::gui
