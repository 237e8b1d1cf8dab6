#pragma once
// The toolbar at the top of the main window: the command buttons (shared actions, see
// commands.h), then the search picture and the search box held at the right end.

#include "gui/commands.h"

#include <QLineEdit>
#include <QToolBar>
#include <QToolButton>

namespace orvel::gui {

class IconSet;

class ToolbarStrip : public QToolBar {
    Q_OBJECT
  public:
    static constexpr int strip_height = 30;
    static constexpr int button_side = strip_height - 2;

    ToolbarStrip(const IconSet& icons, QWidget* parent = nullptr);

    // Adds the search picture and box after the buttons, pushed to the right end.
    void add_search();
    QLineEdit* search_box() const { return search_; }
    QWidget* search_icon() const { return search_icon_; }
    // The button of a command's action, or nullptr when the toolbar has none.
    QToolButton* button(QAction* action) const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* search_icon_;
    QLineEdit* search_;
};

} // namespace orvel::gui
