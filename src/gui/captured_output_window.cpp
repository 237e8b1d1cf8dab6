#include "gui/captured_output_window.h"

#include "gui/list_look.h"
#include "gui/qt_text.h"
#include "gui/screen_fit.h"
#include "gui/window_runs.h"
#include "platform/files.h"
#include "platform/process.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

#include <algorithm>
#include <cerrno>

namespace orvel::gui {

namespace {

constexpr std::uint64_t shown_bytes = 4 << 20;

QPlainTextEdit* pane(const std::string& path, QWidget* parent) {
    auto* text = new QPlainTextEdit(parent);
    text->setReadOnly(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    text->setFont(fixed_pitch_font());
    // A run may write gigabytes: the pane shows the start, the viewer the whole file.
    std::string bytes;
    errno = 0;
    const bool whole = read_file_blocks(
        path, 1 << 16, [&](std::string_view block) { bytes.append(block); }, shown_bytes);
    const bool cut = !whole && errno == EFBIG;
    if (whole || cut) {
        QString shown = qs(bytes);
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        if (cut)
            shown += QStringLiteral("\n[Only the first %1 MB are shown here: Open In Text Viewer "
                                    "shows the whole file, %2 MB.]")
                         .arg(shown_bytes >> 20)
                         .arg(std::max<std::int64_t>(file_size(path), 0) >> 20);
        text->setPlainText(shown);
    }
    return text;
}

QGroupBox* framed(const QString& title, QWidget* inner, QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    (new QVBoxLayout(box))->addWidget(inner);
    return box;
}

} // namespace

CapturedOutputWindow::CapturedOutputWindow(const CapturedRun& run, Host& host, FileOpener open_file,
                                           QWidget* parent)
    : QDialog(parent), output_(pane(run.output_path, this)), errors_(pane(run.error_path, this)),
      open_(new QPushButton(QStringLiteral("Open In Text Viewer"), this)) {
    setWindowTitle(run.started ? QStringLiteral("MAME Output")
                               : QStringLiteral("MAME Output (MAME could not be started)"));
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(framed(QStringLiteral("Output (") + qs(run.output_path) + QLatin1Char(')'),
                               output_, splitter));
    splitter->addWidget(framed(QStringLiteral("Errors (") + qs(run.error_path) + QLatin1Char(')'),
                               errors_, splitter));
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    open_->setAutoDefault(false);
    close->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(open_);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);
    resize(900, 480);
    fit_into_screen(this, parent);

    connect(open_, &QPushButton::clicked, this, [&host, open_file, run] {
        open_or_report(host, open_file, {run.output_path, run.error_path});
    });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace orvel::gui
