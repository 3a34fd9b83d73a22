// The summary window filled from results the test puts in the record: rows, masks, the
// totals, the spinner over the pollutants, Save and Print.

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <algorithm>
#include <fstream>
#include <iterator>

#include "files/result_files.h"
#include "platform/flex_grid.h"
#include "results_test_support.h"
#include "ui/results/summary_form.h"

namespace quarn {
namespace {

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class Summary : public testing::ThreePollutantsTest {
 protected:
  ~Summary() override { AppWindows().Unload<SummaryForm>(); }
  SummaryForm* Open() {
    building->RunCommand("DisplaySummary");
    return AppWindows().Find<SummaryForm>();
  }
  static std::string Text(const QLineEdit& box) { return box.text().toStdString(); }
};

TEST_F(Summary, OccupantRowsUnderTheMasksThenTheTotals) {
  ScenarioRecord& s = S();
  s.NumOccupants = 3;
  s.Occupants[1] = {};
  s.Occupants[1].Name = "Ann";
  s.Occupants[1].HoursAboveIrritant[0] = 12.5F;
  s.Occupants[1].TotalExposure[0] = 1234.5F;
  s.Occupants[1].PeakExposure[0] = 2;
  s.Occupants[1].CancerRiskResult[0] = 0.2F;
  s.Occupants[2].TotalExposure[0] = -1;
  s.Pollutants[0].CancerRisk = 1e-5F;
  state->ExposureCalculated = true;
  state->RiskCalculated = true;
  s.TotalEmitted[0] = 1234.5F;
  s.AirCleanerCollected[1] = 1.5F;
  s.AirCleanerCollected[2] = 2.5F;
  SummaryForm* form = Open();
  ASSERT_NE(form, nullptr);
  const FlexGrid& g = form->Grid1();
  EXPECT_EQ(form->windowTitle().toStdString(), "Summary Output");
  EXPECT_EQ(g.Rows(), 9);
  EXPECT_EQ(g.Cols(), 7);
  EXPECT_EQ(g.TextMatrix(1, 0), "Ann");
  EXPECT_EQ(g.TextMatrix(1, 1), "12.5 ");
  EXPECT_EQ(g.TextMatrix(1, 2), "1,234.5");
  EXPECT_EQ(g.TextMatrix(1, 3), "2.0");
  // No dose outside inhalation mode; no RfD given.
  EXPECT_EQ(g.TextMatrix(1, 4), "---");
  EXPECT_EQ(g.TextMatrix(1, 5), "---");
  EXPECT_EQ(g.TextMatrix(1, 6), "2.000E-1");
  EXPECT_EQ(g.TextMatrix(2, 2), "-1.0");
  EXPECT_EQ(g.TextMatrix(4, 0), "Total emitted");
  EXPECT_EQ(g.TextMatrix(4, 1), "1,234.5 mg");
  EXPECT_EQ(g.TextMatrix(5, 0), "Air cleaner mass");
  // The run keeps the room cleaners' mass of every pollutant together: milligrams of any.
  EXPECT_EQ(g.TextMatrix(6, 0), "In-room air cleaner, all pollutants");
  EXPECT_EQ(g.TextMatrix(6, 1), "4.0 mg");
  EXPECT_EQ(g.TextMatrix(7, 0) + g.TextMatrix(8, 0), "");

  AppWindows().Unload<SummaryForm>();
  s.NumOccupants = 0;
  form = Open();
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->Grid1().TextMatrix(1, 0), "Total emitted");
  EXPECT_EQ(form->Grid1().TextMatrix(3, 0), "In-room air cleaner, all pollutants");

