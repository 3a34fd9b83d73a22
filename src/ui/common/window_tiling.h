#pragma once

#include <QPoint>
#include <QSize>

class QWidget;

namespace quarn {

// Window > Tile horizontally and Window > Tile vertically: the frame's open windows share
// its whole area without overlapping, one below the other at the area's full width, or side
// by side at its full height, as far as each window's least size allows. The active window
// comes first (at the top, or at the left); minimized windows keep their place. A window
// outside the frame arranges nothing.
void TileWindowsHorizontally(const QWidget* widget);
void TileWindowsVertically(const QWidget* widget);

// Top-left corner, in pixels of the screen area, that centres a window across and puts it
// a little above the middle (15 % of the height is kept for the taskbar and the frame's
// bars), 150 twips lower.
QPoint CenteredFormPosition(const QSize& screen, const QSize& window);
// Moves the window there unless it is minimised, and puts the pointer back to normal.
void CenterForm(QWidget& window);

}  // namespace quarn
