#pragma once

#include <string>

#include "ui/grids/scenario_room_grids.h"

class QBoxLayout;
class QRadioButton;
class QWidget;

namespace quarn {

// What the initial and the outdoor concentration windows build alike.

// The unit in which a window's values are typed, "for this form only": Option1 "#/cc"
// (particles) or "ppm" (gases), Option2 µg/m3, Option3 mg/m3.
struct UnitButtons {
  QRadioButton* number_or_ppm = nullptr;
  QRadioButton* micrograms = nullptr;
  QRadioButton* milligrams = nullptr;

  UnitOptions Selected() const;
  void Select(const UnitOptions& options);
  // The unit token of the selected option ("number" or "ppm" by the mode, "micrograms",
  // "milligrams"); `unchanged` when none is selected.
  std::string Units(bool particles, const std::string& unchanged) const;
};

// Label1 and the frame Frame1 with the three options, added to `row`; Option1 captioned
// for the mode.
UnitButtons AddUnitFrame(QWidget& parent, QBoxLayout& row, const char* caption, bool particles);

}  // namespace quarn
