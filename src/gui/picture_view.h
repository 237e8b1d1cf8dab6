#pragma once
// A framed picture: a found picture keeps its aspect ratio inside the frame; the placeholder
// figure fills it. Shared by the information window and the picture pane.

#include <QFrame>
#include <QImage>

namespace orvel::gui {

class PictureView : public QFrame {
  public:
    explicit PictureView(QWidget* parent);
    void show_image(const QImage& image, bool placeholder);
    const QImage& image() const { return image_; }
    bool placeholder() const { return placeholder_; }
    // The largest picture the frame shows without scaling up, in device pixels.
    QSize shown_size() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QRect picture_area() const;
    QImage image_;
    bool placeholder_ = true;
};

// The red figure of the splash, blown up hard-edged to the picture frame's size, shown where a
// machine has no picture.
QImage placeholder_figure();

} // namespace orvel::gui
