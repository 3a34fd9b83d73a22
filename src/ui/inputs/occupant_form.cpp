#include "ui/inputs/occupant_form.h"

#include <QAction>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QTimer>
#include <algorithm>

#include "files/occupant_file.h"
#include "model/room_lookup.h"
#include "platform/edit_cell.h"
#include "platform/file_dialog.h"
#include "platform/flex_grid.h"
#include "platform/help_service.h"
#include "platform/hourglass.h"
#include "platform/printer_service.h"
#include "platform/qt_text.h"
#include "platform/up_down.h"
#include "text/number_text.h"
#include "ui/common/form_helpers.h"
#include "ui/common/history_form_parts.h"
#include "ui/common/number_entry.h"
#include "ui/common/print_frame.h"
#include "ui/common/window_menu.h"
#include "ui/grids/grid_cells.h"
#include "ui/grids/input_reports.h"
#include "ui/inputs/menu_tables.h"

namespace quarn {

namespace {

constexpr int kLeftTwips = 15;
constexpr int kMinWidthTwips = 9580;
constexpr int kGapTwips = 5;
constexpr int kBottomMarginTwips = 200;
constexpr int kMovedColumnTwips = 1200;
constexpr int kPrintPageLines = 77;
constexpr int kLocationCol = 3;
constexpr int kRoomCol = 4;

constexpr const char* kScheduleHeaders[] = {"Time #", "Time Enter", "Time Leave", "Location",
                                            "Room NR"};

QLabel* AddLabel(QWidget& parent, const char* name, const char* caption) {
  auto* label = new QLabel(ToQt(caption), &parent);
  label->setObjectName(name);
  return label;
}

}  // namespace

OccupantForm::OccupantForm(MainContext& context)
    : InputForm(context, "OccupantForm", "Activity patterns") {
  BuildControls();
  BuildMenus(menus::kOccupantForm);
  for (const auto& [name, key] :
       {std::pair{"EditCut", Qt::Key_X}, std::pair{"EditCopy", Qt::Key_C},
        std::pair{"editclear", Qt::Key_L}, std::pair{"EditPaste", Qt::Key_V}}) {
    if (auto* action = menuBar()->findChild<QAction*>(name)) {
      action->setShortcut(QKeySequence(Qt::CTRL | key));
    }
  }
  SetCommand("fileopen", [this] { OpenPattern(); });
  SetCommand("filesave", [this] { SavePattern(false); });
  SetCommand("filesaveas", [this] { SavePattern(true); });
  SetCommand("FilePrint", [this] { PrintPattern(); });
  SetCommand("PMchanges", [this] { ctx_.help.ShowHelp("RIRozid.HLP", "occupant"); });
  SetCommand("PreviousOccupant", [this] { PreviousOccupant(); });
  SetCommand("NextOccupant", [this] { NextOccupant(); });
  connect(spin_, &UpDown::DownClick, this, [this] { RunCommand("PreviousOccupant"); });
  connect(spin_, &UpDown::UpClick, this, [this] { RunCommand("NextOccupant"); });
  SetHelp(kMainHelpFile, "Occupancy");

  GridEdit& edit = AddEditSession(*grid_, *edit_cell_, false);
  // The times take numbers only; the location is a name.
  edit.SetNumberCells([](int, int col) { return col == 1 || col == 2; });

  // The load: the locations, the identification and the window's own occupant copies.
  const BuildingRecord& b = ctx_.state.Building;
  activity_list_->addItem("Outdoors");
  for (int r = 1; r <= RoomCount(b); ++r) {
    activity_list_->addItem(ToQt(b.RoomList[static_cast<size_t>(r)].Name));
  }
  build_id_->setText(ToQt(b.ID));
  scenario_id_->setText(ToQt(b.Scenario.Name));
  grid_->SetFixedRows(0);
  grid_->SetFixedCols(1);
  for (int i = 1; i <= OccupantCount(b.Scenario); ++i) {
    form_occupants_[static_cast<size_t>(i)] = b.Scenario.Occupants[static_cast<size_t>(i)];
  }
  grid_->SetRowCol(1, 1);
  SetMinimumTwips(*this, kMinWidthTwips, kGridWindowMinHeightTwips);
}

QLineEdit* OccupantForm::AddBox(QWidget& frame, const char* label_name, const char* caption,
                                const char* box_name, const char* design_text, int column) {
  auto* layout = static_cast<QGridLayout*>(frame.layout());
  QLabel* label = AddLabel(frame, label_name, caption);
  // A window narrower than the row of boxes wraps the captions ("Breathing rate" over
  // "m³/h") rather than cutting them.
  label->setWordWrap(true);
  layout->addWidget(label, 0, column);
  auto* box = new QLineEdit(ToQt(design_text), &frame);
  box->setObjectName(box_name);
  box->installEventFilter(this);
  layout->addWidget(box, 1, column);
  return box;
}

void OccupantForm::BuildControls() {
  auto* central = new QWidget(this);
  central->installEventFilter(this);

  id_frame_ = new QFrame(central);
  id_frame_->setObjectName("IDFrame");
  auto* id = new QHBoxLayout(id_frame_);
  id->addWidget(AddLabel(*id_frame_, "Label1", "Building ID:"));
  build_id_ = AddLabel(*id_frame_, "BuildID", "");
  id->addWidget(build_id_, 1);
  id->addWidget(AddLabel(*id_frame_, "Label4", "Scenario"));
  scenario_id_ = AddLabel(*id_frame_, "ScenarioID", "");
  id->addWidget(scenario_id_, 1);

  time_frame_ = new QFrame(central);
  time_frame_->setObjectName("timeframe");
  new QGridLayout(time_frame_);
  boxes_[Start] = AddBox(*time_frame_, "Label6", "Start time", "StartTime", "", 0);
  boxes_[End] = AddBox(*time_frame_, "Endt", "End time", "EndTime", "", 1);
  static_cast<QGridLayout*>(time_frame_->layout())->setColumnStretch(2, 1);

  top_frame_ = new QFrame(central);
  top_frame_->setObjectName("topframe");
  auto* top = new QGridLayout(top_frame_);
  top->addWidget(AddLabel(*top_frame_, "Label9", "Occupant #"), 0, 0);
  auto* number_row = new QHBoxLayout;
  occupant_number_ = new QLineEdit("1", top_frame_);
  occupant_number_->setObjectName("OccupantNumber");
  // Only the spinner changes the occupant: the number indexes the window's copies.
  occupant_number_->setReadOnly(true);
  number_row->addWidget(occupant_number_);
  spin_ = new UpDown(top_frame_);
  spin_->setObjectName("spin1");
  number_row->addWidget(spin_);
  top->addLayout(number_row, 1, 0);
  occupant_name_ = AddBox(*top_frame_, "Name", "Name", "OccupantName", "", 1);
  // Room for a name, which the row of boxes would otherwise squeeze the most.
  occupant_name_->setMinimumWidth(occupant_name_->fontMetrics().horizontalAdvance("Occupant 00"));
  boxes_[Breathing] =
      AddBox(*top_frame_, "Label5", "Breathing rate m\xB3/h", "BreathingRate", "0.833", 2);
  boxes_[Efficiency] = AddBox(*top_frame_, "Label8", "Efficiency fraction", "Efficiency", "1", 3);
  boxes_[Lifetime] = AddBox(*top_frame_, "Label10", "Lifetime (yrs)", "Lifetime", "70", 4);
  boxes_[Population] = AddBox(*top_frame_, "Label11", "Population size", "Population", "", 5);
  boxes_[Weight] = AddBox(*top_frame_, "Label12", "Wt.kg", "weight", "70", 6);
  boxes_[Averaging] = AddBox(*top_frame_, "Label13", "Averaging time hr", "AveragingTime", "24", 7);
  boxes_[Cycle] = AddBox(*top_frame_, "Label2", "Cycle Length", "CycleTime", "24", 8);
  top->addWidget(AddLabel(*top_frame_, "Label7", "Possible locations"), 0, 9);
  activity_list_ = new QListWidget(top_frame_);
  activity_list_->setObjectName("ActivityList");
  activity_list_->setMaximumHeight(TwipsToPixels(1200));
  activity_list_->installEventFilter(this);
  connect(activity_list_, &QListWidget::clicked, this, [this] { PickLocation(false); });
  top->addWidget(activity_list_, 1, 9, 2, 1);
  top->setColumnStretch(9, 1);
  for (QLineEdit* box : boxes_) {
    RestrictToNumbers(*box, ctx_.prompt);
    CountAsEdits({box});
  }
  CountAsEdits({occupant_name_});

  edit_frame_ = new QFrame(central);
  edit_frame_->setObjectName("Editframe");
  auto* edit_row = new QHBoxLayout(edit_frame_);
  edit_cell_ = AddEditCellBox(*edit_frame_);
  edit_row->addWidget(edit_cell_, 1);

  grid_ = new FlexGrid(central);
  grid_->setObjectName("OccupantSS");
  setCentralWidget(central);
}

bool OccupantForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == centralWidget() && event->type() == QEvent::Resize) {
    LayOut();
  } else if (watched == activity_list_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      PickLocation(true);
      return true;
    }
  } else if (auto* box = qobject_cast<QLineEdit*>(watched)) {
    if (event->type() == QEvent::FocusIn) {
      // After the click that gave the focus, which would place the caret.
      QTimer::singleShot(0, box, &QLineEdit::selectAll);
    } else if (box == occupant_name_ && event->type() == QEvent::KeyPress &&
               static_cast<QKeyEvent*>(event)->key() == Qt::Key_F2) {
      box->end(false);
      return true;
    }
  }
  return InputForm::eventFilter(watched, event);
}

