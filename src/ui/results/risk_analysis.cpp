#include "ui/results/risk_analysis.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>

#include "files/result_files.h"
#include "model/exposure_units.h"
#include "platform/help_service.h"
#include "platform/printer_service.h"
#include "platform/qt_text.h"
#include "platform/window_registry.h"
#include "text/number_text.h"
#include "ui/common/window_tiling.h"
#include "ui/results/menu_tables.h"

namespace quarn {
namespace {

constexpr int kWidth = 7500;
constexpr double kScreenShare = 0.8;

}  // namespace

RiskAnalysis::RiskAnalysis(MainContext& context, QWidget* parent)
    : ResultsWindow(context, menus::kRiskAnalysis, nullptr, parent) {
  setObjectName("RiskAnalysis");
  setWindowTitle("Risk Analysis");
  setAttribute(Qt::WA_QuitOnClose, false);
  QWidget* central = centralWidget();
  auto* layout = new QGridLayout(central);
  AddLabel(*layout, "Label1", "Risk Analysis for: ", 0, 0);
  pollutant_ = AddLabel(*layout, "Pollutant", "Pollutant", 0, 1);
  // Whose risk it is: a printed picture of the window names them.
  whose_ = AddLabel(*layout, "Whose", "", 0, 2);
  AddLabel(*layout, "Label2", "Exposure absorbed dose g after ", 1, 0);
  years_ = AddLabel(*layout, "Nyears", "Label3", 1, 1);
  dose_ = AddLabel(*layout, "dose", "Label3", 1, 2);
  AddLabel(*layout, "Label3", "Cancer Risk Assessment, Lifetime risk", 2, 0);
  risk_ = AddLabel(*layout, "RiskResult", "Label4", 2, 1);
  AddLabel(*layout, "RiskMeaning", "(the lifetime risk at the period's mean concentration)", 3, 0);
  AddLabel(*layout, "Label4", "Comments", 4, 0);
  comments_ = new QLineEdit(" ", central);
  comments_->setObjectName("Text1");
  layout->addWidget(comments_, 5, 0, 1, 3);
  layout->setRowStretch(6, 1);
  SetCommands({
      {"filesave", [this] { SaveResults(); }},
      {"FilePrint",
       [this] {
         PrintCommand command(ctx_.printer);
         command.Window(*this);
       }},
      {"filereturn", [this] { Unload(); }},
      {"help", [this] { ctx_.help.ShowHelp("RovozUzav.HLP", "Contents"); }},
  });
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    resize(TwipsToPixels(kWidth), static_cast<int>(screen->geometry().height() * kScreenShare));
  }
  CenterForm(*this);
}

std::string RiskAnalysis::Comment() const {
  return FromQt(comments_->text());
}

void RiskAnalysis::SaveResults() {
  const auto name = AskSaveName("*.RSK", "Risk results (*.RSK)|*.RSK|All files (*.*)|*.*", "");
  if (!name) return;
  const RiskAnalysisTexts texts{FromQt(years_->text()), FromQt(dose_->text()),
                                FromQt(risk_->text()), Comment()};
  WriteRiskAnalysisFile(ctx_.state.Building, texts, *name, ctx_.prompt);
}

RiskAnalysis* ShowRiskAnalysisForm(MainContext& context) {
  auto* form = AppWindows().Load<RiskAnalysis>([&context] { return new RiskAnalysis(context); });
  const ScenarioRecord& s = context.state.Building.Scenario;
  const OccupantRecord& first = s.Occupants[1];
  form->Pollutant().setText(ToQt(s.Pollutants[0].Name));
  // A risk only where Calculate > Risk gave one: the first pollutant needs a unit risk.
  const bool risk = context.state.ExposureCalculated && context.state.RiskCalculated &&
                    s.Pollutants[0].CancerRisk != 0;
  form->RiskResult().setText(
      ToQt(risk ? FormatSingle(first.CancerRiskResult[0]) : std::string("---")));
  form->Whose().setText(ToQt(context.state.Building.ID + ", " + s.Name + ", occupant " +
                             (s.NumOccupants > 0 ? first.Name : std::string("none"))));
  form->Nyears().setText(ToQt(FormatPattern(s.YearsSimulated, "##0.0#### yrs")));
  // The dose inhaled, in the scenario's mass unit, shown in grams; a dose that is no mass (a
  // concentration times hours, or particles) has no grams to show.
  const std::optional<double> mg = MilligramsPerUnit(s.ConcUnits, s.Pollutants[0]);
  form->DoseLabel().setText(ToQt(s.ExposureMode == "I" && mg
                                     ? FormatPattern(0.001 * *mg * first.Dose[0], "###0.0##### gms")
                                     : std::string("---")));
  form->Text1().setText(ToQt(s.Pollutants[0].Comments));
  form->show();
  return form;
}

}  // namespace quarn
