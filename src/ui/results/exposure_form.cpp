#include "ui/results/exposure_form.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QResizeEvent>

#include "files/result_files.h"
#include "platform/flex_grid.h"
#include "platform/help_service.h"
#include "platform/hourglass.h"
#include "platform/printer_service.h"
#include "platform/qt_text.h"
#include "platform/up_down.h"
#include "ui/common/form_helpers.h"
#include "ui/common/number_entry.h"
#include "ui/common/print_frame.h"
#include "ui/results/exposure_grids.h"
#include "ui/results/menu_tables.h"

namespace quarn {
namespace {

// Twips: the window's place in the frame, the grid's place and margins in the window.
constexpr int kWindowOffset = 10;
constexpr int kGridLeft = 5;
constexpr int kGridTop = 600;
constexpr int kWidthMargin = 100;
constexpr int kHeightMargin = 1300;
constexpr int kBarHeight = 500;
constexpr QSize kWindowTwips(9600, 6000);

QLineEdit* SizedBox(QWidget* parent, const char* name, int width_twips) {
  auto* box = NamedBox(parent, name);
  if (width_twips > 0) box->setFixedWidth(TwipsToPixels(width_twips));
  return box;
}

}  // namespace

OccupantPicker MakeOccupantPicker(QWidget* parent, const char* label) {
  OccupantPicker picker{};
  picker.bar = new QWidget(parent);
  auto* layout = new QHBoxLayout(picker.bar);
  layout->setContentsMargins(TwipsToPixels(kGridLeft), 0, 0, 0);
  auto* text = new QLabel(ToQt(label), picker.bar);
  text->setObjectName("Label1");
  picker.number = SizedBox(picker.bar, "OccupantNumber", 500);
  RestrictToNumbers(*picker.number);
  picker.spinner = new UpDown(picker.bar);
  picker.spinner->setObjectName("UpDown1");
  picker.spinner->setFixedWidth(TwipsToPixels(300));
  picker.name = SizedBox(picker.bar, "OccupantName", 2400);
  layout->addWidget(text);
  layout->addWidget(picker.number);
  layout->addWidget(picker.spinner);
  layout->addWidget(picker.name);
  layout->addStretch();
  return picker;
}

ExposureForm::ExposureForm(MainContext& context, QWidget* parent)
    : ResultsWindow(context, menus::kExposureForm, "ExposureSS", parent) {
  setObjectName("ExposureForm");
  setWindowTitle("Exposure Results");
  const OccupantPicker picker = MakeOccupantPicker(centralWidget(), "Results for:");
  bar_ = picker.bar;
  number_ = picker.number;
  name_ = picker.name;
  spinner_ = picker.spinner;
  type_ = SizedBox(bar_, "ExposureType", 500);
  type_->setText("Text1");
  // Beside the occupant's name, before the row's spare width.
  auto* row = static_cast<QHBoxLayout*>(bar_->layout());
  row->insertWidget(row->count() - 1, type_);
  connect(spinner_, &UpDown::DownClick, this, [this] { StepOccupant(-1); });
  connect(spinner_, &UpDown::UpClick, this, [this] { StepOccupant(1); });
  SetCommands(
      {
          {"filesave", [this] { SaveExposure(); }},
          {"FilePrinterSetup", [this] { ctx_.printer.Setup(); }},
          {"FilePrint", [this] { PrintExposure(); }},
          {"fileclose", [this] { Unload(); }},
          {"Editcopyall", [this] { CopyAll(); }},
          {"EditCopy", [this] { CopySelection(); }},
          {"help", [this] { ctx_.help.ShowHelp("RovozUzav.HLP", "Contents"); }},
          {"PMchanges", [this] { ctx_.help.ShowHelp("RIRozid.HLP", "Display"); }},
      },
      "WindowCascade", "WindowTile");
  SetGridPlace(kGridLeft, kGridTop, kWidthMargin, kHeightMargin);
}

void ExposureForm::SaveExposure() {
  const auto name = AskSaveName("*.EXP", "Exposure (*.EXP)|*.EXP|All files (*.*)|*.*", "EXP");
  if (!name) return;
  Hourglass hourglass;
  WriteExposureFile(ctx_.state.Building, ctx_.state.DataSeparator, *name, ctx_.prompt);
}

void ExposureForm::PrintExposure() {
  // The page names whose exposure it shows, and of which kind.
  const BuildingRecord& b = ctx_.state.Building;
  const std::string type = FromQt(type_->text());
  const std::string kind = type == "I"   ? ", instantaneous exposure"
                           : type == "C" ? ", cumulative exposure"
                                         : "";
  PrintCommand command(ctx_.printer);
  PrintGrid(command.Job(), ExposureSS(),
            "Exposure results " + b.Scenario.Name + " for building " + b.ID + ", occupant " +
                FromQt(name_->text()) + kind,
            true);
}

void ExposureForm::StepOccupant(int step) {
  const ScenarioRecord& s = ctx_.state.Building.Scenario;
  const auto n = SteppedOccupant(FromQt(number_->text()), OccupantCount(s), step);
  if (!n) return;
  number_->setText(ToQt(std::to_string(*n)));
  name_->setText(ToQt(s.Occupants[static_cast<size_t>(*n)].Name));
  const std::string type = FromQt(type_->text());
  if (type == "I") {
    FillInstantExposureGrid(ExposureSS(), s, *n, ctx_.state.DataSeparator, ctx_.prompt);
  } else if (type == "C") {
    FillCumulativeExposureGrid(ExposureSS(), s, *n, ctx_.state.DataSeparator, ctx_.prompt);
  }
}

void ExposureForm::resizeEvent(QResizeEvent* event) {
  ResultsWindow::resizeEvent(event);
  auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
  if (sub != nullptr && !(sub->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized))) {
    sub->move(TwipsToPixels(kWindowOffset), TwipsToPixels(kWindowOffset));
  }
  bar_->setGeometry(0, 0, width(), TwipsToPixels(kBarHeight));
}

void DisplayExposureResults(ExposureForm& form, int mode) {
  Hourglass hourglass;
  form.ExposureSS().SetWordWrap(true);
  ProgramState& state = form.Context().state;
  if (!state.ExposureCalculated) return;
  const ScenarioRecord& s = state.Building.Scenario;
  form.OccupantNumber().setText("1");
  form.OccupantName().setText(ToQt(s.Occupants[1].Name));
  Prompt& prompt = form.Context().prompt;
  switch (mode) {
    case 1:
      FillInstantExposureGrid(form.ExposureSS(), s, 1, state.DataSeparator, prompt);
      form.ExposureType().setText("I");
      break;
    case 2:
      form.ExposureType().setText("C");
      FillCumulativeExposureGrid(form.ExposureSS(), s, 1, state.DataSeparator, prompt);
      break;
    case 3:
      FillOccupantExposureGrid(form.ExposureSS(), s, state.DataSeparator, prompt);
      break;
    default:
      break;
  }
}

ExposureForm* ShowExposureResults(MainContext& context, QMdiArea* area, int mode) {
  ExposureForm* form =
      OpenResultsWindow<ExposureForm>(area, [&context] { return new ExposureForm(context); });
  OpenAtSize(*form, kWindowTwips);
  DisplayExposureResults(*form, mode);
  ShowInFront(*form);
  return form;
}

}  // namespace quarn