void OccupantForm::AfterCellCommit(int row, int col) {
  if (col != kLocationCol) return;
  // The room number beside a typed location follows it, never left at the former one (0,
  // the outdoors, beside "Living"); a name of no room has none, and Transfer says so.
  const std::optional<int16_t> room =
      RoomOfLocation(ctx_.state.Building, grid_->TextMatrix(row, kLocationCol));
  if (room) {
    grid_->SetNumber(row, kRoomCol, *room, FormatSingle(*room));
  } else {
    grid_->SetTextMatrix(row, kRoomCol, "");
  }
}

void OccupantForm::LayOut() {
  if (laying_out_ || isMinimized()) return;
  laying_out_ = true;
  const QWidget* client = centralWidget();
  const int width = client->width();
  const int gap = TwipsToPixels(kGapTwips);
  int y = 0;
  for (QWidget* frame : {id_frame_, time_frame_, top_frame_, edit_frame_}) {
    // Captions wrapped in a narrow window take more height.
    const int height = frame->hasHeightForWidth()
                           ? std::max(frame->heightForWidth(width), frame->sizeHint().height())
                           : frame->sizeHint().height();
    frame->setGeometry(0, y, width, height);
    frame->setVisible(true);
    // The edit box's frame sits directly under the occupant's.
    y += height + (frame == top_frame_ ? 0 : gap);
  }
  const int bottom = client->height() - TwipsToPixels(kBottomMarginTwips);
  grid_->setGeometry(0, y, width * 95 / 100, std::max(bottom - y, 0));
  laying_out_ = false;
}

