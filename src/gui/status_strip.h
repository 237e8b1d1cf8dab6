#pragma once
// The status bar: seven fields (150, 150, 150, 150, the rest, 45, 25) describing the list and
// the current machine, the last one a driver status picture.

#include "filters/list_texts.h"

#include <QLabel>
#include <QWidget>

#include <array>

namespace orvel::gui {

class IconSet;

class StatusStrip : public QWidget {
    Q_OBJECT
  public:
    static constexpr int strip_height = 22;

    StatusStrip(const IconSet& icons, QWidget* parent = nullptr);

    void show_texts(const StatusTexts& texts);
    QString field(int index) const;
    StatusImage image() const { return image_; }
    int field_width(int index) const;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    const IconSet& icons_;
    std::array<QLabel*, 7> fields_{};
    StatusImage image_ = StatusImage::Unchanged;
};

} // namespace orvel::gui
