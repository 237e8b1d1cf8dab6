#include "gui/about_window.h"

#include "gui/identity_picture.h"

#include <QAction>
#include <QPainter>

namespace orvel::gui {

AboutWindow::AboutWindow(const Settings& settings, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint),
      settings_(settings) {
    setWindowTitle(QStringLiteral("About ORVEL..."));
    setFixedSize(500, 180);
    setModal(true);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    // A hidden "Close" item bound to Escape: the same way out as the close box.
    auto* close_item = new QAction(QStringLiteral("Close"), this);
    close_item->setShortcut(QKeySequence(Qt::Key_Escape));
    close_item->setShortcutContext(Qt::WindowShortcut);
    connect(close_item, &QAction::triggered, this, &QDialog::reject);
    addAction(close_item);
}

void AboutWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paint_identity(painter, about_layout(), settings_);
}

} // namespace orvel::gui