void OccupantForm::SetBox(Box box, const std::string& text, float value) {
  shown_numbers_[box] = {text, value};
  boxes_[box]->setText(ToQt(text));
}

float OccupantForm::BoxNumber(Box box) const {
  return BoxValue(shown_numbers_[box], FromQt(boxes_[box]->text()));
}

void OccupantForm::SetColumnWidths(int twips) {
  for (int c = 0; c < grid_->Cols(); ++c) grid_->SetColWidth(c, twips);
}

void OccupantForm::ShowFromScenario(int n) {
  BuildingRecord& b = ctx_.state.Building;
  OccupantBoxes texts;
  auto occupant = static_cast<int16_t>(n);
  FillOccupantGrid(*grid_, occupant, b, texts);
  if (occupant < 1) return;
  const OccupantRecord& o = b.Scenario.Occupants[static_cast<size_t>(occupant)];
  SetBox(Start, texts.start_time, o.StartTime);
  SetBox(End, texts.end_time, o.EndTime);
  SetBox(Averaging, texts.averaging_time, o.AveragingTime);
  SetBox(Population, texts.population, o.Population);
  SetBox(Breathing, texts.breathing_rate, o.BreathingRate);
  SetBox(Efficiency, texts.efficiency, o.EfficiencyFactor);
  SetBox(Cycle, texts.cycle_time, o.CycleLength);
  SetBox(Lifetime, texts.lifetime, o.Lifetime);
  // The "70" shown for an unset weight is what the box gives back.
  SetBox(Weight, texts.weight, o.Weight > 0 ? o.Weight : 70.0f);
  occupant_name_->setText(ToQt(texts.occupant_name));
}

