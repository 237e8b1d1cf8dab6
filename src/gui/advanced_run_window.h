#pragma once
// The advanced run window: runs the selected machine with one of its stored command lines and
// manages them (add, edit, clear, remove, a BIOS set per command line), saves the database,
// creates and edits MAME ini files for the machine, opens the software list window, and runs
// MAME with its output in the console or captured.

#include "app/session.h"
#include "host/host.h"
#include "launch/launch.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QLabel;
class QPushButton;
class QToolButton;

namespace orvel::gui {

class ElidedLabel;
class IconSet;

class AdvancedRunWindow : public QDialog {
    Q_OBJECT
  public:
    // main_window is suspended with this window during runs.
    AdvancedRunWindow(Session& session, std::int64_t machine, Host& host, const IconSet& icons,
                      QWidget* main_window);

    // Opens files and web addresses (the desktop's associated program by default).
    void set_file_opener(FileOpener opener) { open_file_ = std::move(opener); }

    QLineEdit* commandline_field() const { return field_; }
    QComboBox* commandline_box() const { return lines_; }
    QComboBox* bios_box() const { return bios_; }
    QCheckBox* use_bios_box() const { return use_bios_; }
    QCheckBox* pause_box() const { return pause_; }
    QCheckBox* process_box() const { return process_; }
    QCheckBox* capture_box() const { return capture_; }
    QPushButton* software_button() const { return software_; }
    QString status_text() const;

    // What the buttons do.
    void add_commandline();
    void remove_commandline();
    void clear_commandline();
    // Saves as long work; the window takes no input and stays open until it is done.
    void save_database();
    void create_ini();
    void edit_ini();
    void help();
    void open_software_lists();
    void run_machine();

  protected:
    void done(int result) override;

  private:
    const Machine& machine();
    const CommandLine* selected_line();
    void select_line(std::int64_t position);
    void show_bios_of_selected();
    void refresh();
    void focus_field();
    QString running_title();
    void show_saved(const DatabaseSave& saved);

    Session& session_;
    std::int64_t machine_;
    Host& host_;
    QWidget* main_window_;
    FileOpener open_file_;
    QLineEdit* field_;
    QComboBox* lines_;
    QComboBox* bios_;
    QCheckBox* use_bios_;
    QCheckBox* pause_;
    QCheckBox* process_;
    QCheckBox* capture_;
    QPushButton* software_;
    ElidedLabel* status_;
    bool saving_ = false;
};

// The whole opening from the main window for the current machine: runs the window until it
// closes; the next run from the main window uses the first stored command line again.
void open_advanced_run_window(Session& session, Host& host, const IconSet& icons,
                              QWidget* main_window);

} // namespace orvel::gui
