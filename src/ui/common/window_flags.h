#pragma once

namespace quarn {

// What the windows tell one another while they work. Nothing here is stored in a file or
// reaches the run, so it stays with the windows rather than in the program state.
struct WindowFlags {
  // The building grid acts on a change of cell; False while a window rewrites grids.
  bool grid_events_enabled = false;
  // An edit cell is open over some grid.
  bool cell_edit_active = false;
  // A source window's file dialog was cancelled: the command that opened it ends.
  bool dialog_cancelled = false;
};

// Grid handlers stay quiet for the guard's life: the flag is False and then back to what it
// was, whichever way the scope is left.
class GridEventsOff {
 public:
  explicit GridEventsOff(bool& flag) : flag_(flag), saved_(flag) { flag_ = false; }
  ~GridEventsOff() { flag_ = saved_; }
  GridEventsOff(const GridEventsOff&) = delete;
  GridEventsOff& operator=(const GridEventsOff&) = delete;

 private:
  bool& flag_;
  bool saved_;
};

}  // namespace quarn
