#pragma once
// The About window: the identity picture in a small modal window. Escape closes it like its
// close box.

#include "settings/settings.h"

#include <QDialog>

namespace orvel::gui {

class AboutWindow : public QDialog {
    Q_OBJECT
  public:
    AboutWindow(const Settings& settings, QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const Settings& settings_;
};

} // namespace orvel::gui
