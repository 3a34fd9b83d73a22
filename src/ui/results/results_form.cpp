#include "ui/results/results_form.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QResizeEvent>
#include <cstdint>

#include "files/item_file.h"
#include "platform/file_dialog.h"
#include "platform/help_service.h"
#include "platform/printer_service.h"
#include "platform/qt_text.h"
#include "ui/common/form_helpers.h"
#include "ui/common/print_frame.h"
#include "ui/results/concentration_grid.h"
#include "ui/results/menu_tables.h"

namespace quarn {
namespace {

constexpr int kFrameMinHeightTwips = 7500;

}  // namespace

ResultsForm::ResultsForm(MainContext& context, QWidget* parent)
    : ResultsWindow(context, menus::kResultsForm, "resultsspreadsheet", parent) {
  setObjectName("ResultsForm");
  setWindowTitle("Results of concentration calculation");
  SetGridPlace(0, 10, 350, 300);
  SetCommands({
      {"filesave", [this] { SaveConcentration(); }},
      {"FilePrintConc", [this] { PrintConcentration(); }},
      {"fileclose", [this] { Unload(); }},
      {"Editcopyall", [this] { CopyAll(); }},
      {"EditCopy", [this] { CopySelection(); }},
      {"help", [this] { ctx_.help.ShowHelp("RovozUzav.HLP", "Display Results"); }},
      {"PMchanges", [this] { ctx_.help.ShowHelp("RIRozid.HLP", "disply"); }},
  });
}

void ResultsForm::Fill() {
  FillConcentrationGrid(ResultsGrid(), *this, ctx_.state.Building, ctx_.state.DataSeparator,
                        ctx_.prompt);
}

void ResultsForm::SaveConcentration() {
  const auto name = ctx_.dialogs.SaveFileName(
      FileRequest("All Concentration (*.CON)|*.CON|All files (*.*)|*.*", "CON", "*.CON"));
  if (!name) return;
  const std::string& work_file = ctx_.state.Building.ConcWorkFile;
  if (work_file.empty()) {
    ctx_.prompt.Message("Error.  Concentration not calculated.", "Error.", MessageIcon::None);
    return;
  }
  // The whole work file of the run, not the thinned table on the screen. A run of many years
  // writes more than any input file holds.
  constexpr std::uint64_t kLargestWorkFile = std::uint64_t{1} << 30;
  const std::optional<std::string> bytes =
      item_file::Load(work_file, ctx_.prompt, kLargestWorkFile);
  if (!bytes) return;
  item_file::Save(*name, *bytes, ctx_.prompt);
}

void ResultsForm::PrintConcentration() {
  PrintCommand command(ctx_.printer);
  const BuildingRecord& b = ctx_.state.Building;
  PrintGrid(command.Job(), ResultsGrid(), "Results for " + b.ID + " Scenario " + b.Scenario.Name,
            true);
}

void ResultsForm::resizeEvent(QResizeEvent* event) {
  ResultsWindow::resizeEvent(event);
  if (!resizing_) {
    resizing_ = true;
    FollowFrame();
    resizing_ = false;
  }
}

void ResultsForm::FollowFrame() {
  auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
  if (sub == nullptr || (sub->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized))) return;
  QMdiArea* area = sub->mdiArea();
  QWidget* frame = area != nullptr ? area->window() : nullptr;
  if (frame == nullptr || frame == sub) return;
  if (frame->height() < TwipsToPixels(kFrameMinHeightTwips)) {
    frame->resize(frame->width(), TwipsToPixels(kFrameMinHeightTwips));
  }
  sub->setGeometry(0, TwipsToPixels(50), frame->width() - TwipsToPixels(180),
                   frame->height() - TwipsToPixels(1120));
}

ResultsForm* ShowConcentrationResults(MainContext& context, QMdiArea* area) {
  ResultsForm* form =
      OpenResultsWindow<ResultsForm>(area, [&context] { return new ResultsForm(context); });
  form->Fill();
  ShowInFront(*form);
  return form;
}

}  // namespace quarn
