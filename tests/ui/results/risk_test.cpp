// The risk worksheet filled from results the test puts in the record and checked against
// hand-worked values; Calculate risk, the cell editor, Save and Print; the risk analysis
// window.

#include <gtest/gtest.h>

#include <algorithm>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <fstream>
#include <iterator>

#include "common/main_window_fixture.h"
#include "platform/edit_cell.h"
#include "platform/flex_grid.h"
#include "platform/user_input.h"
#include "text/number_read.h"
#include "ui/main/building_form.h"
#include "ui/results/risk_analysis.h"
#include "ui/results/risk_framework.h"
#include "ui/results/summary_form.h"
#include "ui/tools/calculator_form.h"

namespace quarn {
namespace {

using testing::Click;
using testing::Key;

class Risk : public testing::MainWindowTest {
 protected:
  Risk() {
    frame.setCentralWidget(area);
    area->addSubWindow(building)->show();
    frame.resize(1200, 800);
    frame.show();
    ScenarioRecord& s = S();
    s.NumPollutants = 2;
    s.ConcUnits = "milligrams";
    s.YearsSimulated = 1;
    s.Pollutants[0] = {};
    s.Pollutants[0].Name = "Benzene";
    s.Pollutants[0].IrritantConc = 0.5F;
    s.Pollutants[0].IrritantFactor = 2;
    s.Pollutants[0].CancerRisk = 0.002F;
    s.Pollutants[1].Name = "Toluene";
    s.NumOccupants = 1;
    OccupantRecord& o = s.Occupants[1];
    o.Name = "Ann";
    o.IrritantExposure[0] = 3;
    o.HoursAboveIrritant[0] = 1200;
    o.EfficiencyFactor = 1;
    o.Population = 1000;
    o.AverageExposure[0] = 0.5F;
    o.TotalExposure[0] = 24;
    o.Lifetime = 70;
    o.LifetimeExposure[0] = 100;
  }
  ~Risk() override {
    AppWindows().Unload<RiskFramework>();
    AppWindows().Unload<RiskAnalysis>();
  }
  ScenarioRecord& S() { return state->Building.Scenario; }
  RiskFramework* Open() {
    building->RunCommand("RiskFull");
    return AppWindows().Find<RiskFramework>();
  }
  static std::vector<std::string> Cells(const FlexGrid& g, int row,
                                        std::initializer_list<int> cols) {
    std::vector<std::string> texts;
    for (int c : cols) texts.push_back(g.TextMatrix(row, c));
    return texts;
  }

  QMainWindow frame;
  QMdiArea* area = new QMdiArea(&frame);
  BuildingForm* building = new BuildingForm(*context);
};

using Texts = std::vector<std::string>;

TEST_F(Risk, BlocksOfFourRowsPerOccupantAndTheCommentsRowLast) {
  S().NumOccupants = 0;
  RiskFramework* form = Open();
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->windowTitle().toStdString(), "Risk Characterization Framework");
  EXPECT_EQ(form->Riskss().Rows(), 7);
  EXPECT_EQ(form->Riskss().TextMatrix(6, 0), "Comments");

