#include "ui/inputs/room_source_form.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "files/source_file.h"
#include "model/emission_models.h"
#include "model/source_checks.h"
#include "platform/flex_grid.h"
#include "platform/help_service.h"
#include "platform/printer_service.h"
#include "platform/qt_text.h"
#include "platform/up_down.h"
#include "text/number_read.h"
#include "ui/common/form_helpers.h"
#include "ui/common/print_frame.h"
#include "ui/common/tool_openers.h"
#include "ui/grids/input_reports.h"
#include "ui/grids/scenario_room_grids.h"
#include "ui/inputs/mass_transfer_form.h"
#include "ui/inputs/menu_tables.h"
#include "ui/inputs/scenario_room_form.h"
#include "ui/inputs/shower_help_form.h"
#include "ui/inputs/source_composition_form.h"
#include "ui/inputs/source_display_form.h"
#include "ui/inputs/source_form_parts.h"

namespace quarn {

namespace {

constexpr int kMinWidthTwips = 10980;
constexpr int kMinHeightTwips = 6405;
constexpr int kModelCount = 11;

constexpr int kPrintPageLength = 70;

bool HasDigit(const QString& text) {
  return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
}

}  // namespace

RoomSourceForm::RoomSourceForm(MainContext& context)
    : InputForm(context, "RoomSourceForm", "Source data") {
  BuildControls();
  BuildMenus();
  SetMinimumTwips(*this, kMinWidthTwips, kMinHeightTwips);
  SetSpinnerSteps(*this, *source_spin_, "ChangesourcenumberDown", "ChangesourcenumberUp",
                  [this](int step) { StepSource(step); });
  SetSpinnerSteps(*this, *room_spin_, "spin1Down", "spin1Up", [this](int step) { StepRoom(step); });
  SetModelListCommand(*this, *model_, chosen_model_, [this](int model) { ChooseModel(model); });
  connect(count_, &QLineEdit::textEdited, this, &RoomSourceForm::CountChanged);
  CountAsEdits({count_, gas_velocity_, total_mass_, units_[0], units_[1], units_[2]});
}

void RoomSourceForm::BuildControls() {
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);

  QHBoxLayout* top = AddSourceTopFrame(*central, *layout);
  QWidget* topframe = top->parentWidget();
  const SourceNumberControls number = AddSourceNumberControls(topframe, *top, ctx_.prompt);
  count_ = number.count;
  source_spin_ = number.spinner;
  source_number_ = number.number;
  AddLabel(topframe, *top, "Label3", "Room:");
  room_number_ = AddLabel(topframe, *top, "RoomNumber", "");
  room_spin_ = new UpDown(topframe);
  room_spin_->setObjectName("spin1");
  top->addWidget(room_spin_);
  msg_ = AddLabel(topframe, *top, "Msg", "");
  top->setStretchFactor(msg_, 1);

  auto* boxes = new QHBoxLayout;
  model_ = AddModelList(central, *boxes);
  for (int m = 0; m < kModelCount; ++m) model_->addItem(ToQt(EmissionModelName(m)));

  units_ = AddUnitOptions(central, *boxes, {"mg/h", "\xB5g/h", "Number/h"});

  AddLabel(central, *boxes, "Label7", "Velocity cm/s");
  gas_velocity_ = AddNumberBox(central, *boxes, "GasVelocity", ctx_.prompt);
  total_mass_label_ = AddLabel(central, *boxes, "Label6", "Mass product applied g/m2");
  total_mass_ = AddNumberBox(central, *boxes, "TotalMass", ctx_.prompt);
  boxes->addStretch(1);
  layout->addLayout(boxes);

  const SourceGridControls grids = AddSourceGrids(*central, *layout);
  schedule_ = grids.schedule;
  parameters_ = grids.parameters;
  SetEditCommands(AddSourceEditSessions(*this, grids));
  setCentralWidget(central);
}

