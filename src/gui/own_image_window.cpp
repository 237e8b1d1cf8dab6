#include "gui/own_image_window.h"

#include "gui/qt_text.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

namespace orvel::gui {

namespace {
// MAME's usual media options; the leading blank is part of each entry's text.
const char* const media_switches[] = {" cart1", " cass1", " flop1", " disk1", " cdrom1"};
} // namespace

OwnImageWindow::OwnImageWindow(Host& host, Run run, QWidget* parent)
    : QDialog(parent), host_(host), run_(std::move(run)), preview_(new QLineEdit(this)),
      media_(new QComboBox(this)), select_(new QPushButton(QStringLiteral("Select File"), this)),
      run_button_(new QPushButton(QStringLiteral("Run"), this)) {
    setWindowTitle(QStringLiteral("Own Software"));
    preview_->setReadOnly(true);
    QPalette palette = preview_->palette();
    palette.setColor(QPalette::Base, Qt::black);
    palette.setColor(QPalette::Text, Qt::white);
    preview_->setPalette(palette);
    for (const char* entry : media_switches)
        media_->addItem(QString::fromLatin1(entry));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    for (QPushButton* button : {select_, run_button_, cancel})
        button->setAutoDefault(false);
    run_button_->setEnabled(false);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(8);
    layout->addWidget(preview_, 0, 0, 1, 4);
    layout->addWidget(media_, 1, 0);
    layout->addWidget(select_, 1, 1);
    layout->addWidget(run_button_, 1, 2);
    layout->addWidget(cancel, 1, 3);
    setMinimumWidth(296);

    connect(media_, &QComboBox::currentTextChanged, this, [this](const QString& text) {
        media_switch_ = to_std(text.trimmed());
        update_preview();
    });
    connect(select_, &QPushButton::clicked, this, &OwnImageWindow::choose_file);
    connect(run_button_, &QPushButton::clicked, this, &OwnImageWindow::run);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    update_preview();
}

void OwnImageWindow::update_preview() {
    preview_->setText(qs("-" + media_switch_ + " \"" + file_ + "\""));
}

void OwnImageWindow::choose_file() {
    file_ = host_.choose_open_file("Select File", "", "");
    run_button_->setEnabled(!file_.empty());
    update_preview();
}

void OwnImageWindow::run() {
    if (file_.empty()) return;
    hide();
    if (run_) run_(media_switch_, file_);
    accept();
}

} // namespace orvel::gui
