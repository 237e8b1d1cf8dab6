// What the commands of the main window do.

#include "app/reset_database.h"
#include "database/availability.h"
#include "database/database_file.h"
#include "filters/folders.h"
#include "gui/about_window.h"
#include "gui/command_table.h"
#include "gui/filter_tree_view.h"
#include "gui/machine_list_model.h"
#include "gui/machine_list_view.h"
#include "gui/main_window.h"
#include "gui/qt_text.h"
#include "gui/toolbar_strip.h"
#include "launch/launch.h"
#include "platform/files.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenuBar>

namespace orvel::gui {

void MainWindow::dispatch(int command) {
    if (ended_) return;
    list_->setFocus();
    switch (command) {
    case command::run_machine:
        run_machine();
        break;
    case command::run_empty:
        run_empty();
        break;
    case command::add_favourite:
        change_favourite(true);
        break;
    case command::remove_favourite:
        change_favourite(false);
        break;
    case command::check_availability:
        check_availability_command();
        break;
    case command::reset_database:
        reset_database_command();
        break;
    case command::exit:
        exit_command();
        break;
    case command::toggle_filter:
        toggle_filter();
        break;
    case command::reset_filter:
        reset_filter_command();
        break;
    case command::save_folder_ini:
        save_folder_ini_command();
        break;
    case command::copy_list:
        copy_list_command();
        break;
    case command::save_database:
        save_database_command();
        break;
    case command::toggle_toolbar:
        toggle_toolbar_and_menu();
        break;
    case command::about:
        show_about();
        break;
    case command::expand_tree:
        expand_or_close_tree(true);
        break;
    case command::close_tree:
        expand_or_close_tree(false);
        break;
    default:
        // Run (Advanced), Machine Info and Preferences have no window yet; others are unknown.
        break;
    }
}

void MainWindow::suspend_window() {
    QCoreApplication::processEvents();
    activateWindow();
    was_maximised_ = isMaximized();
    QCoreApplication::processEvents();
    showMinimized();
    QCoreApplication::processEvents();
    setEnabled(false);
}

void MainWindow::resume_window() {
    QCoreApplication::processEvents();
    setEnabled(true);
    QCoreApplication::processEvents();
    if (was_maximised_)
        showMaximized();
    else
        showNormal();
    QCoreApplication::processEvents();
    raise();
    activateWindow();
}

namespace {

// A run whose MAME could not be started must not pass without a word.
void report_not_started(Host& host, LaunchOutcome outcome, const MameCommand& command) {
    if (outcome == LaunchOutcome::NotStarted)
        host.message("Run Machine", "MAME could not be started.\r\n" + command.program, Buttons::Ok,
                     Icon::Error);
}

} // namespace

void MainWindow::run_machine() {
    update_status_bar();
    AppState& state = session_.state;
    if (state.view.empty() || !select_current_record()) return;
    update_status_bar();
    const Machine& machine = state.machines[static_cast<std::size_t>(state.current_machine)];
    if (!machine.softwarelists.empty())
        return; // runs through the software list window, which is not available yet
    const MameCommand command = mame_command(state.settings, state.pause_on_exit);
    suspend_window();
    const LaunchOutcome outcome =
        launch_mame(LaunchRequest{}, machine, state.selected_commandline, command, host_);
    resume_window();
    report_not_started(host_, outcome, command);
    list_->setFocus();
}

void MainWindow::run_empty() {
    AppState& state = session_.state;
    // The empty run still asks about the current machine's romset, as every run does.
    static const Machine none = [] {
        Machine machine;
        machine.isavailable = "yes";
        return machine;
    }();
    const Machine& machine =
        state.current_machine >= 0 &&
                static_cast<std::size_t>(state.current_machine) < state.machines.size()
            ? state.machines[static_cast<std::size_t>(state.current_machine)]
            : none;
    LaunchRequest request;
    request.empty_run = true;
    const MameCommand command = mame_command(state.settings, state.pause_on_exit);
    suspend_window();
    const LaunchOutcome outcome =
        launch_mame(request, machine, state.selected_commandline, command, host_);
    resume_window();
    report_not_started(host_, outcome, command);
    list_->setFocus();
}

void MainWindow::change_favourite(bool add) {
    AppState& state = session_.state;
    if (state.view.empty() || !select_current_record()) return;
    const int row = list_->selected_row();
    Machine& machine = state.machines[static_cast<std::size_t>(state.current_machine)];
    const bool changed = add ? set_favourite(machine) : clear_favourite(machine);
    if (!changed) return;
    state.database_changed = true;
    refill_machine_list();
    list_->select_row(row);
    if (select_current_record()) update_status_bar();
}

void MainWindow::check_availability_command() {
    AppState& state = session_.state;
    const QString kept = windowTitle();
    setWindowTitle(QStringLiteral("Searching..."));
    QCoreApplication::processEvents();
    check_availability(state.machines, state.mame_paths.rompath, state.settings.MAME_Path, host_);
    state.database_changed = true;
    setWindowTitle(kept);
}

namespace {

// A save that fails must not look like one that worked.
void report_failed_save(Host& host, const SaveResult& result) {
    if (!result.ok)
        host.message("Save Database", "The database could not be saved.\r\n" + result.message,
                     Buttons::Ok, Icon::Error);
}

} // namespace

void MainWindow::exit_command() {
    AppState& state = session_.state;
    if (state.database_changed && host_.message("Save Changes", "Update Database?", Buttons::YesNo,
                                                Icon::Information) == Answer::Yes) {
        setWindowTitle(QStringLiteral("Saving Database..."));
        QCoreApplication::processEvents();
        report_failed_save(
            host_, save_database(state.machines, state.settings, state.database_changed, host_));
    }
    if (host_.message("Close", "Exit Orvel?", Buttons::YesNo, Icon::Warning) == Answer::Yes)
        end_program();
}

bool MainWindow::close_questions() {
    AppState& state = session_.state;
    bool saved = false;
    const QString kept = windowTitle();
    if (state.database_changed && host_.message("Save Changes", "Update Database?", Buttons::YesNo,
                                                Icon::Warning) == Answer::Yes) {
        QCoreApplication::processEvents();
        setWindowTitle(QStringLiteral("Saving Database..."));
        report_failed_save(
            host_, save_database(state.machines, state.settings, state.database_changed, host_));
        saved = true;
    }
    if (host_.message("Close", "Exit Orvel?", Buttons::YesNo, Icon::Warning) == Answer::Yes)
        return true;
    QCoreApplication::processEvents();
    if (saved) setWindowTitle(kept);
    return false;
}

void MainWindow::save_folder_ini_command() {
    AppState& state = session_.state;
    save_folder_ini(host_, state.settings.MAME_Path, state.settings.MAME_Version,
                    state.settings.version_text, state.machines, state.view);
    // The new file shows up as a folder at once; the filter set stays as it is.
    session_.state.folders.clear();
    load_folders(state.mame_paths.categorypath, state.settings.MAME_Path, state.machines,
                 session_.state.folders);
    build_filter_tree(state.machines, session_.state.folders, session_.state.tree);
    if (tree_) show_filter_tree();
}

void MainWindow::copy_list_command() {
    const AppState& state = session_.state;
    if (state.view.empty()) return;
    const QString kept = windowTitle();
    setWindowTitle(QStringLiteral("Copying List To Clipboard..."));
    std::string text;
    text.reserve(state.view.size() * 10);
    for (const std::int64_t position : state.view) {
        text += state.machines[static_cast<std::size_t>(position)].name;
        text += '\n';
        host_.keep_alive();
    }
    QGuiApplication::clipboard()->setText(qs(text));
    setWindowTitle(kept);
}

void MainWindow::save_database_command() {
    AppState& state = session_.state;
    if (host_.message("Save Database", "Save Database?", Buttons::YesNo, Icon::Warning) !=
        Answer::Yes)
        return;
    const QString kept = windowTitle();
    report_failed_save(
        host_, save_database(state.machines, state.settings, state.database_changed, host_));
    setWindowTitle(kept);
}

void MainWindow::reset_database_command() {
    AppState& state = session_.state;
    if (!reset_database(host_, state.settings, state.machines, state.view)) return;
    // The lists are gone: the list must not ask for their rows any more.
    state.current_machine = -1;
    model_->refill();
    end_program();
}

void MainWindow::reset_filter_command() {
    AppState& state = session_.state;
    reset_filter(session_.state.filter, session_.state.tree, state.machines,
                 session_.state.folders);
    {
        const QSignalBlocker quiet(toolbar_->search_box());
        toolbar_->search_box()->clear();
    }
    if (tree_) show_filter_tree();
    refill_machine_list();
}

void MainWindow::toggle_filter() {
    QCoreApplication::processEvents();
    setUpdatesEnabled(false);
    if (tree_) {
        delete tree_.data();
        layout_main_window();
    } else {
        show_filter_tree();
    }
    setUpdatesEnabled(true);
}

void MainWindow::toggle_toolbar_and_menu() {
    QCoreApplication::processEvents();
    toolbar_hidden_ = !toolbar_hidden_;
    menuBar()->setVisible(!toolbar_hidden_);
    toolbar_->setVisible(!toolbar_hidden_);
    layout_main_window();
}

void MainWindow::show_about() {
    AboutWindow about(session_.state.settings, this);
    about.exec();
    list_->setFocus();
}

void MainWindow::expand_or_close_tree(bool expand) {
    if (expand)
        expand_tree(session_.state.tree);
    else
        close_tree(session_.state.tree);
    if (tree_) show_filter_tree();
}

} // namespace orvel::gui
