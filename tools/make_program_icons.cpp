// Writes the program's icon as PNG files for the desktop's icon theme: FOLDER/SIZExSIZE/NAME.png
// for each size the theme is given. Run by the build:
//   make_program_icons FOLDER NAME
#include "gui/identity_picture.h"

#include <QDir>
#include <QGuiApplication>
#include <QString>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_program_icons FOLDER NAME\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    for (int size : {16, 32, 48, 64, 128, 256}) {
        const QString edge = QString::number(size);
        const QString sub = folder + QLatin1Char('/') + edge + QLatin1Char('x') + edge;
        const QString file = sub + QLatin1Char('/') + name + QStringLiteral(".png");
        if (!QDir().mkpath(sub) || !orvel::gui::paint_program_icon(size).save(file)) {
            std::fprintf(stderr, "make_program_icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
