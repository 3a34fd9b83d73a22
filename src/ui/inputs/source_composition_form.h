#pragma once

#include "ui/common/input_form.h"

class QLabel;

namespace quarn {

// "Source composition": a source that releases a mixture, pollutant 1 standing for the
// whole ("TVOC") and the others for its components, each with its molecular weight, vapour
// pressure and mg per g of source material. Calculate properties derives the mixture's
// molecular weight and vapour pressure; Transfer stores the composition in the source and
// the mixture in pollutant 1, and shows them in the source window when it shows the source.
class SourceCompositionForm : public InputForm {
  Q_OBJECT

 public:
  explicit SourceCompositionForm(MainContext& context);

  // Lays the grid out and fills it from Sources(room, slot) and the pollutants.
  void Fill(int room, int slot);
  // The same for a window already open, after asking when it holds edits not transferred
  // (No, the default, keeps them): false when nothing was filled.
  bool FillAgain(int room, int slot);
  void Transfer() override;
  QSize sizeHint() const override;

 private:
  int room_ = 0;
  int slot_ = 1;
  GridEdit* edit_ = nullptr;
  QLabel* room_label_ = nullptr;
  QLabel* source_label_ = nullptr;
};

// Tools > Source composition of the source window: the window for source `slot` of `room`
// beside its opener, which stays in use; an open one is filled for the new source unless the
// user keeps what was typed in it.
SourceCompositionForm* OpenSourceComposition(MainContext& context, int room, int slot,
                                             QWidget* opener);

}  // namespace quarn
