#pragma once

class QAction;
class QMdiArea;
class QWidget;

namespace quarn {

// The Window menu that every child window of the frame carries, in one place.

// The frame's MDI area that holds the widget, or nullptr for a window outside the frame.
QMdiArea* AreaAbove(const QWidget* widget);
// What is moved and sized for a window inside the frame: its sub-window; else the window.
QWidget* OuterFrame(QWidget* window);
// The window's size hint brought up to date with what its grids were just filled with.
void SettleSizeHint(QWidget& window);
// The window's outer frame sized to its size hint, to show all that the window holds.
void FitOuterFrame(QWidget* window);

// Window > Cascade and Window > Tile: the frame arranges its children.
void CascadeWindows(const QWidget* widget);
void TileWindows(const QWidget* widget);

// Window > List windows: the item becomes a list of the frame's open windows, made each time
// it opens, so that it never names a window that has closed; choosing one brings it forward.
void MakeWindowList(QAction& item, QWidget& owner);

}  // namespace quarn
