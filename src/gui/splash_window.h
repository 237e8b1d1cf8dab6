#pragma once
// The splash window shown during start-up while the database is built or loaded: the identity
// picture, rounded corners, and a status line that long steps update.

#include "settings/settings.h"

#include <QLabel>
#include <QWidget>

namespace orvel::gui {

class SplashWindow : public QWidget {
    Q_OBJECT
  public:
    explicit SplashWindow(const Settings& settings);

    // Sets the status line. The work runs off the window thread, whose event loop repaints it.
    void set_status(const QString& text);
    QString status() const { return status_->text(); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const Settings& settings_;
    QLabel* status_;
};

} // namespace orvel::gui
