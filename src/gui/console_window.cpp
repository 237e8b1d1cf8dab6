#include "gui/console_window.h"

#include "gui/ansi_text.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QTextCursor>
#include <QVBoxLayout>

namespace orvel::gui {

ConsoleWindow::ConsoleWindow(const QString& title, QWidget* parent)
    : QWidget(parent, Qt::Window), output_(new QPlainTextEdit(this)) {
    setWindowTitle(title);
    setAttribute(Qt::WA_DeleteOnClose, false);
    // Runs start from modal windows too (the software list and advanced run windows). A console
    // outside the modal chain would be blocked there: its pause could never be answered.
    setWindowModality(Qt::ApplicationModal);
    output_->setReadOnly(true);
    output_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    output_->setMaximumBlockCount(5000);
    QPalette palette = output_->palette();
    palette.setColor(QPalette::Base, Qt::black);
    palette.setColor(QPalette::Text, QColor(192, 192, 192));
    output_->setPalette(palette);
    output_->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(output_);
    resize(720, 360);
}

void ConsoleWindow::append_line(const QString& line) {
    const std::vector<AnsiRun> runs = parse_ansi(line);
    if (runs.size() == 1 && !runs.front().colour.isValid() && !runs.front().bold) {
        output_->appendPlainText(runs.front().text);
        return;
    }
    output_->appendPlainText(QString());
    QTextCursor cursor(output_->document());
    cursor.movePosition(QTextCursor::End);
    for (const AnsiRun& run : runs) {
        QTextCharFormat look;
        if (run.colour.isValid()) look.setForeground(run.colour);
        if (run.bold) look.setFontWeight(QFont::Bold);
        cursor.insertText(run.text, look);
    }
}

void ConsoleWindow::wait_for_key(const QString& prompt) {
    append_line(prompt);
    show();
    raise();
    activateWindow();
    output_->setFocus();
    QEventLoop loop;
    connect(this, &ConsoleWindow::keyPressed, &loop, &QEventLoop::quit);
    waiting_ = true;
    loop.exec();
    waiting_ = false;
}

bool ConsoleWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == output_ && event->type() == QEvent::KeyPress && waiting_) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // Modifier keys alone do not count as the key press that ends the pause.
        switch (key->key()) {
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_Meta:
            break;
        default:
            emit keyPressed();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ConsoleWindow::closeEvent(QCloseEvent* event) {
    // Closing a paused console counts as the key press.
    if (waiting_) emit keyPressed();
    event->accept();
}

} // namespace orvel::gui
