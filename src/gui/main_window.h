#pragma once
// The main window: menu bar, toolbar strip, filter tree beside the machine list, status bar.
// Commands arrive by number from menus, context menus, buttons and shortcut keys and are
// carried out by dispatch() (main_window_commands.cpp).

#include "gui/filter_tree_view.h"
#include "gui/session.h"
#include "host/host.h"

#include <QMainWindow>
#include <QPointer>

#include <map>

class QAction;
class QMenu;

namespace orvel::gui {

class IconSet;
class MachineListModel;
class MachineListView;
class StatusStrip;
class ToolbarStrip;

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    static constexpr int tree_width = 250;

    MainWindow(Session& session, Host& host, const IconSet& icons);
    ~MainWindow() override;

    // Carries out one command; other numbers do nothing.
    void dispatch(int command);

    // The filter pass, the rows, row 0 selected and current, the status bar.
    void refill_machine_list();
    void update_status_bar();
    void show_filter_tree();
    void layout_main_window();

    MachineListView* list() const { return list_; }
    MachineListModel* model() const { return model_; }
    FilterTreeView* tree() const { return tree_; } // null while the panel is hidden
    ToolbarStrip* toolbar() const { return toolbar_; }
    StatusStrip* status_strip() const { return status_; }
    QAction* action(int command) const;
    QMenu* list_menu() const { return list_menu_; }
    QMenu* tree_menu() const { return tree_menu_; }
    bool toolbar_hidden() const { return toolbar_hidden_; }
    bool program_ended() const { return ended_; }

  signals:
    // The program is to end now (after the exit questions or Reset Database).
    void programEnded();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void create_menus();
    void create_shortcuts();
    void apply_list_look(QWidget* widget) const;
    void on_list_key();
    void on_tree_item(int position);
    // Makes the selected row's record current; false when no row is selected.
    bool select_current_record();
    void update_run_availability();
    void end_program();

    // Commands (main_window_commands.cpp).
    void run_machine();
    void run_empty();
    void change_favourite(bool add);
    void check_availability_command();
    void exit_command();
    bool close_questions();
    void save_folder_ini_command();
    void copy_list_command();
    void save_database_command();
    void reset_database_command();
    void reset_filter_command();
    void toggle_filter();
    void toggle_toolbar_and_menu();
    void show_about();
    void expand_or_close_tree(bool expand);
    void suspend_window();
    void resume_window();

    Session& session_;
    Host& host_;
    const IconSet& icons_;
    QWidget* central_;
    ToolbarStrip* toolbar_;
    MachineListView* list_;
    MachineListModel* model_;
    QPointer<FilterTreeView> tree_;
    StatusStrip* status_;
    QMenu* list_menu_ = nullptr;
    QMenu* tree_menu_ = nullptr;
    std::map<int, QAction*> actions_;
    std::vector<QAction*> run_machine_actions_;
    bool toolbar_hidden_ = false;
    bool ended_ = false;
    bool was_maximised_ = false;
};

} // namespace orvel::gui
