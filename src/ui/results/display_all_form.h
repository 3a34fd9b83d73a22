#pragma once

#include "ui/results/results_window.h"

namespace quarn {

// "Results of calculations": a results window of the program that no command opens. It is
// kept with its menus, so that its grid `AllSS` can be given a use later.
class DisplayAllForm : public ResultsWindow {
  Q_OBJECT

 public:
  explicit DisplayAllForm(MainContext& context, QWidget* parent = nullptr);

  FlexGrid& AllSS() { return Grid(); }
};

}  // namespace quarn