void RoomSourceForm::BuildMenus() {
  InputForm::BuildMenus(menus::kRoomSourceForm);
  SetShortcut("EditCopy", QKeySequence::Copy);
  SetShortcut("EditPaste", QKeySequence::Paste);
  SetCommand("sourcecomposition", [this] { OpenSourceComposition(ctx_, room_, slot_, this); });
  SetCommand("Calculatek",
             [this] { ShowMassTransferData(ctx_, parameters_->Row(), room_, slot_, this); });
  SetCommand("FileOpenDatabase",
             [this] { OpenToolWindow(ToolWindow::SourceDatabase, ctx_, this); });
  SetCommand("FileOpen", [this] { OpenFile(); });
  SetCommand("FileSave", [this] { SaveFile(); });
  SetCommand("FilePrint", [this] { PrintSources(); });
  SetCommand("CalculateR0k", [this] { CalculateR0k(); });
  SetCommand("CalculateTVOC", [this] { CalculateTVOC(); });
  const struct {
    const char* name;
    const char* file;
    const char* keyword;
  } helps[] = {{"HelpCalculate", kMainHelpFile, "Sources"},
               {"shourcehelp", kMainHelpFile, "Source room data form"},
               {"showerhelp", "Shower.HLP", ""}};
  for (const auto& h : helps) {
    SetCommand(h.name, [this, h] { ctx_.help.ShowHelp(h.file, h.keyword); });
  }
  SetCommand("showerdata", [this] { ShowShowerData(ctx_); });
}

void RoomSourceForm::SetEditCommands(GridEdit& parameters) {
  // The Edit commands work on the parameter grid with its own selection, wherever the user
  // clicked last: a block chosen in the schedule must not steer a Clear of the parameters.
  GridEdit* edit = &parameters;
  const struct {
    const char* name;
    void (GridEdit::*command)();
  } commands[] = {{"EditCut", &GridEdit::Cut},
                  {"EditCopy", &GridEdit::Copy},
                  {"EditClear", &GridEdit::Clear},
                  {"EditPaste", &GridEdit::Paste}};
  for (const auto& c : commands) {
    SetCommand(c.name, [this, edit, c] {
      (edit->*c.command)();
      if (c.command != &GridEdit::Copy) MarkEdited();
    });
  }
}

int RoomSourceForm::Count(int room) const {
  return std::clamp<int>(counts_[room], 0, kMaxSources);
}

void RoomSourceForm::Open(int room) {
  // The copy is taken once: taken again whenever the window came back to the front, it
  // would drop the sources read back but not yet transferred.
  // Every slot is copied, so that a raised count shows what Transfer would store there.
  const BuildingRecord& b = ctx_.state.Building;
  const int rooms = RoomCount(b);
  for (int r = 0; r <= rooms; ++r) {
    counts_[r] = b.Scenario.NumSources[r];
    work_[r] = b.Scenario.Sources[r];
  }
  ShowSource(room, 1);
}

void RoomSourceForm::ShowSource(int room, int slot) {
  room_ = room;
  slot_ = slot;
  FillSourceGrids(work_[room][slot], room, slot, *schedule_, *parameters_, values_, ctx_.state,
                  ctx_.prompt);
  ShowValues();
  NoteSourceModel(work_[room][slot], ctx_.state, ctx_.prompt);
}

void RoomSourceForm::ShowValues() {
  room_number_->setText(ToQt(values_.room_number));
  msg_->setText(ToQt(values_.room_name));
  source_number_->setText(ToQt(values_.source_number));
  count_->setText(QString::number(Count(room_)));
  total_mass_->setText(ToQt(values_.total_mass.text));
  gas_velocity_->setText(ToQt(values_.gas_velocity.text));
  model_->setCurrentIndex(
      values_.source_model >= 0 && values_.source_model < kModelCount ? values_.source_model : -1);
  units_[2]->setEnabled(values_.number_per_hour_enabled);
  units_[0]->setChecked(values_.milligrams_per_hour);
  units_[1]->setChecked(values_.micrograms_per_hour);
  units_[2]->setChecked(values_.number_per_hour);
  // Only the product and spill models have a total mass.
  const int model = values_.source_model;
  const bool has_mass = model >= 7 && model <= 10;
  total_mass_->setVisible(has_mass);
  total_mass_label_->setEnabled(has_mass);
  if (has_mass)
    total_mass_label_->setText(model == 7 ? "g product applied/m2" : "Total mg spilled");
}

bool RoomSourceForm::ReadShown() {
  values_.total_mass_text = FromQt(total_mass_->text());
  values_.gas_velocity_text = FromQt(gas_velocity_->text());
  values_.milligrams_per_hour = units_[0]->isChecked();
  values_.micrograms_per_hour = units_[1]->isChecked();
  values_.number_per_hour = units_[2]->isChecked();
  ProgramState& st = ctx_.state;
  std::optional<SourceRecord> read =
      ReadSourceGrids(*schedule_, *parameters_, values_, st.Building.Scenario.Sources[room_][slot_],
                      st.Building.Scenario, ctx_.prompt);
  if (!read) return false;
  work_[room_][slot_] = *read;
  return true;
}