void OccupantForm::ShowOccupantData(OccupantRecord& record) {
  const OccupantRecord& o = record;
  SetBox(Start, FormatSingle(o.StartTime), o.StartTime);
  SetBox(End, FormatSingle(o.EndTime), o.EndTime);
  SetBox(Averaging, FormatSingle(o.AveragingTime), o.AveragingTime);
  SetBox(Population, FormatPattern(o.Population, "0.0###E-"), o.Population);
  SetBox(Breathing, SignSingle(o.BreathingRate), o.BreathingRate);
  SetBox(Efficiency, SignSingle(o.EfficiencyFactor), o.EfficiencyFactor);
  SetBox(Cycle, FormatPattern(o.CycleLength, "###0.0#"), o.CycleLength);
  if (o.Lifetime == 0) {
    SetBox(Lifetime, "70", 70.0f);
  } else {
    SetBox(Lifetime, FormatPattern(o.Lifetime, "###.#"), o.Lifetime);
  }
  SetBox(Weight, FormatSingle(o.Weight), o.Weight);
  occupant_name_->setText(ToQt(o.Name));

  grid_->SetCols(static_cast<int>(std::size(kScheduleHeaders)));
  grid_->SetRows(30);
  SetColumnWidths(kMovedColumnTwips);
  for (int c = 0; c < grid_->Cols(); ++c) grid_->SetTextMatrix(0, c, kScheduleHeaders[c]);
  for (size_t r = 1; r <= kMaxSchedule; ++r) {
    const int row = static_cast<int>(r);
    grid_->SetNumber(row, 1, record.TimeEnter[r], SignSingle(record.TimeEnter[r]));
    grid_->SetNumber(row, 2, record.TimeLeave[r], SignSingle(record.TimeLeave[r]));
    grid_->SetTextMatrix(row, kLocationCol, record.Location[r]);
    record.LocationRoom[r] = FindRoomNumber(ctx_.state.Building, record.Location[r]);
    grid_->SetNumber(row, kRoomCol, record.LocationRoom[r], FormatSingle(record.LocationRoom[r]));
  }
  grid_->SetRowCol(1, 1);
  grid_->show();
}

void OccupantForm::GetOccupantData(OccupantRecord& record) {
  ProgramState& st = ctx_.state;
  const GridEventsOff off(ctx_.windows.grid_events_enabled);
  record.StartTime = BoxNumber(Start);
  record.EndTime = BoxNumber(End);
  record.AveragingTime = BoxNumber(Averaging);
  record.Name = FromQt(occupant_name_->text());
  record.BreathingRate = BoxNumber(Breathing);
  record.EfficiencyFactor = BoxNumber(Efficiency);
  record.Population = BoxNumber(Population);
  for (size_t r = 1; r <= kMaxSchedule; ++r) {
    const int row = static_cast<int>(r);
    record.TimeEnter[r] = CellSingle(*grid_, row, 1);
    record.TimeLeave[r] = CellSingle(*grid_, row, 2);
    if (r == 1 && record.TimeEnter[r] == record.TimeLeave[r]) {
      // A warning only: the exposure calculation refuses a pattern that never ends.
      ctx_.prompt.Message("You have not fully described the occupancy pattern for occupant " +
                              record.Name +
                              " Either reenter data or reduce the number of occupants.",
                          "Warning", MessageIcon::None);
    }
    record.Location[r] = grid_->TextMatrix(row, kLocationCol);
    // The room is always found from the name; a number typed into its column is not read.
    record.LocationRoom[r] = FindRoomNumber(st.Building, record.Location[r]);
  }
  record.Lifetime = BoxNumber(Lifetime);
  record.Weight = BoxNumber(Weight);
  // The box shows the cycle length, so a length typed there is kept.
  record.CycleLength = BoxNumber(Cycle);
}

void OccupantForm::PreviousOccupant() {
  if (shown_ <= 1) return;
  GetOccupantData(form_occupants_[static_cast<size_t>(shown_)]);
  --shown_;
  occupant_number_->setText(QString::number(shown_));
  ShowOccupantData(form_occupants_[static_cast<size_t>(shown_)]);
}

void OccupantForm::NextOccupant() {
  if (shown_ >= OccupantCount(ctx_.state.Building.Scenario)) return;
  GetOccupantData(form_occupants_[static_cast<size_t>(shown_)]);
  ++shown_;
  occupant_number_->setText(QString::number(shown_));
  ShowOccupantData(form_occupants_[static_cast<size_t>(shown_)]);
}

void OccupantForm::StoreShown() {
  GetOccupantData(form_occupants_[static_cast<size_t>(shown_)]);
  StoreOccupants(form_occupants_, ctx_.state.Building.Scenario);
  ctx_.state.ScenarioSaved = false;
}

