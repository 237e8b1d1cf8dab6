#pragma once
// The main window: menu bar, toolbar, filter tree beside the machine list in a splitter,
// status bar. Commands arrive through their shared actions (commands.h) from menus, context
// menus, toolbar buttons and shortcut keys and are carried out by dispatch()
// (main_window_commands.cpp).

#include "gui/busy_guard.h"
#include "gui/commands.h"
#include "gui/filter_tree_view.h"
#include "gui/session.h"
#include "host/host.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>

class QAction;
class QMenu;
class QSplitter;

namespace orvel::gui {

class IconSet;
class PicturePane;
class MachineListModel;
class MachineListView;
class StatusStrip;
class ToolbarStrip;

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    static constexpr int tree_width = 250; // the filter tree's width at start

    MainWindow(Session& session, Host& host, const IconSet& icons);
    ~MainWindow() override;

    // Carries out one command.
    void dispatch(Command command);

    // The filter pass, the rows, row 0 selected and current, the status bar.
    void refill_machine_list();
    // The same, keeping the selected row number (when the list still has it) and describing
    // the machine now in it.
    void refill_keeping_row();
    void update_status_bar();
    void show_filter_tree();
    void layout_main_window();

    MachineListView* list() const { return list_; }
    MachineListModel* model() const { return model_; }
    FilterTreeView* tree() const { return tree_; } // null while the panel is hidden
    PicturePane* pictures() const { return pictures_; }
    ToolbarStrip* toolbar() const { return toolbar_; }
    StatusStrip* status_strip() const { return status_; }
    QSplitter* splitter() const { return splitter_; }
    QAction* action(Command command) const { return commands_->action(command); }
    QMenu* list_menu() const { return list_menu_; }
    QMenu* tree_menu() const { return tree_menu_; }
    bool toolbar_hidden() const { return toolbar_hidden_; }
    bool program_ended() const { return ended_; }
    // True while long work runs: the commands are disabled and the close box is ignored
    // meanwhile (busyChanged tells).
    bool busy() const { return busy_.busy(); }
    BusyState& busy_state() { return busy_; }

  signals:
    // The program is to end now (after the exit questions or Reset Database).
    void programEnded();
    // Long work began (true) or ended (false).
    void busyChanged(bool busy);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    QMenu* createPopupMenu() override { return nullptr; }
    void apply_list_look(QWidget* widget) const;
    void on_list_key();
    void on_tree_item(int position);
    // Makes the selected row's record current; false when no row is selected.
    bool select_current_record();
    void end_program();

    // Commands (main_window_commands.cpp).
    void run_machine();
    void run_advanced();
    void run_empty();
    // After runs: the play record read again, the list refilled when it shows what was played.
    void show_played_runs();
    void change_favourite(bool add);
    void check_availability_command();
    void audit_romsets_command(); // main_window_audit.cpp
    void exit_command();
    // The questions before the program ends, which ends it when the user chooses so (after the
    // save, which runs as long work, when the user wants the database saved).
    void exit_questions(ExitRequest request);
    void save_folder_ini_command();
    void copy_list_command();
    void save_database_command();
    // Saves the database as long work, asking first when another program saved it meanwhile; a
    // reload shows the new list. after runs once it is done.
    void save_machines(std::function<void()> after);
    // Runs work as a job (on a worker with the desktop host); the window is busy until done has
    // run on the window thread.
    void start_work(std::function<void(Host& host)> work, std::function<void()> done);
    void show_reloaded_machines();
    void reset_database_command();
    void reset_filter_command();
    void toggle_filter();
    void toggle_toolbar_and_menu();
    void show_about();
    // The picture pane: shown or hidden (the Show Pictures command), its picture following the
    // current machine, its choices kept in the preferences file.
    void toggle_pictures();
    void show_current_picture();
    void arrange_splitter();
    void save_picture_settings();
    void show_preferences();
    void expand_or_close_tree(bool expand);
    void suspend_window();
    void resume_window();

    Session& session_;
    Host& host_;
    const IconSet& icons_;
    CommandActions* commands_;
    ToolbarStrip* toolbar_;
    QSplitter* splitter_;
    MachineListView* list_;
    MachineListModel* model_;
    QPointer<FilterTreeView> tree_;
    PicturePane* pictures_;
    bool picture_settings_changed_ = false;
    bool splitter_arranged_ = false; // at the first show, when the window has its size
    StatusStrip* status_;
    QMenu* list_menu_ = nullptr;
    QMenu* tree_menu_ = nullptr;
    int shown_tree_width_ = tree_width; // kept while the panel is hidden
    bool toolbar_hidden_ = false;
    bool ended_ = false;
    bool in_close_event_ = false;
    BusyState busy_;
};

} // namespace orvel::gui