  S().NumOccupants = 3;
  S().Occupants[2] = S().Occupants[1];
  S().Occupants[2].Name = "Bob";
  S().Occupants[2].HoursAboveIrritant[0] = 100;
  S().Occupants[3].Name = "Cy";
  form->StepPollutant(0);
  const FlexGrid& g = form->Riskss();
  EXPECT_EQ(g.Rows(), 16);
  EXPECT_EQ(g.Cols(), 11);
  EXPECT_EQ(g.TextMatrix(0, 1), "Pollutant: Benzene\nType of Risk");
  EXPECT_EQ(g.TextMatrix(0, 4), "Exposure\nmg/m\xB3\xB7h\n(irritant: level \xD7 hours above)");
  // Bob's irritant risk is of his own hours: 0.5 mg/m³ × 100 h × 1 × 2.
  EXPECT_EQ(Cells(g, 5, {0, 1, 8}), (Texts{"Bob", "Irritant/Non Cancer", "1.0E2"}));
  EXPECT_EQ(Cells(g, 8, {0, 1}), (Texts{"Bob", "Comments"}));
  EXPECT_EQ(Cells(g, 10, {0, 1}), (Texts{"Cy", "Lifetime cancer risk, period mean"}));
  EXPECT_EQ(Cells(g, 11, {0, 1}), (Texts{"Cy", "Lifetime cancer risk, lifetime mean"}));
  EXPECT_EQ(g.TextMatrix(13, 0) + g.TextMatrix(14, 0), "");
  EXPECT_EQ(g.TextMatrix(15, 0), "Comments");
}

// Not inhaled, 24 mg·h/m³ over a year is a mean of 24/8760 = 0.0027397 mg/m³ = 2.7397 µg/m³;
// at 0.002 per µg/m³ the risk is 5.479E-3, and 1000 people carry 5.479 cases.
TEST_F(Risk, CancerRowsGiveTheRiskOfTheRecordAndStoreNothing) {
  const OccupantRecord before = S().Occupants[1];
  RiskFramework* form = Open();
  ASSERT_NE(form, nullptr);
  const FlexGrid& g = form->Riskss();
  // The irritant row: the level times the hours above it, a concentration times hours and
  // no dose, times the irritant factor and the population.
  EXPECT_EQ(Cells(g, 1, {2, 3, 4, 5, 6, 7, 8, 9, 10}),
            (Texts{">0.5", "1,200. hrs", "600.0", "1", "600.0 mg/m\xB3\xB7h", "2", "1.2E3", " 1000",
                   "1.2E6"}));
  EXPECT_EQ(Cells(g, 2, {2, 3, 4, 5, 6, 8, 10}),
            (Texts{"0.00274", "1.0 yrs", "24.0", "1.0", "24.0", "5.479E-3", "5.4795E0"}));
  EXPECT_EQ(g.TextMatrix(3, 2), "Lifetime extension off");
  EXPECT_EQ(S().Occupants[1].Dose, before.Dose);
  EXPECT_EQ(S().Occupants[1].CancerRiskResult, before.CancerRiskResult);

  // 100 mg·h/m³ over 70 years: 1.6308E-4 mg/m³, a lifetime risk of 3.262E-4.
  S().LongTermOptions = 1;
  S().Pollutants[0].IrritantFactor = 0;
  form->StepPollutant(-1);
  EXPECT_EQ(Cells(g, 3, {2, 3, 4, 8}), (Texts{"1.631E-4", "70.0 yrs", "100.0", "3.262E-4"}));
  EXPECT_EQ(Cells(g, 1, {6, 7, 8, 10}),
            (Texts{"600.0 mg/m\xB3\xB7h", "No Data", "No Data", "No Data"}));

  // The spinner stops at the last pollutant and brings a typed number into range.
  form->PollutantNumber().setText("9");
  form->StepPollutant(1);
  EXPECT_EQ(form->PollutantNumber().text().toStdString(), "1");
  EXPECT_EQ(form->Pollutantlabel().text().toStdString(), "Toluene");
}

// The irritant level is entered in mg/m³ and the hours above it counted in the scenario's
// unit: the row shows it in that unit, under that unit's heading, and its exposure is the
// level times those hours. 0.3 mg/m³ of benzene (78.11 g/mol) is 300 µg/m³ or
// 0.3 × 24.5 / 78.11 = 0.09409807 ppm. Beside them stands the unit risk that was entered.
TEST_F(Risk, TheIrritantRowShowsItsLevelInTheScenarioUnit) {
  struct Case {
    const char* units;
    const char* heading;
    const char* level;
    const char* exposure;  // over 1200 h
  };
  const Case cases[] = {{"milligrams", "Concentration\nmg/m\xB3", ">0.3", "360.0"},
                        {"micrograms", "Concentration\n\xB5g/m\xB3", ">300", "360,000.0"},
                        {"ppm", "Concentration\nppm", ">0.09409807", "112.92"}};
  S().Pollutants[0].IrritantConc = 0.3F;
  S().Pollutants[0].MolWt = 78.11F;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.units);
    S().ConcUnits = c.units;
    RiskFramework* form = Open();
    ASSERT_NE(form, nullptr);
    const FlexGrid& g = form->Riskss();
    EXPECT_EQ(g.TextMatrix(0, 2), c.heading);
    EXPECT_EQ(Cells(g, 1, {2, 3, 4}), (Texts{c.level, "1,200. hrs", c.exposure}));
    EXPECT_EQ(form->UnitRisk().text().toStdString(), "0.002 per \xC2\xB5g/m\xC2\xB3 (entered)");
    // Calculate risk counts the same exposure from the cells.
    form->RunCommand("calculate");
    EXPECT_EQ(LeadingNumber(RemoveCommas(g.TextMatrix(1, 4))),
              LeadingNumber(RemoveCommas(c.exposure)));
  }
}

