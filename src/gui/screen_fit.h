#pragma once
// Windows open inside the part of the screen that windows may use (without panels and docks),
// whatever the screen's size and scale: none is larger than that area, and none opens partly
// off it.

#include <QRect>

class QWidget;

namespace orvel::gui {

// The usable area of the screen near shows on (the primary screen without one).
QRect available_area(const QWidget* near = nullptr);

// The room a window's frame and title bar take beside its contents: measured once it is shown,
// a usual allowance before.
QSize frame_allowance(const QWidget* window);

// Shrinks a top-level window (and its minimum size) to fit the available area, then places it
// centred on near (on the area without one) and wholly inside the area.
void fit_into_screen(QWidget* window, const QWidget* near = nullptr);

} // namespace orvel::gui
