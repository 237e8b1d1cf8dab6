#pragma once
// The console of a MAME run or of the listing build: a window of the program's own that shows
// MAME's output as it arrives, keeps the last lines only (saying how many went before them),
// offers Stop while the work runs and takes the key press that ends a paused run.

#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>

namespace orvel::gui {

class ConsoleWindow : public QWidget {
    Q_OBJECT
  public:
    explicit ConsoleWindow(const QString& title, std::size_t line_limit = 10000,
                           QWidget* parent = nullptr);

    // Lines arrive in batches and are shown a few times a second, in one insertion each time.
    // dropped: lines left out before these.
    void append_lines(const QStringList& lines, std::uint64_t dropped);
    void append_line(const QString& line) { append_lines({line}, 0); }
    // Shows the prompt as the last line; pressed runs once, when a key is pressed in the
    // console or the console is closed. Stop is gone from then on.
    void ask_key(const QString& prompt, std::function<void()> pressed);
    // What is shown now, pending lines included.
    QString text();
    // How many lines arrived that are no longer shown.
    std::uint64_t dropped_lines() const { return dropped_; }
    QPushButton* stop_button() const { return stop_; }
    // Whether the work behind the console can be stopped; without it there is no Stop, and
    // Escape and the close box do nothing while the work runs.
    void set_stoppable(bool stoppable);
    // A line under the output telling how the work goes (the machines of the listing read).
    void set_status(const QString& text) {
        progress_ = text;
        show_status();
    }
    // A bar beside the status line: done of total (total 0: no bar).
    void set_count(std::uint64_t done, std::uint64_t total);
    QProgressBar* count_bar() const { return bar_; }
    // What the Stop button says, says while the work stops, and its tooltip (the listing's
    // console offers Cancel).
    void set_stop_text(const QString& caption, const QString& stopping, const QString& tip);

  signals:
    // The user asked the work to stop: the Stop button, Escape or the close box while it runs.
    void stopRequested();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void show_pending();
    void show_status();
    void ask_stop();
    void release_key();

    QPlainTextEdit* output_;
    QLabel* status_;
    QPushButton* stop_;
    QProgressBar* bar_;
    QString stopping_text_;
    QTimer repaint_timer_;
    QStringList pending_;
    std::size_t line_limit_;
    std::uint64_t dropped_ = 0;
    std::uint64_t shown_ = 0; // lines in the document, as far as it has not trimmed them
    std::function<void()> key_pressed_;
    bool stopping_ = false;
    bool stoppable_ = true;
    QString progress_;
};

} // namespace orvel::gui
