#pragma once

#include <optional>

#include "ui/common/input_form.h"

class QLabel;
class QLineEdit;

namespace quarn {

// "Mass transfer coefficient data form": the gas-side mass-transfer coefficient of an
// evaporating source from the air velocity over it, its area and the pollutant's
// diffusivity. Calculate and Transfer writes it into the source window as the second
// parameter of the pollutant row the window was opened for.
class MassTransferForm : public InputForm {
  Q_OBJECT

 public:
  explicit MassTransferForm(MainContext& context);

  // The boxes as on opening, for parameter row `row` of source `slot` of `room`.
  void Fill(int row, int room, int slot);
  // Calculate and Transfer.
  void Transfer() override;

 private:
  // The coefficient shown in Result; nothing after a message.
  std::optional<float> Calculate();

  int row_ = 1;
  int room_ = 0;
  int slot_ = 1;
  QLineEdit* air_velocity_ = nullptr;
  QLineEdit* source_area_ = nullptr;
  QLineEdit* diffusivity_ = nullptr;
  QLineEdit* result_ = nullptr;
  QLabel* room_number_ = nullptr;
  QLabel* source_number_ = nullptr;
};

// Calculate > Mass transfer coefficient of the source window: the window beside its opener,
// which stays in use, for parameter row `row` (shown as "Source #") of source `slot` of
// `room`; an open one starts again for the new row and source.
MassTransferForm* ShowMassTransferData(MainContext& context, int row, int room, int slot,
                                       QWidget* opener);

}  // namespace quarn