// Particles of 2.5 µm at 1 g/cm³ weigh π/6 × 2.5³ pg = 8.181E-6 µg each: 36.67 per cm³ over
// a day are 300 µg/m³, and at 1E-05 per µg/m³ a risk of 3.000E-3. The risk says that mass
// beside it; without a density it has no mass, and no risk.
TEST_F(Risk, TheRiskOfParticlesSaysTheMassOfAParticle) {
  ScenarioRecord& s = S();
  s.ConcUnits = "number";
  s.ExposureMode = "I";
  s.YearsSimulated = 1.0F / 365;
  s.Pollutants[0].Name = "2.5";
  s.Pollutants[0].Diameter = 2.5F;
  s.Pollutants[0].Density = 1;
  s.Pollutants[0].CancerRisk = 1e-5F;
  OccupantRecord& o = s.Occupants[1];
  o.BreathingRate = 0.833F;
  o.TotalExposure[0] = o.Dose[0] = 36.67F * 0.833F * 24;
  state->ExposureCalculated = true;
  building->RunCommand("CalculateRisk");
  EXPECT_TRUE(prompt.shown.empty());
  building->RunCommand("DisplaySummary");
  auto* summary = AppWindows().Find<SummaryForm>();
  ASSERT_NE(summary, nullptr);
  const std::string mass =
      "Cancer risk through the mass of a particle: 8.181E-6 \xC2\xB5g (diameter 2.5 \xC2\xB5m, "
      "density 1 g/cm\xC2\xB3)";
  EXPECT_EQ(summary->Grid1().TextMatrix(1, 6), "3.000E-3");
  EXPECT_EQ(summary->ParticleMass().text().toStdString(), mass);
  RiskFramework* form = Open();
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->Riskss().TextMatrix(2, 8), "3.000E-3");
  EXPECT_EQ(form->ParticleMass().text().toStdString(), mass);

  // Without a density the mass would rest on a guess: no risk, and the warning says why.
  s.Pollutants[0].Density = 0;
  building->RunCommand("CalculateRisk");
  ASSERT_EQ(prompt.shown.size(), 1U);
  EXPECT_EQ(prompt.shown[0].text,
            "Warning.  A cancer risk of particles counted per cm\xB3 goes through the mass of a "
            "particle, from the diameter that names its size bin and its density.  No risk is "
            "calculated for 2.5: name the bin by its diameter in \xB5m and enter its density.");
  building->RunCommand("DisplaySummary");
  summary = AppWindows().Find<SummaryForm>();
  ASSERT_NE(summary, nullptr);
  EXPECT_EQ(summary->Grid1().TextMatrix(1, 6), "---");
  EXPECT_EQ(summary->ParticleMass().text().toStdString(),
            "Cancer risk through the mass of a particle: none without a diameter and density");
  form = Open();
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->Riskss().TextMatrix(2, 8), "No Data");
  AppWindows().Unload<SummaryForm>();
}