  // In ppm each gas has its own milligrams: a total of several stays in ppm·m³, whichever
  // pollutant is shown; one gas alone is its own, in its own milligrams (4 ppm·m³ of
  // 49 g/mol at 24.5 litres a mole: 8 mg).
  AppWindows().Unload<SummaryForm>();
  s.ConcUnits = "ppm";
  for (int p = 0; p < 3; ++p) s.Pollutants[static_cast<size_t>(p)].MolWt = 49.0F * (p + 1);
  form = Open();
  EXPECT_EQ(form->Grid1().TextMatrix(3, 1), "4.0 ppm\xB7m\xB3");
  form->StepPollutant(1);
  EXPECT_EQ(form->Grid1().TextMatrix(3, 1), "4.0 ppm\xB7m\xB3");
  AppWindows().Unload<SummaryForm>();
  s.NumPollutants = 1;
  form = Open();
  EXPECT_EQ(form->Grid1().TextMatrix(3, 0), "In-room air cleaner");
  EXPECT_EQ(form->Grid1().TextMatrix(3, 1), "8.0 mg");
}

TEST_F(Summary, SpinnerStepsThePollutantsAndRewritesTheIrritantHeader) {
  SummaryForm* form = Open();
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->Grid1().TextMatrix(0, 1), "Time>\n1.5 mg/m3\n(Irritant Conc) hrs");
  EXPECT_EQ(Text(form->PollutantNumber()), "0");
  EXPECT_EQ(Text(form->RfdBox()), "0");
  form->StepPollutant(-1);
  EXPECT_EQ(Text(form->PollutantNumber()), "0");
  form->StepPollutant(1);
  EXPECT_EQ(Text(form->PollutantNumber()), "1");
  EXPECT_EQ(form->PollutantName().text().toStdString(), "P1");
  EXPECT_EQ(form->Grid1().TextMatrix(0, 1), "Time>\n0.2 mg/m3\n(Irritant Conc) hrs");
  EXPECT_EQ(Text(form->RfdBox()), "0.5");
  EXPECT_EQ(Text(form->Rfc()), "0.25");
  form->StepPollutant(1);
  form->StepPollutant(1);
  EXPECT_EQ(Text(form->PollutantNumber()), "2");
  form->PollutantNumber().setText("9");
  form->StepPollutant(-1);
  EXPECT_EQ(Text(form->PollutantNumber()), "1");
}

TEST_F(Summary, HeadingsAndTotalsFollowTheExposureModeAndTheScenarioUnit) {
  ScenarioRecord& s = S();
  s.NumOccupants = 1;
  s.Occupants[1].Name = "Ann";
  s.TotalEmitted[0] = 54000;
  s.ExposureMode = "I";
  s.ConcUnits = "micrograms";
  SummaryForm* form = Open();
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->Grid1().TextMatrix(0, 2), "Total exposure\n\xB5g");
  EXPECT_EQ(form->Grid1().TextMatrix(0, 3), "Peak instantaneous\nexposure \xB5g/h");
  EXPECT_EQ(form->Grid1().TextMatrix(2, 1), "54,000.0 \xB5g");
  AppWindows().Unload<SummaryForm>();

  // Particle counts: the level of 1.5 mg/m³ in particles of 2.5 µm at 1 g/cm³ is
  // 1.5E-3 g/m³ / 8.1812E-12 g = 1.8335E+08 #/m³ = 183.3 #/cc.
  s.ExposureMode = "N";
  s.ConcUnits = "number";
  s.Pollutants[0].Name = "2.5";
  s.Pollutants[0].Diameter = 2.5F;
  s.Pollutants[0].Density = 1;
  form = Open();
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->Grid1().TextMatrix(0, 1).substr(0, 10), "Time>\n183.");
  EXPECT_NE(form->Grid1().TextMatrix(0, 1).find(" #/cc\n"), std::string::npos);
  EXPECT_EQ(form->Grid1().TextMatrix(0, 2), "Total exposure\n#/cc\xB7h");
  EXPECT_EQ(form->Grid1().TextMatrix(2, 1), "54,000.0 #");
}

TEST_F(Summary, SaveWritesTheSummaryFilePrintSendsTheTitledGrid) {
  state->Building.ID = "House A";
  S().Name = "R1";
  S().NumOccupants = 1;
  S().Occupants[1].Name = "Ann";
  SummaryForm* form = Open();
  ASSERT_NE(form, nullptr);
  dialogs.answers = {Path("sum1")};
  form->RunCommand("filesave");
  ASSERT_EQ(dialogs.asked.size(), 1U);
  EXPECT_EQ(dialogs.asked[0].request.initial_name, "*.SUM");
  ASSERT_TRUE(WriteSummaryFile(state->Building, {}, Path("reference"), prompt));
  EXPECT_EQ(Bytes(Path("sum1.SUM")), Bytes(Path("reference")));

  // Each pollutant printed in turn: every page says which it shows.
  form->RunCommand("FilePrint");
  form->StepPollutant(1);
  form->RunCommand("FilePrint");
  EXPECT_EQ(printer.documents, 2);
  ASSERT_EQ(printer.pages.size(), 2U);
  for (int p = 0; p < 2; ++p) {
    ASSERT_FALSE(printer.pages[p].lines.empty());
    EXPECT_EQ(printer.pages[p].lines[0], std::string(9, ' ') +
                                             "Summary of results for House A R1, pollutant P" +
                                             std::to_string(p) + " Date 12-08-2026 Time 14:05:09");
  }
  const std::vector<std::string> lines = printer.pages[0].lines;
  ASSERT_GT(lines.size(), 2U);
  // The two-line heading prints as two aligned rows.
  EXPECT_EQ(lines[1].find("Occupant"), lines[2].find("name")) << lines[1] << "\n" << lines[2];
  EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
    return line.find("Ann") != std::string::npos;
  }));
}

}  // namespace
}  // namespace quarn
