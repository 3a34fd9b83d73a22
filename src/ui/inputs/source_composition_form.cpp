#include "ui/inputs/source_composition_form.h"

#include <QBoxLayout>
#include <QFrame>
#include <QLabel>

#include "platform/edit_cell.h"
#include "platform/flex_grid.h"
#include "platform/qt_text.h"
#include "platform/window_registry.h"
#include "ui/common/form_helpers.h"
#include "ui/common/window_menu.h"
#include "ui/grids/source_grids.h"
#include "ui/inputs/menu_tables.h"
#include "ui/inputs/room_source_form.h"
#include "ui/inputs/source_form_parts.h"

namespace quarn {
namespace {

constexpr int kLeftTopTwips = 600;
// Column 1 holds the component's name; columns 2 to 4 its numbers.
constexpr int kFirstNumberCol = 2;

}  // namespace

SourceCompositionForm::SourceCompositionForm(MainContext& context)
    : InputForm(context, "fmSourceComposition", "Source composition") {
  const EditGridControls controls = BuildEditGrid(*this, "topframe", "SourceCompositionss");
  edit_cell_ = controls.box;
  grid_ = controls.grid;
  auto& band = static_cast<QBoxLayout&>(*controls.frame->layout());
  room_label_ = AddLabel(controls.frame, band, "lblcurrentroom", "");
  source_label_ = AddLabel(controls.frame, band, "lblcurrentsource", "");
  edit_ = &AddEditSession(*grid_, *edit_cell_, false);
  // The cell takes the text only when the edit is stored, as the window has no handler that
  // follows the typing.
  edit_->SetMirrorTyping(false);
  edit_->SetNumberCells([](int, int col) { return col >= kFirstNumberCol; });
  SetCommand("calculate", [this] { CalculateSourceComposition(*grid_, ctx_.prompt); });
  BuildMenus(menus::kSourceCompositionForm);
  SetHelp("RIrozid.HLP", "");
}

QSize SourceCompositionForm::sizeHint() const {
  return WithWholeMenuBar(*this, InputForm::sizeHint());
}

void SourceCompositionForm::Fill(int room, int slot) {
  if (room < 0 || room > kMaxRooms || slot < 1 || slot > kMaxSources) return;
  room_ = room;
  slot_ = slot;
  const ScenarioRecord& s = ctx_.state.Building.Scenario;
  CompositionLabels labels;
  SetupSourceCompositionGrid(*grid_, labels, s.Sources[room][slot], room, slot, s);
  room_label_->setText(ToQt(labels.lblcurrentroom));
  source_label_->setText(ToQt(labels.lblcurrentsource));
  ClearEdited();
}

bool SourceCompositionForm::FillAgain(int room, int slot) {
  if (!AgreeToDropEdits()) return false;
  Fill(room, slot);
  return true;
}

void SourceCompositionForm::Transfer() {
  ProgramState& st = ctx_.state;
  ScenarioRecord& s = st.Building.Scenario;
  // Pollutant 1 stands for the mixture in every source of the scenario: replacing what it
  // held is asked first.
  const std::string question = PollutantOneReplacement(*grid_, s);
  if (!question.empty() &&
      ctx_.prompt.AskYesNoDefault(question, "Source composition", MessageIcon::Question,
                                  Answer::No) != Answer::Yes)
    return;
  SourceRecord& source = s.Sources[room_][slot_];
  SaveSourceCompositionGrid(*grid_, source, s);
  st.ScenarioSaved = false;
  // The source window may have moved on to another source meanwhile: its copy of this one
  // takes the composition, and only the source it shows takes the cells.
  if (RoomSourceForm* sources = AppWindows().Find<RoomSourceForm>()) {
    if (sources->Shows(room_, slot_)) {
      // The model chosen there is stored only by its Transfer.
      SourceRecord shown = source;
      shown.Model = static_cast<int16_t>(sources->ShownModel());
      LoadSourceCompositionGrid(sources->ParameterGrid(), shown, sources->TotalMassText(), s);
    }
    sources->TakeStoredSource(room_, slot_);
  }
  CloseForm();
}

SourceCompositionForm* OpenSourceComposition(MainContext& context, int room, int slot,
                                             QWidget* opener) {
  const auto [form, open] = ShowInputFormOnce<SourceCompositionForm>(context, opener, kLeftTopTwips,
                                                                     kLeftTopTwips, false);
  if (open) {
    form->FillAgain(room, slot);
  } else {
    form->Fill(room, slot);
    FitOuterFrame(form);
  }
  return form;
}

}  // namespace quarn