TEST_F(Risk, CalculateRiskRecomputesTheResultRowsFromTheCellsOnly) {
  RiskFramework* form = Open();
  ASSERT_NE(form, nullptr);
  FlexGrid& g = form->Riskss();
  g.SetTextMatrix(4, 4, "my note");
  const OccupantRecord before = S().Occupants[1];
  form->RunCommand("calculate");
  EXPECT_EQ(Cells(g, 1, {4, 6, 8, 10}), (Texts{"600.0", "600.0 mg/m\xB3\xB7h", "1.2E3", "1.2E6"}));
  // The cancer row multiplies out to the risk it was filled with.
  EXPECT_EQ(Cells(g, 2, {4, 6, 8, 10}), (Texts{"24.0", "24.0", "5.479E-3", "5.479E0"}));
  EXPECT_EQ(g.TextMatrix(4, 4), "my note");
  EXPECT_EQ(S().Occupants[1].Dose, before.Dose);
  EXPECT_EQ(S().Occupants[1].CancerRiskResult, before.CancerRiskResult);
  EXPECT_TRUE(prompt.shown.empty());

  // A product past a Single's range is said, and the row keeps the cells after it.
  g.SetTextMatrix(1, 7, "1E38");
  form->RunCommand("calculate");
  ASSERT_EQ(prompt.shown.size(), 1U);
  EXPECT_EQ(prompt.shown[0].text, "Error 6in risk calculation. Will continue.");
  EXPECT_EQ(prompt.shown[0].title, "Error");
  EXPECT_EQ(Cells(g, 1, {6, 8}), (Texts{"600.0 mg/m\xB3\xB7h", "1.2E3"}));
}

TEST_F(Risk, EditCellOverTheCellTakesKeysAndStoresWhereItWasLeft) {
  S().LongTermOptions = 1;
  RiskFramework* form = Open();
  ASSERT_NE(form, nullptr);
  ASSERT_TRUE(testing::ShowActive(frame));
  FlexGrid& g = form->Riskss();
  EditCellBox& box = form->EditCell();
  g.setFocus();
  g.SetRowCol(1, 4);
  Key(Qt::Key_7, "7");
  ASSERT_TRUE(box.isVisible());
  EXPECT_EQ(box.text().toStdString(), "7");
  EXPECT_EQ(box.geometry().topLeft(),
            g.geometry().topLeft() + QPoint(g.CellLeft() / 15, g.CellTop() / 15));
  Key(Qt::Key_Down);
  EXPECT_FALSE(box.isVisible());
  EXPECT_EQ(g.TextMatrix(1, 4), "7");
  EXPECT_EQ(g.Row(), 2);

  testing::DoubleClick(g.viewport(), g.CellCenter(2, 4));
  EXPECT_EQ(box.text().toStdString(), "24.0");
  Key(Qt::Key_5, "5");
  Key(Qt::Key_Escape);
  EXPECT_EQ(g.TextMatrix(2, 4), "24.0");

  Key(Qt::Key_X, "x");
  Key(Qt::Key_Left);
  Key(Qt::Key_Y, "y");
  EXPECT_EQ(box.text().toStdString(), "yx");
  Click(g.viewport(), g.CellCenter(3, 5));
  EXPECT_EQ(g.TextMatrix(2, 4), "yx");
  EXPECT_EQ(g.Row(), 3);
  Key(Qt::Key_Return, "\r");
  Key(Qt::Key_Return, "\r");
  EXPECT_EQ(g.TextMatrix(3, 5), "1.0");
  EXPECT_EQ(g.Row(), 3);
}

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST_F(Risk, SaveReportsThePollutantShownPrintSendsEveryRow) {
  state->Building.ID = "House";
  S().Name = "Winter";
  S().Pollutants[1].IrritantConc = 4;
  S().Occupants[1].HoursAboveIrritant[1] = 7;
  RiskFramework* form = Open();
  ASSERT_NE(form, nullptr);
  form->StepPollutant(1);
  dialogs.answers = {Path("r.FUL")};
  form->RunCommand("filesave");
  ASSERT_EQ(dialogs.asked.size(), 1U);
  EXPECT_EQ(dialogs.asked[0].request.initial_name, "*.FUL");
  EXPECT_EQ(dialogs.asked[0].request.filter,
            "Full risk analsyis (*.FUL)|*.FUL|All files (*.*)|*.*");
  const std::string ful = Bytes(Path("r.FUL"));
  for (const char* line : {"Pollutant Toluene\r\nComments  \r\n", "Irritant Concentration  4 \r\n",
                           "Duration 7. hrs\r\nExposure 28.0\r\nEfficiency 1\r\n"
                           " Dose 28.0 mg/m\xB3\xB7h\r\nDose/ResponseNo Data\r\n"
                           "Individual risk No Data\r\n",
                           "Duration 1.0 yrs\r\nExposure 0.0\r\n"}) {
    EXPECT_NE(ful.find(line), std::string::npos) << line << "\n" << ful;
  }

  form->RunCommand("FilePrint");
  EXPECT_EQ(printer.documents, 1);
  const std::vector<std::string> lines = printer.Lines();
  ASSERT_GE(lines.size(), 10U);
  EXPECT_NE((lines[0] + lines[1])
                .find("Risk results for House  Winter, pollutant Toluene, unit "
                      "risk none entered Date 12-08-2026 Time"),
            std::string::npos)
      << lines[0] << "\n"
      << lines[1];
  // The last row, in the band of the first columns.
  EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
    return line.rfind(std::string(9, ' ') + "Comments", 0) == 0;
  }));

  // Opening the Tools menu brings up the calculator.
  emit form->menuBar()->findChild<QAction*>("tools")->menu()->aboutToShow();
  EXPECT_NE(AppWindows().Find<CalculatorForm>(), nullptr);
  AppWindows().Unload<CalculatorForm>();
}

