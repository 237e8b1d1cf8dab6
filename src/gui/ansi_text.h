#pragma once
// MAME colours some of its console lines with ANSI escape sequences. The console shows the
// colours of the "select graphic rendition" sequences and drops every other sequence, so no
// escape character ever reaches the screen.

#include <QColor>
#include <QString>

#include <vector>

namespace orvel::gui {

struct AnsiRun {
    QString text;
    QColor colour; // invalid: the console's own text colour
    bool bold = false;
};

// Splits one line into runs of text of one look. Sequences are removed; a line without any
// gives a single run.
std::vector<AnsiRun> parse_ansi(const QString& line);

} // namespace orvel::gui