void RoomSourceForm::ChooseModel(int model) {
  const int shown_model = values_.source_model;
  if (model == shown_model) return;
  // The shown source is read back first, so that its schedule and boxes survive the choice.
  if (!ReadShown()) {
    model_->setCurrentIndex(shown_model);
    return;
  }
  // One model's parameters would be read as another's (a C0 as an R0): they are cleared,
  // after a question when the user gave any (No keeps the model and its parameters).
  SourceRecord& source = work_[room_][slot_];
  const std::string question =
      ModelChangeQuestion(source, slot_, model, ctx_.state.Building.Scenario);
  if (!question.empty() &&
      ctx_.prompt.AskYesNoDefault(question, "Warning", MessageIcon::Exclamation, Answer::No) !=
          Answer::Yes) {
    model_->setCurrentIndex(shown_model);
    return;
  }
  KeepSharedParameters(source, model);
  source.Model = static_cast<int16_t>(model);
  // A model chosen is work that Cancel and the close box would throw away.
  MarkEdited();
  ShowSource(room_, slot_);
}

void RoomSourceForm::CountChanged(const QString& text) {
  // A count is taken once the box holds a number; "-" on its way to a number is not one.
  if (!HasDigit(text)) return;
  const double n = LeadingNumber(FromQt(text));
  if (n < 0 || n > kMaxSources) {
    ctx_.prompt.Message("Only allowed " + std::to_string(kMaxSources) + " sources.", "",
                        MessageIcon::None);
    return;
  }
  counts_[room_] = static_cast<int16_t>(std::nearbyint(n));
}

void RoomSourceForm::StepSource(int step) {
  const int target = slot_ + step;
  if (target < 1 || target > Count(room_)) return;
  if (!ReadShown()) return;
  ShowSource(room_, target);
}

void RoomSourceForm::StepRoom(int step) {
  // The HVAC system (room 0) has no neighbours; rooms run from 1 to NumRooms.
  const int rooms = RoomCount(ctx_.state.Building);
  const int r = room_;
  const int next = r + step;
  if (r < 1 || next < 1 || next > rooms) return;
  int target = next;
  if (Count(next) == 0) {
    const std::string question = (step > 0 ? "No sources in " : "No sources in  ") +
                                 std::to_string(next) +
                                 ". Do you want to go to next room with source?";
    if (ctx_.prompt.AskYesNo(question, "", MessageIcon::None) != Answer::Yes) return;
    target = 0;
    for (int t = next + step; t >= 1 && t <= rooms; t += step) {
      if (Count(t) > 0) {
        target = t;
        break;
      }
    }
    if (target == 0) {
      ctx_.prompt.Message(
          (step > 0 ? "No sources in rooms > " : "No sources in rooms < ") + std::to_string(r), "",
          MessageIcon::None);
      return;
    }
  }
  if (!ReadShown()) return;
  ShowSource(target, 1);
}

void RoomSourceForm::TakeStoredSource(int room, int slot) {
  if (room < 0 || room >= kRoomSlots || slot < 1 || slot > kMaxSources) return;
  CompositionMgPerGram(work_[room][slot]) =
      CompositionMgPerGram(ctx_.state.Building.Scenario.Sources[room][slot]);
}

std::string RoomSourceForm::ShownSourceName() {
  return GeneralSourceDataGrid().TextMatrix(1, 1);
}

void RoomSourceForm::StoreFit(const SourceRecord& fit) {
  const int room = ctx_.state.CurrentRoom;
  const int slot = ctx_.state.CurrentSource;
  if (room < 0 || room >= kRoomSlots || slot < 1 || slot > kMaxSources) return;
  // The fit goes into the window's copy, which its Transfer stores and its Cancel drops; the
  // source shown keeps what was typed in its schedule and shows the fit under "R0k". The
  // other pollutants' parameters of another model are cleared, after a question when they
  // were given (No keeps the source as it was).
  const bool shown = Shows(room, slot);
  if (shown && !ReadShown()) return;
  SourceRecord& source = work_[room][slot];
  const std::string question = R0kFitQuestion(source, slot, ctx_.state.Building.Scenario);
  if (!question.empty() &&
      ctx_.prompt.AskYesNoDefault(question, "Warning", MessageIcon::Exclamation, Answer::No) !=
          Answer::Yes) {
    return;
  }
  TakeR0kFit(source, fit.Params[0][0], fit.Params[1][0]);
  if (shown) ShowSource(room, slot);
}

