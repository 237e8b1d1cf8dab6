// What the commands of the main window do.

#include "database/availability.h"
#include "database/database_file.h"
#include "database/played.h"
#include "filters/folders.h"
#include "gui/about_window.h"
#include "gui/advanced_run_window.h"
#include "gui/busy_guard.h"
#include "gui/filter_tree_view.h"
#include "gui/job_runner.h"
#include "gui/machine_info_window.h"
#include "gui/machine_list_model.h"
#include "gui/machine_list_view.h"
#include "gui/main_window.h"
#include "gui/picture_pane.h"
#include "gui/preferences_window.h"
#include "gui/qt_text.h"
#include "gui/software_list_window.h"
#include "gui/toolbar_strip.h"
#include "gui/window_runs.h"
#include "launch/launch.h"
#include "platform/files.h"
#include "settings/preferences.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>

#include <exception>
#include <memory>

namespace orvel::gui {

void MainWindow::dispatch(Command command) {
    // The actions are disabled while busy; a call from elsewhere is refused all the same.
    if (ended_ || busy()) return;
    list_->setFocus();
    switch (command) {
    case Command::RunMachine:
        return run_machine();
    case Command::RunEmpty:
        return run_empty();
    case Command::AddFavourite:
        return change_favourite(true);
    case Command::RemoveFavourite:
        return change_favourite(false);
    case Command::CheckAvailability:
        return check_availability_command();
    case Command::AuditRomsets:
        return audit_romsets_command();
    case Command::ResetDatabase:
        return reset_database_command();
    case Command::Exit:
        return exit_command();
    case Command::ToggleFilter:
        return toggle_filter();
    case Command::ResetFilter:
        return reset_filter_command();
    case Command::SaveFolderIni:
        return save_folder_ini_command();
    case Command::CopyList:
        return copy_list_command();
    case Command::SaveDatabase:
        return save_database_command();
    case Command::ToggleToolbar:
        return toggle_toolbar_and_menu();
    case Command::About:
        return show_about();
    case Command::ExpandTree:
        return expand_or_close_tree(true);
    case Command::CloseTree:
        return expand_or_close_tree(false);
    case Command::RunAdvanced:
        return run_advanced();
    case Command::MachineInfo:
        if (select_current_record())
            show_machine_info(this, session_,
                              static_cast<std::size_t>(session_.current_position()));
        list_->setFocus();
        return;
    case Command::Preferences:
        return show_preferences();
    case Command::ShowPictures:
        return toggle_pictures();
    }
}

void MainWindow::toggle_pictures() {
    Settings& settings = session_.settings();
    const bool show = pictures_->isHidden();
    if (!show) settings.ORVEL_Picture_Width = pictures_->width();
    pictures_->setVisible(show);
    action(Command::ShowPictures)->setChecked(show);
    settings.ORVEL_Show_Pictures = show ? 1 : 0;
    arrange_splitter();
    layout_main_window();
    picture_settings_changed_ = true;
    save_picture_settings();
    show_current_picture();
}

void MainWindow::save_picture_settings() {
    // Only the pane's keys change: the file's other keys stay as the file has them (another
    // program may have saved them meanwhile).
    Settings& settings = session_.settings();
    if (!picture_settings_changed_ || settings.ORVEL_Data.empty()) return;
    picture_settings_changed_ = false;
    Settings saved = settings;
    if (const Status read = load_preferences(saved); !read && !read.is(FailureKind::Missing)) {
        // A file that is there but cannot be read is not replaced by one without its keys.
        host_.message("Preferences", read.message(), Buttons::Ok, Icon::Warning);
        return;
    }
    saved.ORVEL_Show_Pictures = settings.ORVEL_Show_Pictures;
    saved.ORVEL_Picture_Kind = settings.ORVEL_Picture_Kind;
    saved.ORVEL_Picture_Width = settings.ORVEL_Picture_Width;
    if (const Status status = save_preferences(saved, preferences_path(saved)); !status)
        host_.message("Preferences", status.message(), Buttons::Ok, Icon::Warning);
}

void MainWindow::suspend_window() {
    gui::suspend_window(this);
}

void MainWindow::resume_window() {
    gui::resume_window(this);
}

void MainWindow::run_machine() {
    update_status_bar();
    if (session_.view().empty() || !select_current_record()) return;
    update_status_bar();
    if (!session_.current_machine()->softwarelists.empty()) {
        {
            const BusyGuard guard(busy_);
            open_software_list_window(session_, session_.current_position(), host_, this);
        }
        show_played_runs();
        list_->setFocus();
        return;
    }
    // The session's state is read on the worker while the windows wait; the selection of a
    // stored command line is settled here first, so the run changes nothing of it.
    session_.select_commandline(session_.selected_commandline());
    auto report = std::make_shared<RunReport>();
    auto guard = std::make_shared<BusyGuard>(busy_);
    run_with_windows_suspended(
        host_, {this},
        [this, report](Host& host) { *report = session_.run(host, LaunchRequest{}); },
        [this, report, guard]() mutable {
            report_not_started(host_, report->outcome, report->command);
            guard.reset();
            show_played_runs();
            list_->setFocus();
        });
}

void MainWindow::show_played_runs() {
    // The session's records follow the play record after a run; a list that shows it follows.
    const FilterSet& filter = session_.filter();
    if (filter.f_played_recent || filter.f_played_most || filter.f_played_never ||
        sort_type_of(session_.settings().ORVEL_Sort_Type) == SortType::LastPlayed)
        refill_keeping_row();
}

void MainWindow::run_advanced() {
    if (session_.view().empty() || !select_current_record()) return;
    const BusyGuard guard(busy_);
    const std::uint64_t generation = session_.machines().generation();
    open_advanced_run_window(session_, host_, icons_, this);
    // The window's save may have read the database anew.
    if (session_.machines().generation() != generation) show_reloaded_machines();
    show_played_runs();
    list_->setFocus();
}

void MainWindow::run_empty() {
    // The empty run still asks about the current machine's romset, as every run does.
    LaunchRequest request;
    request.empty_run = true;
    session_.select_commandline(session_.selected_commandline());
    auto report = std::make_shared<RunReport>();
    auto guard = std::make_shared<BusyGuard>(busy_);
    run_with_windows_suspended(
        host_, {this},
        [this, report, request](Host& host) { *report = session_.run(host, request); },
        [this, report, guard]() mutable {
            report_not_started(host_, report->outcome, report->command);
            guard.reset();
            list_->setFocus();
        });
}

void MainWindow::change_favourite(bool add) {
    if (session_.view().empty() || !select_current_record()) return;
    if (session_.change_favourite(add)) refill_keeping_row();
}

void MainWindow::start_work(std::function<void(Host& host)> work, std::function<void()> done) {
    // Busy until the work has ended: the commands stay disabled and the close box is ignored.
    auto guard = std::make_shared<BusyGuard>(busy_);
    const QPointer<MainWindow> self(this);
    run_as_job(host_, std::move(work),
               [self, guard, done = std::move(done)](std::exception_ptr failure) mutable {
                   guard.reset();
                   if (self && done) done();
                   if (failure) std::rethrow_exception(failure);
               });
}

void MainWindow::check_availability_command() {
    const QString kept = windowTitle();
    setWindowTitle(QStringLiteral("Searching..."));
    auto found = std::make_shared<AvailabilityFound>();
    start_work([this, found](Host& host) { *found = session_.find_availability(host); },
               [this, found, kept] {
                   session_.apply_availability(*found);
                   setWindowTitle(kept);
                   list_->viewport()->update();
               });
}

void MainWindow::save_machines(std::function<void()> after) {
    auto saved = std::make_shared<DatabaseSave>();
    start_work(
        [this, saved](Host& host) {
            // A reload replaces the lists the window shows: that step runs on the window thread.
            *saved = session_.save_database(
                host, "Save Database", [this](const std::function<void()>& replace) {
                    on_thread_of(this, [&] { model_->refill(replace); });
                });
        },
        [this, saved, after = std::move(after)] {
            const bool emptied =
                saved->outcome == SaveOutcome::Failed && session_.machines().empty();
            if (saved->outcome == SaveOutcome::Reloaded || emptied) show_reloaded_machines();
            if (after) after();
        });
}

void MainWindow::show_reloaded_machines() {
    session_.tree().clear();
    if (tree_) show_filter_tree();
    refill_machine_list();
}

void MainWindow::exit_command() {
    exit_questions(ExitRequest::Command);
}

void MainWindow::exit_questions(ExitRequest request) {
    const auto confirm = [this] {
        if (Session::ask_exit(host_)) end_program();
    };
    if (!session_.ask_update_database(host_, request)) return confirm();
    // Exit leaves "Saving Database..." in the title when the user stays; the close box puts the
    // kept title back.
    const QString kept = windowTitle();
    setWindowTitle(QStringLiteral("Saving Database..."));
    save_machines([this, confirm, request, kept] {
        confirm();
        if (!ended_ && request == ExitRequest::CloseBox) setWindowTitle(kept);
    });
}

void MainWindow::save_folder_ini_command() {
    const BusyGuard guard(busy_);
    // A new file shows up as a folder at once; the list is not refilled.
    (void)session_.save_folder_ini(host_);
    if (tree_) show_filter_tree();
}

void MainWindow::copy_list_command() {
    const ViewList& view = session_.view();
    if (view.empty()) return;
    const BusyGuard guard(busy_);
    const QString kept = windowTitle();
    setWindowTitle(QStringLiteral("Copying List To Clipboard..."));
    std::string text;
    text.reserve(view.size() * 10);
    for (const std::int64_t position : view) {
        text += session_.machines()[static_cast<std::size_t>(position)].name;
        text += '\n';
    }
    QGuiApplication::clipboard()->setText(qs(text));
    setWindowTitle(kept);
}

void MainWindow::save_database_command() {
    if (host_.message("Save Database", "Save Database?", Buttons::YesNo, Icon::Warning) !=
        Answer::Yes)
        return;
    const QString kept = windowTitle();
    save_machines([this, kept] { setWindowTitle(kept); });
}

void MainWindow::reset_database_command() {
    auto reset = std::make_shared<bool>(false);
    start_work(
        [this, reset](Host& host) {
            *reset = session_.reset_database(
                host,
                [this](const std::function<void()>& replace) {
                    on_thread_of(this, [&] { model_->refill(replace); });
                },
                // The window goes before the remaining questions.
                [this] { on_thread_of(this, [this] { hide(); }); });
        },
        [this, reset] {
            if (*reset) end_program();
        });
}

void MainWindow::reset_filter_command() {
    session_.reset_filter();
    {
        const QSignalBlocker quiet(toolbar_->search_box());
        toolbar_->search_box()->clear();
    }
    if (tree_) show_filter_tree();
    refill_machine_list();
}

void MainWindow::toggle_filter() {
    setUpdatesEnabled(false);
    if (tree_) {
        shown_tree_width_ = tree_->width();
        delete tree_.data();
        layout_main_window();
    } else {
        show_filter_tree();
    }
    setUpdatesEnabled(true);
}

void MainWindow::toggle_toolbar_and_menu() {
    toolbar_hidden_ = !toolbar_hidden_;
    menuBar()->setVisible(!toolbar_hidden_);
    toolbar_->setVisible(!toolbar_hidden_);
    layout_main_window();
}

void MainWindow::show_preferences() {
    const int row = list_->selected_row();
    PreferencesWindow window(session_.settings(), host_, this);
    setEnabled(false);
    window.setEnabled(true); // a window of its own, though its parent is disabled
    window.exec();
    setEnabled(true);
    if (window.rebuild_needed()) {
        // The new font, colours and sort key show in a rebuilt tree and list.
        setUpdatesEnabled(false);
        apply_list_look(list_);
        if (tree_) {
            apply_list_look(tree_);
            show_filter_tree();
        }
        refill_machine_list();
        setUpdatesEnabled(true);
    }
    list_->select_row(row);
    list_->setFocus();
    if (row >= 0 && select_current_record()) update_status_bar();
}

void MainWindow::show_about() {
    AboutWindow about(session_.settings(), this);
    about.exec();
    list_->setFocus();
}

void MainWindow::expand_or_close_tree(bool expand) {
    if (expand)
        expand_tree(session_.tree());
    else
        close_tree(session_.tree());
    if (tree_) show_filter_tree();
}

} // namespace orvel::gui
