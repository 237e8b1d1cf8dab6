#pragma once
// The console of a MAME run or of the listing build: a window of the program's own that shows
// MAME's output lines as they arrive and takes the key press that ends a paused run.

#include <QPlainTextEdit>
#include <QWidget>

namespace orvel::gui {

class ConsoleWindow : public QWidget {
    Q_OBJECT
  public:
    explicit ConsoleWindow(const QString& title, QWidget* parent = nullptr);

    void append_line(const QString& line);
    // Shows the prompt as the last line and waits, in a local event loop, until a key is
    // pressed in the console or the console is closed.
    void wait_for_key(const QString& prompt);
    QString text() const { return output_->toPlainText(); }

  signals:
    void keyPressed();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    QPlainTextEdit* output_;
    bool waiting_ = false;
};

} // namespace orvel::gui
