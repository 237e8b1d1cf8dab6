#pragma once
// What a captured MAME run printed: its output and its error text side by side in two panes of
// selectable text, with a button that opens both files with the desktop's text viewer. The
// files stay where the run wrote them, so a viewer can still read them after this window closes.

#include "host/host.h"
#include "launch/launch.h"

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace orvel::gui {

class CapturedOutputWindow : public QDialog {
    Q_OBJECT
  public:
    // open_file opens a file with the desktop's viewer (the associated program when empty).
    // A file the system cannot open is reported through host.
    CapturedOutputWindow(const CapturedRun& run, Host& host, FileOpener open_file = {},
                         QWidget* parent = nullptr);

    QPlainTextEdit* output_pane() const { return output_; }
    QPlainTextEdit* error_pane() const { return errors_; }
    QPushButton* open_button() const { return open_; }

  private:
    QPlainTextEdit* output_;
    QPlainTextEdit* errors_;
    QPushButton* open_;
};

} // namespace orvel::gui
