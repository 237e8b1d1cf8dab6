#pragma once
// The status bar: seven fields describing the list and the current machine (shown, driver,
// availability, set type, a free field taking the rest, "Status: " and the driver status
// picture). The first four are at least 150 wide and grow to fit their texts.

#include "filters/list_texts.h"

#include <QLabel>
#include <QStatusBar>

#include <array>

namespace orvel::gui {

class IconSet;

class StatusStrip : public QStatusBar {
    Q_OBJECT
  public:
    StatusStrip(const IconSet& icons, QWidget* parent = nullptr);

    void show_texts(const StatusTexts& texts);
    QString field(int index) const;
    QLabel* field_label(int index) const;
    StatusImage image() const { return image_; }

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void fit_fields();

    const IconSet& icons_;
    std::array<QLabel*, 7> fields_{};
    std::array<QIcon, 3> status_icons_; // good, imperfect, preliminary
    StatusImage image_ = StatusImage::Unchanged;
};

} // namespace orvel::gui
