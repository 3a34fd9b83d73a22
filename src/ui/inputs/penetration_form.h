#pragma once

#include "ui/common/input_form.h"

class QFrame;

namespace quarn {

// "Define penetration factors": the fraction of each pollutant's outdoor concentration that
// enters the building, typed through the number-only box EditCell, read from a penetration
// file or, for particles, computed from each size bin's diameter. Transfer stores the
// factors (and the grid's first column as the particle-diameter list) and closes; the
// cancels close without storing.
class PenetrationForm : public InputForm {
  Q_OBJECT

 public:
  explicit PenetrationForm(MainContext& context);

  // Lays the grid out and fills it from the record.
  void Fill();
  void Transfer() override;
  // Wide enough for every title of the menu bar.
  QSize sizeHint() const override;

 private:
  void OpenPenetrationFile();

  QFrame* topframe_ = nullptr;
};

// Define penetration of the pollutant window: the window at the scenario editor's place,
// filled from the record, its opener out of use while it is open.
PenetrationForm* OpenPenetrationForm(MainContext& context, QWidget* opener);

}  // namespace quarn
