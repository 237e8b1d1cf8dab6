#include "gui/console_window.h"

#include "gui/ansi_text.h"
#include "gui/list_look.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTextCursor>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

namespace orvel::gui {

namespace {
bool plain(const std::vector<AnsiRun>& runs) {
    return runs.size() == 1 && !runs.front().colour.isValid() && !runs.front().bold;
}
} // namespace

ConsoleWindow::ConsoleWindow(const QString& title, std::size_t line_limit, QWidget* parent)
    : QWidget(parent, Qt::Window), output_(new QPlainTextEdit(this)), status_(new QLabel(this)),
      stop_(new QPushButton(QStringLiteral("&Stop"), this)), bar_(new QProgressBar(this)),
      stopping_text_(QStringLiteral("Stopping...")), line_limit_(line_limit) {
    setWindowTitle(title);
    setAttribute(Qt::WA_DeleteOnClose, false);
    // Runs start from modal windows too (the software list and advanced run windows). A console
    // outside the modal chain would be blocked there: its Stop and its pause could never be
    // answered.
    setWindowModality(Qt::ApplicationModal);
    output_->setReadOnly(true);
    output_->setFont(fixed_pitch_font());
    output_->setMaximumBlockCount(static_cast<int>(line_limit_));
    output_->setUndoRedoEnabled(false);
    QPalette palette = output_->palette();
    palette.setColor(QPalette::Base, Qt::black);
    palette.setColor(QPalette::Text, QColor(192, 192, 192));
    output_->setPalette(palette);
    output_->installEventFilter(this);
    stop_->setToolTip(QStringLiteral("End MAME and everything it started (Esc)"));
    connect(stop_, &QPushButton::clicked, this, &ConsoleWindow::ask_stop);
    bar_->setFormat(QStringLiteral("%v of %m"));
    bar_->setMinimumWidth(
        bar_->fontMetrics().horizontalAdvance(QStringLiteral("000000 of 000000")) + 24);
    bar_->hide();
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(6, 4, 6, 4);
    bar->addWidget(status_, 1);
    bar->addWidget(bar_);
    bar->addWidget(stop_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(output_);
    layout->addLayout(bar);
    repaint_timer_.setSingleShot(true);
    repaint_timer_.setInterval(50);
    connect(&repaint_timer_, &QTimer::timeout, this, &ConsoleWindow::show_pending);
    resize(720, 380);
}

void ConsoleWindow::append_lines(const QStringList& lines, std::uint64_t dropped) {
    dropped_ += dropped;
    pending_ += lines;
    // Lines that would be trimmed at once are never laid out.
    if (static_cast<std::size_t>(pending_.size()) > line_limit_) {
        const qsizetype extra = pending_.size() - static_cast<qsizetype>(line_limit_);
        pending_.remove(0, extra);
        dropped_ += static_cast<std::uint64_t>(extra) + shown_;
        shown_ = 0;
        output_->clear();
    }
    if (!repaint_timer_.isActive()) repaint_timer_.start();
}

void ConsoleWindow::show_pending() {
    if (pending_.isEmpty()) return;
    QScrollBar* scroll = output_->verticalScrollBar();
    // The view follows the output unless the user scrolled up to read.
    const bool at_end = scroll->value() >= scroll->maximum() - 2;
    const int kept_position = scroll->value();
    QStringList plain_run;
    const auto flush_plain = [&] {
        if (plain_run.isEmpty()) return;
        output_->appendPlainText(plain_run.join(QLatin1Char('\n')));
        plain_run.clear();
    };
    for (const QString& line : std::as_const(pending_)) {
        const std::vector<AnsiRun> runs = parse_ansi(line);
        if (plain(runs)) {
            plain_run << runs.front().text;
            continue;
        }
        flush_plain();
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
    flush_plain();
    shown_ += static_cast<std::uint64_t>(pending_.size());
    pending_.clear();
    const auto blocks = static_cast<std::uint64_t>(output_->document()->blockCount());
    if (shown_ > blocks) {
        dropped_ += shown_ - blocks;
        shown_ = blocks;
    }
    show_status();
    scroll->setValue(at_end ? scroll->maximum() : kept_position);
}

void ConsoleWindow::show_status() {
    QStringList parts;
    if (!progress_.isEmpty()) parts << progress_;
    if (dropped_ > 0)
        parts << QStringLiteral("%1 earlier lines not shown (the last %2 are kept)")
                     .arg(dropped_)
                     .arg(line_limit_);
    status_->setText(parts.join(QStringLiteral("; ")));
}

QString ConsoleWindow::text() {
    show_pending();
    return output_->toPlainText();
}

void ConsoleWindow::ask_key(const QString& prompt, std::function<void()> pressed) {
    append_line(prompt);
    show_pending();
    key_pressed_ = std::move(pressed);
    stop_->hide();
    show();
    raise();
    activateWindow();
    output_->setFocus();
}

void ConsoleWindow::release_key() {
    if (auto pressed = std::exchange(key_pressed_, {})) pressed();
}

void ConsoleWindow::set_stoppable(bool stoppable) {
    stoppable_ = stoppable;
    stop_->setVisible(stoppable);
}

void ConsoleWindow::set_count(std::uint64_t done, std::uint64_t total) {
    bar_->setVisible(total > 0);
    if (total == 0) return;
    // More than before is possible (a newer MAME): the bar stays full then.
    const auto limit = static_cast<std::uint64_t>(std::numeric_limits<int>::max());
    bar_->setRange(0, static_cast<int>(std::min(total, limit)));
    bar_->setValue(static_cast<int>(std::min({done, total, limit})));
}

void ConsoleWindow::set_stop_text(const QString& caption, const QString& stopping,
                                  const QString& tip) {
    if (!stopping_) stop_->setText(caption);
    stopping_text_ = stopping;
    stop_->setToolTip(tip);
}

void ConsoleWindow::ask_stop() {
    if (key_pressed_) return release_key();
    if (stopping_ || !stoppable_) return;
    stopping_ = true;
    stop_->setEnabled(false);
    stop_->setText(stopping_text_);
    emit stopRequested();
}

bool ConsoleWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == output_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key_pressed_) {
            // Modifier keys alone do not count as the key press that ends the pause.
            switch (key->key()) {
            case Qt::Key_Shift:
            case Qt::Key_Control:
            case Qt::Key_Alt:
            case Qt::Key_Meta:
                break;
            default:
                release_key();
                return true;
            }
        } else if (key->key() == Qt::Key_Escape) {
            ask_stop();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ConsoleWindow::closeEvent(QCloseEvent* event) {
    // Closing a paused console counts as the key press; closing it while the work runs asks
    // the work to stop, and the console goes when the work has ended.
    if (key_pressed_) {
        release_key();
        event->accept();
        return;
    }
    ask_stop();
    event->ignore();
}

} // namespace orvel::gui