TEST_F(Risk, RiskAnalysisShowsOccupantOneSavesItsTextsAndPrintsOnePage) {
  state->Building.ID = "House";
  S().Name = "Winter";
  S().ExposureMode = "I";
  S().Occupants[1].Dose[0] = 1500;  // mg inhaled
  S().Occupants[1].CancerRiskResult[0] = 0.2F;
  ASSERT_NE(Open(), nullptr);
  state->ExposureCalculated = true;
  state->RiskCalculated = true;
  RiskAnalysis* analysis = ShowRiskAnalysisForm(*context);
  EXPECT_EQ(analysis->windowTitle().toStdString(), "Risk Analysis");
  EXPECT_EQ(analysis->Whose().text().toStdString(), "House, Winter, occupant Ann");
  EXPECT_EQ(analysis->Nyears().text().toStdString(), "1.0 yrs");
  EXPECT_EQ(analysis->DoseLabel().text().toStdString(), "1.5 gms");
  EXPECT_EQ(analysis->RiskResult().text().toStdString(), "0.2");
  analysis->Text1().setText("worst case");
  dialogs.answers = {Path("a.RSK"), Path("b.FUL")};
  analysis->RunCommand("filesave");
  EXPECT_EQ(Bytes(Path("a.RSK")),
            "Risk analysis for House\r\nScenario Winter\r\nPollutant Benzene\r\n"
            "Exposure adsorbed dose after 1.0 yrs 1.5 gms\r\nCancer risk lifetime 0.2\r\n"
            "Comments worst case\r\n"
            "Cancer risk lifetime is the lifetime risk at the period's mean concentration\r\n");
  // The worksheet's report takes its comment from this window while it is open.
  AppWindows().Find<RiskFramework>()->RunCommand("filesave");
  EXPECT_NE(Bytes(Path("b.FUL")).find("Comments worst case\r\n"), std::string::npos);

  analysis->RunCommand("FilePrint");
  EXPECT_EQ(printer.pages.size(), 1U);
}

}  // namespace
}  // namespace quarn
