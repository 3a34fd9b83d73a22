#pragma once

class QWidget;

namespace quarn {

// Window > Tile horizontally and Window > Tile vertically: the frame's open windows share
// its whole area without overlapping, one below the other at the area's full width, or side
// by side at its full height, as far as each window's least size allows. The active window
// comes first (at the top, or at the left); minimized windows keep their place. A window
// outside the frame arranges nothing.
void TileWindowsHorizontally(const QWidget* widget);
void TileWindowsVertically(const QWidget* widget);

}  // namespace quarn
