#pragma once
// The own image window: runs the machine with an image file of the user's own, handed to MAME
// with a chosen media switch ("-cart1" and the file's path, quoted).

#include "host/host.h"

#include <QDialog>

#include <functional>
#include <string>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace orvel::gui {

class OwnImageWindow : public QDialog {
    Q_OBJECT
  public:
    // run starts MAME with the media switch and the file; the window hides itself meanwhile
    // and closes afterwards.
    using Run = std::function<void(const std::string& media_switch, const std::string& file)>;
    OwnImageWindow(Host& host, Run run, QWidget* parent = nullptr);

    QComboBox* media_box() const { return media_; }
    QPushButton* select_button() const { return select_; }
    QPushButton* run_button() const { return run_button_; }
    QLineEdit* preview() const { return preview_; }
    const std::string& media_switch() const { return media_switch_; }
    const std::string& file() const { return file_; }

  private:
    void choose_file();
    void run();
    void update_preview();

    Host& host_;
    Run run_;
    QLineEdit* preview_;
    QComboBox* media_;
    QPushButton* select_;
    QPushButton* run_button_;
    std::string media_switch_ = "cart1";
    std::string file_;
};

} // namespace orvel::gui
