#include "ui/inputs/source_display_form.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <string>

#include "files/source_file.h"
#include "platform/flex_grid.h"
#include "platform/qt_text.h"
#include "ui/common/form_helpers.h"
#include "ui/inputs/hvac_source_form.h"
#include "ui/inputs/menu_tables.h"
#include "ui/inputs/source_form_parts.h"

namespace quarn {

namespace {

constexpr int kLeftTopTwips = 600;

}  // namespace

FileDialogRequest SourceFileRequest() {
  return FileRequest("Source (*.SOR)|*.SOR|All files (*.*)|*.*", "", "*.SOR");
}

SourceDisplayForm::SourceDisplayForm(MainContext& context)
    : InputForm(context, "fmSourceDisplay", "Source information") {
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  auto* numbers = new QHBoxLayout;
  rn_ = AddLabel(central, *numbers, "RN", "");
  sn_ = AddLabel(central, *numbers, "SN", "");
  numbers->addStretch(1);
  layout->addLayout(numbers);
  QLabel* advice = AddLabel(
      central, *layout, "Label1",
      "If this is the file you want, select File Transfer (Alt F T).  If you want to look at "
      "another file, select File Open (Alt F O).  If you want to give up, select File Cancel "
      "(Alt F C).");
  advice->setWordWrap(true);
  grid_ = new FlexGrid(central);
  grid_->setObjectName("ssSourceDisplay");
  grid_->SetRows(2);
  grid_->SetCols(2);
  grid_->SetFixedRows(1);
  grid_->SetFixedCols(0);
  grid_->SetColWidth(0, 2400);
  grid_->SetColWidth(1, 2400);
  grid_->SetTextMatrix(0, 0, "Source name");
  grid_->SetTextMatrix(0, 1, "Model");
  layout->addWidget(grid_, 1);
  setCentralWidget(central);

  BuildMenus(menus::kSourceDisplayForm);
  SetCommand("fileopen", [this] { OpenAnother(); });
}

void SourceDisplayForm::ShowSource(const SourceRecord& source, int room, int slot) {
  shown_ = source;
  room_ = room;
  slot_ = slot;
  rn_->setText(QString::number(room));
  sn_->setText(QString::number(slot));
  grid_->SetTextMatrix(1, 0, source.Name);
  grid_->SetTextMatrix(1, 1, HVACModelName(source.Model));
}

void SourceDisplayForm::OpenAnother() {
  const auto name = ctx_.dialogs.OpenFileName(SourceFileRequest());
  if (!name) return;
  ctx_.state.CurrentFileName = *name;
  std::string file = *name;
  // Read over the record shown, so that what the file does not hold stays as it was.
  SourceRecord scratch = shown_;
  if (!ReadSourceFile(file, ctx_.state.Building.Scenario.NumPollutants, scratch, ctx_.prompt))
    return;
  ShowSource(scratch, room_, slot_);
}

void SourceDisplayForm::Transfer() {
  if (room_ >= 0 && room_ <= kMaxRooms && slot_ >= 1 && slot_ <= kMaxSources) {
    ctx_.state.Building.Scenario.Sources[static_cast<size_t>(room_)][static_cast<size_t>(slot_)] =
        shown_;
    ctx_.state.ScenarioSaved = false;
    if (room_ == 0) {
      if (HVACSourceForm* hvac = AppWindows().Find<HVACSourceForm>())
        hvac->TakeSource(slot_, shown_);
    }
  }
  CloseForm();
}

SourceDisplayForm* OpenSourceDisplay(MainContext& context, const SourceRecord& source, int room,
                                     int slot, QWidget* opener) {
  SourceDisplayForm* form =
      ShowInputFormOnce<SourceDisplayForm>(context, opener, kLeftTopTwips, kLeftTopTwips, false)
          .form;
  form->ShowSource(source, room, slot);
  return form;
}

}  // namespace quarn
