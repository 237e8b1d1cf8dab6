#pragma once
// The strip at the top of the main window: five picture buttons, two dividers, the search
// picture and the search box, which keep their distance from the right end on resize.

#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QWidget>

#include <array>

namespace orvel::gui {

class IconSet;

class ToolbarStrip : public QWidget {
    Q_OBJECT
  public:
    static constexpr int strip_height = 30;

    ToolbarStrip(const IconSet& icons, QWidget* parent = nullptr);

    QLineEdit* search_box() const { return search_; }
    QLabel* search_icon() const { return search_icon_; }
    // The button that raises a command (1, 2, 3, 7 or 12), or nullptr.
    QToolButton* button(int command) const;

  signals:
    void commandRaised(int command);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    std::array<QToolButton*, 5> buttons_{};
    QLabel* search_icon_;
    QLineEdit* search_;
};

} // namespace orvel::gui
