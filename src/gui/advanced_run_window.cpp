#include "gui/advanced_run_window.h"

#include "app/database_save.h"
#include "database/database_file.h"
#include "gui/captured_output_window.h"
#include "gui/elided_label.h"
#include "gui/icon_set.h"
#include "gui/job_runner.h"
#include "gui/machine_icon.h"
#include "gui/qt_text.h"
#include "gui/screen_fit.h"
#include "gui/software_list_window.h"
#include "gui/window_runs.h"
#include "launch/arguments.h"
#include "launch/commandlines.h"
#include "launch/ini_files.h"
#include "platform/process.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

#include <exception>
#include <memory>

namespace orvel::gui {

namespace {

QPushButton* button(const QString& text, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setAutoDefault(false);
    return b;
}

QToolButton* picture_button(const QImage& image, const char* tooltip, QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setIcon(QIcon(QPixmap::fromImage(image)));
    b->setToolTip(QString::fromLatin1(tooltip));
    b->setFixedSize(24, 24);
    return b;
}

QCheckBox* check_box(const char* text, const char* tooltip, QWidget* parent) {
    auto* box = new QCheckBox(QString::fromLatin1(text), parent);
    if (tooltip) box->setToolTip(QString::fromLatin1(tooltip));
    return box;
}

} // namespace

AdvancedRunWindow::AdvancedRunWindow(Session& session, std::int64_t machine_position, Host& host,
                                     const IconSet& icons, QWidget* main_window)
    : QDialog(main_window), session_(session), machine_(machine_position), host_(host),
      main_window_(main_window), field_(new QLineEdit(this)), lines_(new QComboBox(this)),
      bios_(new QComboBox(this)), use_bios_(check_box("Use Selected BIOS", nullptr, this)),
      pause_(check_box("Pause On Exit", "Pause Before Closing Output Window", this)),
      process_(check_box("Process Command Line", "Run MAME With The Commandline Options", this)),
      capture_(check_box("Capture MAME Output", "Show MAME's Output And Error Text", this)),
      software_(button(QStringLiteral("Open\nSoftware List\nWindow"), this)),
      status_(new ElidedLabel(this)) {
    session_.begin_advanced_run(machine_position);
    setWindowTitle(running_title());
    const QIcon icon =
        machine_icon(this->machine(), session_.mame_paths(), session_.settings().MAME_Path);
    if (!icon.isNull()) setWindowIcon(icon);

    QPalette palette = field_->palette();
    palette.setColor(QPalette::Base, Qt::black);
    palette.setColor(QPalette::Text, Qt::white);
    field_->setPalette(palette);
    QToolButton* add = picture_button(icons.image(icon::plus), "Add Commandline To Database", this);
    QToolButton* remove =
        picture_button(icons.image(icon::minus), "Remove Commandline From Database", this);
    QToolButton* help_button =
        picture_button(icons.image(icon::machine_info), "Commandline Help", this);
    QPushButton* clear = button(QStringLiteral("Clear"), this);
    QPushButton* save = button(QStringLiteral("Save Database"), this);
    QPushButton* create = button(QStringLiteral("Create Ini"), this);
    QPushButton* edit = button(QStringLiteral("Edit Ini"), this);
    QPushButton* run = button(QStringLiteral("Run Machine"), this);
    run->setDefault(true);
    for (QPushButton* tall : {software_, run})
        tall->setMinimumSize(96, 88);

    auto* line_frame = new QGroupBox(QStringLiteral("Command Line Options"), this);
    auto* line_grid = new QGridLayout(line_frame);
    line_grid->addWidget(field_, 0, 0, 1, 5);
    line_grid->addWidget(add, 0, 5);
    line_grid->addWidget(remove, 0, 6);
    line_grid->addWidget(clear, 1, 0);
    line_grid->addWidget(save, 1, 1);
    line_grid->addWidget(create, 1, 2);
    line_grid->addWidget(edit, 1, 3);
    line_grid->addWidget(lines_, 1, 4, 1, 2);
    line_grid->addWidget(help_button, 1, 6);
    line_grid->setColumnStretch(4, 1);

    auto* output_frame = new QGroupBox(QStringLiteral("Output Options"), this);
    auto* output_column = new QVBoxLayout(output_frame);
    for (QCheckBox* box : {pause_, process_, capture_})
        output_column->addWidget(box);
    auto* bios_frame = new QGroupBox(QStringLiteral("BIOS Options"), this);
    auto* bios_column = new QVBoxLayout(bios_frame);
    bios_column->addWidget(use_bios_);
    bios_column->addWidget(bios_);
    bios_column->addStretch(1);
    bios_->setMinimumWidth(176);
    // Long labels and BIOS names are cut in the boxes rather than widening the window.
    for (QComboBox* box : {lines_, bios_}) {
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(12);
    }

    status_->setFrameShape(QFrame::StyledPanel);
    status_->setFrameShadow(QFrame::Sunken);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(8, 8, 8, 4);
    layout->addWidget(line_frame, 0, 0, 1, 4);
    layout->addWidget(output_frame, 1, 0);
    layout->addWidget(bios_frame, 1, 1);
    layout->addWidget(software_, 1, 2);
    layout->addWidget(run, 1, 3);
    layout->addWidget(status_, 2, 0, 1, 4);
    layout->setColumnStretch(1, 1);
    resize(592, 232);
    fit_into_screen(this, main_window);

    // Opening: the stored command line of selected_commandline, no BIOS choice shown yet.
    process_->setChecked(true);
    const Machine& m = this->machine();
    for (const CommandLine& line : m.commandlines)
        lines_->addItem(qs(line.commandline_name));
    lines_->setCurrentIndex(static_cast<int>(session_.selected_commandline()));
    software_->setEnabled(!m.softwarelists.empty());
    if (m.bios_sets.empty()) {
        bios_->addItem(QStringLiteral("None"));
        use_bios_->setEnabled(false);
    } else {
        for (const BiosSet& set : m.bios_sets)
            bios_->addItem(qs(set.bios_description));
        const CommandLine* line = selected_line();
        bios_->setCurrentIndex(
            line && line->commandline_bios >= 0 ? static_cast<int>(line->commandline_bios) : 0);
    }
    bios_->setEnabled(false);
    if (const CommandLine* line = selected_line()) field_->setText(qs(line->commandline_string));
    refresh();

    connect(field_, &QLineEdit::textEdited, this, [this](const QString& text) {
        session_.set_commandline_text(to_std(text));
        refresh();
    });
    connect(lines_, &QComboBox::activated, this, [this](int index) { select_line(index); });
    connect(use_bios_, &QCheckBox::clicked, this, [this](bool checked) {
        bios_->setEnabled(checked);
        if (!checked) {
            const QSignalBlocker quiet(bios_);
            bios_->setCurrentIndex(0);
        }
        session_.set_commandline_bios(checked ? bios_->currentIndex() : -1);
        refresh();
    });
    connect(bios_, &QComboBox::activated, this, [this](int index) {
        session_.set_commandline_bios(index);
        refresh();
    });
    connect(pause_, &QCheckBox::toggled, this, [this](bool on) { session_.set_pause_on_exit(on); });
    connect(add, &QToolButton::clicked, this, &AdvancedRunWindow::add_commandline);
    connect(remove, &QToolButton::clicked, this, &AdvancedRunWindow::remove_commandline);
    connect(help_button, &QToolButton::clicked, this, &AdvancedRunWindow::help);
    connect(clear, &QPushButton::clicked, this, &AdvancedRunWindow::clear_commandline);
    connect(save, &QPushButton::clicked, this, &AdvancedRunWindow::save_database);
    connect(create, &QPushButton::clicked, this, &AdvancedRunWindow::create_ini);
    connect(edit, &QPushButton::clicked, this, &AdvancedRunWindow::edit_ini);
    connect(software_, &QPushButton::clicked, this, &AdvancedRunWindow::open_software_lists);
    connect(run, &QPushButton::clicked, this, &AdvancedRunWindow::run_machine);
    focus_field();
}

const Machine& AdvancedRunWindow::machine() {
    return session_.machines()[static_cast<std::size_t>(machine_)];
}

const CommandLine* AdvancedRunWindow::selected_line() {
    return commandline_at(machine(), session_.selected_commandline());
}

QString AdvancedRunWindow::running_title() {
    return QStringLiteral("Running ") + qs(machine().description);
}

QString AdvancedRunWindow::status_text() const {
    return status_->full_text();
}

void AdvancedRunWindow::refresh() {
    status_->set_full_text(
        qs(command_preview(session_.settings(), machine(), session_.selected_commandline())));
}

void AdvancedRunWindow::focus_field() {
    field_->setFocus();
    field_->end(false);
}

// The BIOS controls follow the selected stored command line: checked and enabled with its BIOS
// set when it has one, else unchecked, disabled, on the first set.
void AdvancedRunWindow::show_bios_of_selected() {
    if (machine().bios_sets.empty()) return;
    const CommandLine* line = selected_line();
    const bool has_bios = line && line->commandline_bios >= 0;
    const QSignalBlocker quiet(bios_);
    use_bios_->setChecked(has_bios);
    bios_->setEnabled(has_bios);
    bios_->setCurrentIndex(has_bios ? static_cast<int>(line->commandline_bios) : 0);
}

void AdvancedRunWindow::select_line(std::int64_t position) {
    if (!commandline_at(machine(), position)) return;
    session_.select_commandline(position);
    {
        const QSignalBlocker quiet(lines_);
        lines_->setCurrentIndex(static_cast<int>(position));
    }
    show_bios_of_selected();
    field_->setText(qs(selected_line()->commandline_string));
    refresh();
    focus_field();
}

void AdvancedRunWindow::add_commandline() {
    const std::optional<std::int64_t> position = session_.add_commandline(host_);
    if (!position) return;
    {
        const QSignalBlocker quiet(lines_);
        lines_->insertItem(static_cast<int>(*position), qs(selected_line()->commandline_name));
    }
    select_line(*position);
}

void AdvancedRunWindow::remove_commandline() {
    const std::optional<std::int64_t> removed =
        session_.remove_commandline(host_, lines_->currentIndex());
    if (!removed) return;
    {
        const QSignalBlocker quiet(lines_);
        lines_->removeItem(lines_->currentIndex());
    }
    select_line(*removed);
}

void AdvancedRunWindow::clear_commandline() {
    if (!session_.clear_commandline(host_)) return;
    field_->clear();
    refresh();
    focus_field();
}

void AdvancedRunWindow::save_database() {
    if (host_.message("Save Data", "Save Command Line Data?", Buttons::YesNo, Icon::Warning) !=
        Answer::Yes)
        return;
    setWindowTitle(QStringLiteral("Saving..."));
    // The save runs as a job; the window takes no input until it is done.
    setEnabled(false);
    saving_ = true;
    auto saved = std::make_shared<DatabaseSave>();
    QPointer<AdvancedRunWindow> self(this);
    Session& session = session_;
    QWidget* main_window = main_window_;
    run_as_job(
        host_,
        [&session, saved, main_window](Host& host) {
            // A reload replaces the lists the main window shows: it is told on the window thread
            // once the save is done; the lists are replaced there too.
            *saved = session.save_database(host, "Save Data",
                                           [main_window](const std::function<void()>& replace) {
                                               if (main_window)
                                                   on_thread_of(main_window, replace);
                                               else
                                                   replace();
                                           });
        },
        [self, saved](std::exception_ptr failure) {
            if (self) self->show_saved(*saved);
            if (failure) std::rethrow_exception(failure);
        });
}

void AdvancedRunWindow::show_saved(const DatabaseSave& saved) {
    saving_ = false;
    setEnabled(true);
    if (saved.outcome == SaveOutcome::Reloaded ||
        static_cast<std::size_t>(machine_) >= session_.machines().size()) {
        // The records were read anew from the file: this window's machine is not there any more.
        done(QDialog::Rejected);
        return;
    }
    setWindowTitle(!machine().isavailable
                       ? qs(machine().description) + QStringLiteral(" is not available!")
                       : running_title());
    focus_field();
}

void AdvancedRunWindow::create_ini() {
    // The workflow tells the user how it ended.
    (void)create_ini_file(host_, machine(), session_.machines(), session_.settings().MAME_Path);
}

void AdvancedRunWindow::edit_ini() {
    const std::string file =
        host_.choose_open_file("Select ini File", session_.settings().MAME_Path, "Ini Files|*.ini");
    if (file.empty()) return;
    open_or_report(host_, open_file_, {file});
}

void AdvancedRunWindow::help() {
    open_or_report(host_, open_file_, {std::string(commandline_help_address)});
}

void AdvancedRunWindow::open_software_lists() {
    suspend_window(this);
    open_software_list_window(session_, machine_, host_, main_window_);
    resume_window(this);
    focus_field();
}

void AdvancedRunWindow::run_machine() {
    // No question about the romset from here; a captured run's files are shown in a window of
    // their own.
    LaunchRequest request;
    request.process_commandline = process_->isChecked();
    request.capture = capture_->isChecked();
    request.ask_availability = false;
    request.open_captured = false;
    session_.select_commandline(session_.selected_commandline());
    auto report = std::make_shared<RunReport>();
    QPointer<AdvancedRunWindow> self(this);
    Session& session = session_;
    run_with_windows_suspended(
        host_, {this, main_window_},
        [&session, report, request](Host& host) { *report = session.run(host, request); },
        [self, report, request] {
            if (!self) return;
            if (request.capture && report->outcome != LaunchOutcome::Refused) {
                CapturedOutputWindow output(report->captured, self->host_, self->open_file_, self);
                output.exec();
            } else {
                report_not_started(self->host_, report->outcome, report->command);
            }
            self->focus_field();
        });
}

void AdvancedRunWindow::done(int result) {
    if (saving_) return; // the save reads the records: the window stays until it is done
    // Escape and the close box end here: the next run uses the first stored command line.
    session_.end_advanced_run();
    QDialog::done(result);
}

void open_advanced_run_window(Session& session, Host& host, const IconSet& icons,
                              QWidget* main_window) {
    AdvancedRunWindow window(session, session.current_position(), host, icons, main_window);
    window.exec();
    session.end_advanced_run();
}

} // namespace orvel::gui