void OccupantForm::Transfer() {
  GetOccupantData(form_occupants_[static_cast<size_t>(shown_)]);
  // A misspelt room would put the occupant outdoors all along: the window stays open.
  for (int i = 1; i <= OccupantCount(ctx_.state.Building.Scenario); ++i) {
    const auto refusal =
        UnknownLocationMessage(ctx_.state.Building, form_occupants_[static_cast<size_t>(i)]);
    if (refusal) {
      ctx_.prompt.Message(*refusal, "Error", MessageIcon::None);
      return;
    }
  }
  ctx_.state.OccupantsSaved = true;
  StoreOccupants(form_occupants_, ctx_.state.Building.Scenario);
  ctx_.state.ScenarioSaved = false;
  CloseForm();
}

void OccupantForm::Cancel() {
  if (!ctx_.state.OccupantsSaved &&
      ctx_.prompt.AskYesNo("Occupant data has not been transfered.  Do you with to continue "
                           "without transfering occupant data?",
                           "Warning", MessageIcon::Critical) == Answer::No) {
    return;
  }
  CloseForm();
}

void OccupantForm::PickLocation(bool from_enter) {
  for (int i = 0; i < activity_list_->count(); ++i) {
    const QListWidgetItem* item = activity_list_->item(i);
    if (!item->isSelected()) continue;
    const int row = grid_->Row();
    grid_->SetTextMatrix(row, kLocationCol, FromQt(item->text()));
    grid_->SetTextMatrix(row, kRoomCol, " " + std::to_string(i));
    MarkEdited();
    grid_->SetCol(kRoomCol);
    if (from_enter) grid_->setFocus(Qt::OtherFocusReason);
    return;
  }
}

void OccupantForm::OpenPattern() {
  const auto name = ctx_.dialogs.OpenFileName(
      FileRequest("All Occpancies (*.ACT)|*.ACT|All files (*.*)|*.*", "ACT", "*.ACT"));
  if (!name) return;
  ctx_.state.CurrentFileName = *name;
  ScenarioRecord& s = ctx_.state.Building.Scenario;
  // A file that cannot be read has said so and changed nothing.
  if (!ReadOccupantFile(s, shown_, *name, ctx_.prompt)) return;
  ctx_.state.ScenarioSaved = false;
  ShowFromScenario(shown_);
  // The copy follows the file, so that the next store does not put back older fields.
  form_occupants_[static_cast<size_t>(shown_)] = s.Occupants[static_cast<size_t>(shown_)];
}

void OccupantForm::SavePattern(bool save_as) {
  const auto name = ctx_.dialogs.SaveFileName(
      FileRequest(save_as ? "All Occpancies (*.ACT)|*.ACT|All files (*.*)|*.*"
                          : "All Activities (*.ACT)|*.ACT|All files (*.*)|*.*",
                  "ACT", "*.ACT"));
  if (!name) return;
  ctx_.state.CurrentFileName = *name;
  WriteActivityFile(*name, shown_);
}

void OccupantForm::WriteActivityFile(const std::string& file_name, int n) {
  if (n < 1 || n > OccupantCount(ctx_.state.Building.Scenario)) return;
  StoreShown();
  OccupantRecord& copy = form_occupants_[static_cast<size_t>(n)];
  copy.Number = static_cast<int16_t>(n);
  // The writer tells the user when the file cannot be written.
  ::quarn::WriteActivityFile(copy, file_name, ctx_.prompt);
}

void OccupantForm::PrintPattern() {
  // What was last transferred or saved, not what the window shows.
  const Hourglass busy;
  PrintReportSection(ctx_.printer, ctx_.state.Building, PrintOccupants, kPrintPageLines);
}

OccupantForm* OpenOccupantForm(MainContext& context, QWidget* opener) {
  const auto [form, open_already] = ShowInputFormOnce<OccupantForm>(context, opener, kLeftTwips, 0);
  if (open_already) return form;
  // Most of the frame's area, whether the frame is maximised or not, so that the schedule
  // grid shows under the boxes.
  auto* sub = qobject_cast<QMdiSubWindow*>(OuterFrame(form));
  QMdiArea* area = sub != nullptr ? sub->mdiArea() : nullptr;
  if (area != nullptr && (area->window()->windowState() & Qt::WindowMinimized) == 0 &&
      !sub->isMinimized()) {
    const int width = sub->isMaximized() ? sub->width() : area->width() * 95 / 100;
    sub->resize(width, area->height() * 95 / 100);
  }
  form->ShowFromScenario(1);
  form->Grid().setVisible(true);
  return form;
}

}  // namespace quarn
