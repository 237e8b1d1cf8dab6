#include <QApplication>
#include <QMessageBox>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMessageBox::information(nullptr, QStringLiteral("Orvel"),
                             QStringLiteral("The desktop program is being assembled."));
    return 0;
}
