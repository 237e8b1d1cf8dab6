#pragma once
// The software list window: one of the machine's software lists, all of its items or only the
// available or missing ones, narrowed by a search box; runs the machine with the selected item,
// with no item, or with an image file of the user's own (the own image window).

#include "app/session.h"
#include "host/host.h"
#include "launch/launch.h"

#include <functional>

#include <QDialog>

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;

namespace orvel::gui {

class SoftwareListModel;

class SoftwareListWindow : public QDialog {
    Q_OBJECT
  public:
    // Loads the machine's first software list; the window is ready to show afterwards.
    SoftwareListWindow(Session& session, std::int64_t machine, Host& host,
                       QWidget* parent = nullptr);
    ~SoftwareListWindow() override;

    QComboBox* list_box() const { return lists_; }
    QComboBox* filter_box() const { return filter_; }
    QLineEdit* search_box() const { return search_; }
    QListView* item_list() const { return items_; }
    SoftwareListModel* model() const { return model_; }
    QPushButton* start_image_button() const { return start_image_; }
    QPushButton* own_image_button() const { return own_image_; }
    QPushButton* start_empty_button() const { return start_empty_; }
    // "Year: ...", "By: ...", "File: ..."
    QStringList status_texts() const;

    // The runs the buttons start (public so that tests and the keyboard reach them alike).
    void start_image();
    void start_empty();
    void run_own_image();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void load_list();
    void fill_view();
    void show_row(int row);
    void clear_status();
    const Machine& machine() const;
    // Starts the run; after runs once it has ended and the window is back.
    void launch(const LaunchRequest& request, std::function<void()> after = {});

    Session& session_;
    std::int64_t machine_;
    Host& host_;
    QComboBox* lists_;
    QComboBox* filter_;
    QLineEdit* search_;
    QListView* items_;
    SoftwareListModel* model_;
    QPushButton* start_image_;
    QPushButton* own_image_;
    QPushButton* start_empty_;
    std::array<QLabel*, 3> status_{};
};

// The whole opening from the main window: suspends it, runs the window until it closes, empties
// the loaded list and resumes the main window.
void open_software_list_window(Session& session, std::int64_t machine, Host& host,
                               QWidget* main_window);

} // namespace orvel::gui