void RoomSourceForm::OpenFile() {
  const auto name = ctx_.dialogs.OpenFileName(SourceFileRequest());
  if (!name) return;
  ProgramState& st = ctx_.state;
  st.CurrentFileName = *name;
  SourceRecord& stored = st.Building.Scenario.Sources[room_][slot_];
  // A file that cannot be read has said so and changed nothing.
  if (!ReadRoomSourceFile(st.Building.Scenario.NumPollutants, stored, *name, ctx_.prompt)) return;
  st.ScenarioSaved = false;
  work_[room_][slot_] = stored;
  ShowSource(room_, slot_);
}

void RoomSourceForm::SaveFile() {
  const auto name = ctx_.dialogs.SaveFileName(SourceFileRequest());
  if (!name) return;
  // The file gets the source as the window shows it.
  if (!ReadShown()) return;
  ctx_.state.CurrentFileName = *name;
  WriteRoomSourceFile(ctx_.state.Building.Scenario.NumPollutants, work_[room_][slot_], *name,
                      ctx_.prompt);
}

void RoomSourceForm::PrintSources() {
  PrintReportSection(ctx_.printer, ctx_.state.Building, PrintSourceData, kPrintPageLength);
}

void RoomSourceForm::CalculateR0k() {
  // The fit's window stores its result into the source shown now (StoreFit).
  ctx_.state.CurrentRoom = static_cast<int16_t>(room_);
  ctx_.state.CurrentSource = static_cast<int16_t>(slot_);
  OpenToolWindow(ToolWindow::ChamberData, ctx_, this, room_);
}

void RoomSourceForm::CalculateTVOC() {
  if (CalculateTVOCProperties(*parameters_, ctx_.state.Building.Scenario, ctx_.prompt)) {
    ctx_.state.ScenarioSaved = false;
  }
}

bool RoomSourceForm::SourcesMayBeStored(int first, int last) {
  for (int r = first; r <= last; ++r) {
    for (int k = 1; k <= Count(r); ++k) {
      const std::string refusal = SourceScheduleRefusal(ctx_.state.Building, r, k, work_[r][k]);
      if (!refusal.empty()) ctx_.prompt.Message(refusal, "Error", MessageIcon::Exclamation);
      if (refusal.empty() && SourceMayBeStored(ctx_.state.Building, r, k, work_[r][k], ctx_.prompt))
        continue;
      // The source is shown to be mended.
      if (!Shows(r, k)) ShowSource(r, k);
      return false;
    }
  }
  return true;
}

void RoomSourceForm::Transfer() {
  if (!ReadShown()) return;
  ScenarioRecord& s = ctx_.state.Building.Scenario;
  // The HVAC window stores the HVAC sources only, a room's window every room's but those.
  const int first = room_ == 0 ? 0 : 1;
  const int last = room_ == 0 ? 0 : RoomCount(ctx_.state.Building);
  if (!SourcesMayBeStored(first, last)) return;
  for (int r = first; r <= last; ++r) {
    s.NumSources[r] = counts_[r];
    for (int k = 1; k <= Count(r); ++k) s.Sources[r][k] = work_[r][k];
  }
  ctx_.state.ScenarioSaved = false;
  ctx_.state.SourcesSaved = true;
  CloseForm();
  // The counts stored here, in the scenario room window that opened this one, so that its
  // own read-back does not put the old ones back.
  if (auto* rooms = AppWindows().Find<ScenarioRoomForm>())
    FillRoomCountGrid(rooms->Grid(), ctx_.state.Building);
}

std::string RoomSourceForm::TotalMassText() const {
  return FromQt(total_mass_->text());
}

RoomSourceForm* OpenRoomSources(MainContext& context, int room, QWidget* opener) {
  if (room < 0 || room > kMaxRooms) return nullptr;
  const auto [form, open_already] = ShowInputFormOnce<RoomSourceForm>(context, opener, 0, 0);
  if (!open_already) form->Open(room);
  return form;
}

}  // namespace quarn
