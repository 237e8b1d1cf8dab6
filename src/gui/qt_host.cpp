#include "gui/qt_host.h"

#include "gui/console_window.h"
#include "gui/job_runner.h"
#include "gui/qt_text.h"
#include "gui/screen_fit.h"
#include "gui/splash_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>

#include <algorithm>

namespace orvel::gui {

namespace {

// Message texts carry CR LF line ends (the XML error text plain line feeds); Qt wants line feeds.
QString message_text(std::string_view text) {
    QString result = qs(text);
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return result;
}

QMessageBox::Icon box_icon(Icon icon) {
    switch (icon) {
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Warning:
        return QMessageBox::Warning;
    case Icon::Error:
        return QMessageBox::Critical;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

QString dialog_filter(std::string_view filter) {
    const QStringList parts = qs(filter).split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString pattern = i + 1 < parts.size() ? parts[i + 1].trimmed() : QString();
        if (description.isEmpty() && pattern.isEmpty()) continue;
        QString patterns = pattern;
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        if (description.contains(QLatin1Char('(')) || patterns.isEmpty())
            entries << description;
        else
            entries << description + QStringLiteral(" (") + patterns + QStringLiteral(")");
    }
    return entries.join(QStringLiteral(";;"));
}

QtHost::QtHost() = default;

QtHost::~QtHost() = default;

QWidget* QtHost::dialog_parent() const {
    if (QWidget* active = QApplication::activeWindow()) return active;
    if (splash_ && splash_->isVisible()) return splash_;
    return main_window_;
}

Answer QtHost::message(std::string_view title, std::string_view text, Buttons buttons, Icon icon) {
    QMessageBox::StandardButtons shown = QMessageBox::Ok;
    if (buttons == Buttons::YesNo) shown = QMessageBox::Yes | QMessageBox::No;
    if (buttons == Buttons::YesNoCancel || buttons == Buttons::ReloadOverwriteCancel)
        shown = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    QMessageBox box(box_icon(icon), qs(title), message_text(text), shown, dialog_parent());
    if (buttons == Buttons::ReloadOverwriteCancel) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.button(QMessageBox::Yes)->setText(QStringLiteral("&Reload"));
        box.button(QMessageBox::No)->setText(QStringLiteral("&Overwrite"));
        box.setDefaultButton(QMessageBox::Cancel);
    }
    // The box is made as wide as its title needs, which the window system would cut otherwise
    // (a bold title beside the title bar's icon and buttons).
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        QFont title_font = box.font();
        title_font.setBold(true);
        const int wanted = QFontMetrics(title_font).horizontalAdvance(qs(title)) + 140;
        grid->addItem(new QSpacerItem(std::min(wanted, available_area(dialog_parent()).width() -
                                                           frame_allowance(&box).width()),
                                      0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    // The splash stays on top; a question must not hide behind it.
    box.setWindowFlag(Qt::WindowStaysOnTopHint, splash_ && splash_->isVisible());
    const int answer = box.exec();
    if (buttons == Buttons::Ok) return Answer::Ok;
    if (answer == QMessageBox::Yes) return Answer::Yes;
    if (answer == QMessageBox::No) return Answer::No;
    return default_answer(buttons);
}

std::string QtHost::choose_open_file(std::string_view title, std::string_view default_name,
                                     std::string_view filter) {
    // Qt's dialogs answer with "/"; the program keeps the system's own separators.
    return to_std(QDir::toNativeSeparators(QFileDialog::getOpenFileName(
        dialog_parent(), qs(title), qs(default_name), dialog_filter(filter))));
}

std::string QtHost::choose_save_file(std::string_view title, std::string_view default_name,
                                     std::string_view filter) {
    return to_std(QDir::toNativeSeparators(QFileDialog::getSaveFileName(
        dialog_parent(), qs(title), qs(default_name), dialog_filter(filter))));
}

std::string QtHost::choose_folder(std::string_view title, std::string_view start_folder) {
    QString folder = QDir::toNativeSeparators(
        QFileDialog::getExistingDirectory(dialog_parent(), qs(title), qs(start_folder)));
    if (folder.isEmpty()) return {};
    if (!folder.endsWith(QDir::separator())) folder += QDir::separator();
    return to_std(folder);
}

std::optional<std::string> QtHost::ask_text(std::string_view title, std::string_view prompt,
                                            std::string_view initial) {
    bool ok = false;
    const QString text = QInputDialog::getText(dialog_parent(), qs(title), qs(prompt),
                                               QLineEdit::Normal, qs(initial), &ok);
    if (!ok) return std::nullopt;
    return to_std(text);
}

void QtHost::set_progress(std::string_view text) {
    // While a console speaks for the work, its status line shows the progress.
    if (console_) console_->set_status(qs(text));
    // Showing a splash outside the application's own loop handles pending events (Qt does so
    // to get it painted), which may end the start and let the splash go: it is held here.
    if (SplashWindow* splash = splash_) {
        // The splash follows the console: it shows once no console is open.
        if (!console_ && !splash->isVisible()) splash->show();
        splash->set_status(qs(text));
        return;
    }
    if (text.empty()) {
        if (titled_window_) titled_window_->setWindowTitle(kept_title_);
        titled_window_ = nullptr;
    } else {
        if (!titled_window_) {
            titled_window_ =
                QApplication::activeWindow() ? QApplication::activeWindow() : main_window_.data();
            if (titled_window_) kept_title_ = titled_window_->windowTitle();
        }
        if (titled_window_) titled_window_->setWindowTitle(qs(text));
    }
}

void QtHost::keep_alive() {
    // Long work runs on a worker as a job: the window thread's own loop keeps the windows live.
}

void QtHost::set_progress_count(std::uint64_t done, std::uint64_t total) {
    if (console_) console_->set_count(done, total);
}

void QtHost::console_open(std::string_view title) {
    // One window speaks at a time: the splash waits while a console shows.
    if (splash_) splash_->hide();
    console_ = std::make_unique<ConsoleWindow>(qs(title), console_line_limit);
    QObject::connect(console_.get(), &ConsoleWindow::stopRequested, [this] { request_stop(); });
    // Only a job's work looks at the stop request (a MAME run); other work has no Stop.
    console_->set_stoppable(running_jobs() > 0);
    if (stop_text_.size() == 3 && !stop_text_[0].isEmpty())
        console_->set_stop_text(stop_text_[0], stop_text_[1], stop_text_[2]);
    console_->show();
    console_->raise();
    console_->activateWindow();
}

void QtHost::console_line(std::string_view line) {
    if (console_) console_->append_lines({qs(line)}, 0);
}

void QtHost::console_lines(const std::vector<std::string>& lines, std::uint64_t dropped) {
    if (!console_) return;
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string& line : lines)
        texts << qs(line);
    console_->append_lines(texts, dropped);
}

void QtHost::console_ask_key(std::string_view prompt, std::function<void()> pressed) {
    if (!console_) console_open("MAME Output");
    console_->ask_key(qs(prompt), std::move(pressed));
}

void QtHost::console_wait_for_key(std::string_view prompt) {
    // On the window thread nothing may wait: the prompt shows and the console stays open
    // until it is closed. Runs that pause run as jobs, whose worker waits for the key.
    console_ask_key(prompt, [] {});
}

void QtHost::request_stop() {
    stop_ = true;
}

void QtHost::console_close() {
    // Hidden, not closed: closing is the user's way of asking the work to stop.
    if (console_) console_->hide();
    console_.reset();
    if (SplashWindow* splash = splash_) { // held: see set_progress
        splash->show();
        splash->raise();
    }
}

void QtHost::run_job(const std::function<void(Host& progress)>& job) {
    // Long work on the window thread would freeze the windows, and nothing here pumps events:
    // whoever has long work starts it as a job (start_job), whose worker has a host of its own.
    qWarning("orvel: long work ran on the window thread instead of as a job");
    job(*this);
}

} // namespace orvel::gui
