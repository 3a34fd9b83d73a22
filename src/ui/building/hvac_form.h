#pragma once

#include "ui/common/input_form.h"
#include "ui/grids/hvac_grids.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quarn {

// The HVAC air cleaner window "HVAC Air Cleaner Data": the kind of filter in the HVAC system
// and its capacity in grams. Transfer stores both and sets, for every pollutant, the
// fraction that passes the filter; the kind "User defined" keeps the fractions of the
// user-defined filter window, which this window opens.
class HVACForm : public InputForm {
  Q_OBJECT

 public:
  explicit HVACForm(MainContext& context);

  // The stored kind selected and the capacity shown in grams.
  void Fill();

  void Transfer() override;
  // userdefine: "User defined" selected, then the filter window filled from the record.
  void UserDefine();

  QComboBox& FilterType() { return *filter_type_; }
  QLineEdit& Capacity() { return *capacity_; }

 private:
  void BuildControls();

  QComboBox* filter_type_ = nullptr;
  QLineEdit* capacity_ = nullptr;
  QPushButton* userdefine_ = nullptr;
  // What Fill showed, so that an untouched box stores the capacity back exactly.
  NumberBox shown_capacity_;
};

// The scenario editor's HVAC > Air cleaner: the window filled from the record, the editor
// out of use until it closes; an open one is brought forward as it is.
HVACForm* OpenHVACForm(MainContext& context, QWidget* opener);

}  // namespace quarn
