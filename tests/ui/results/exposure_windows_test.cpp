// The exposure and average exposure grids and windows, filled from work files that the test
// writes: masks, row counts, separators and missing files; the spinner clicked and typed
// into; the Display items, Save, Print and Copy All.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QToolButton>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/main_window_fixture.h"
#include "files/result_files.h"
#include "platform/clipboard.h"
#include "platform/flex_grid.h"
#include "platform/up_down.h"
#include "platform/user_input.h"
#include "ui/main/building_form.h"
#include "ui/results/average_exposure_form.h"
#include "ui/results/exposure_form.h"
#include "ui/results/exposure_grids.h"

namespace quarn {
namespace {

namespace fs = std::filesystem;
using File = std::string OccupantRecord::*;
constexpr File kInst = &OccupantRecord::InstExposureFile;
constexpr File kCum = &OccupantRecord::CumExposureFile;
constexpr File kAvg = &OccupantRecord::AvgExposureFile;

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void ClickArrow(UpDown& spinner, const char* which) {
  auto* button = spinner.findChild<QToolButton*>(which);
  ASSERT_NE(button, nullptr) << which;
  testing::Click(button, button->rect().center());
}

class Exposure : public testing::MainWindowTest {
 protected:
  Exposure() { Pollutants({"CO"}); }
  ScenarioRecord& S() { return state->Building.Scenario; }
  void Pollutants(const std::vector<std::string>& names) {
    S().NumPollutants = static_cast<int16_t>(names.size());
    for (size_t p = 0; p < names.size(); ++p) S().Pollutants[p].Name = names[p];
  }
  // Occupant o, named `name`, with a work file of these lines; NumOccupants grows to o.
  void Write(int o, File file, const std::vector<std::string>& lines, const char* name = "") {
    OccupantRecord& occupant = S().Occupants[static_cast<size_t>(o)];
    if (*name != '\0') occupant.Name = name;
    S().NumOccupants = std::max<int16_t>(S().NumOccupants, static_cast<int16_t>(o));
    state->ExposureCalculated = true;
    occupant.*file = Path("occ" + std::to_string(o) +
                          (file == kInst  ? ".EMP"
                           : file == kCum ? ".CMP"
                                          : ".ave"));
    std::ofstream out(occupant.*file, std::ios::binary);
    for (const std::string& line : lines) out << line << "\r\n";
  }
  void WriteBoth(int o, const std::vector<std::string>& lines, const char* name = "") {
    Write(o, kInst, lines, name);
    Write(o, kCum, lines);
  }
  FlexGrid grid;
};

TEST_F(Exposure, OnePollutantUnderTheMasksWithEitherSeparator) {
  for (const char sep : {',', '\t'}) {
    state->DataSeparator = sep;
    std::vector<std::string> lines = {"1,0.005,", "2,0.01,", "3,1234.5,"};
    for (std::string& line : lines) std::replace(line.begin(), line.end(), ',', sep);
    WriteBoth(1, lines, "Ann");
    for (const bool cumulative : {false, true}) {
      SCOPED_TRACE(std::string(sep == ',' ? "comma " : "tab ") + (cumulative ? "cum" : "inst"));
      cumulative ? FillCumulativeExposureGrid(grid, S(), 1, sep, prompt)
                 : FillInstantExposureGrid(grid, S(), 1, sep, prompt);
      ASSERT_EQ(grid.Cols(), 2);
      EXPECT_EQ(grid.Rows(), 6);
      EXPECT_EQ(grid.TextMatrix(0, 0), cumulative ? "Pollutant" : "Time h");
      EXPECT_EQ(grid.TextMatrix(1, 1),
                cumulative ? "Cumulative exposure (mg/m\xB3\xB7h)" : "Inst. exposure (mg/m\xB3)");
      // The only pollutant is the last one too: fixed-point in the cumulative grid.
      const char* cells[3][2] = {
          {"1.0", cumulative ? "0.005" : "5.E-3"}, {"2.0", "0.01"}, {"3.0", "1,234.5"}};
      for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(grid.TextMatrix(r + 2, 0), cells[r][0]);
        EXPECT_EQ(grid.TextMatrix(r + 2, 1), cells[r][1]);
      }
      // Each cell keeps the number its text shows.
      EXPECT_EQ(grid.Number(2, 1), static_cast<double>(0.005f));
    }
  }
  Pollutants({"CO", "NO2"});
  Write(1, kCum, {"0,0.00001,0.00001,"});
  FillCumulativeExposureGrid(grid, S(), 1, ',', prompt);
  EXPECT_EQ(grid.TextMatrix(2, 1), "1.E-5");
  EXPECT_EQ(grid.TextMatrix(2, 2), "0.0");
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(Exposure, RowsFollowTheFileAndAMissingFileSaysErrorOverTheHeaders) {
  std::vector<std::string> lines;
  for (int k = 1; k <= 200; ++k) lines.push_back(std::to_string(k) + ",1,");
  WriteBoth(1, lines, "Ann");
  FillInstantExposureGrid(grid, S(), 1, ',', prompt);
  EXPECT_EQ(grid.Rows(), 203);
  EXPECT_EQ(grid.Row(), 2);
  FillCumulativeExposureGrid(grid, S(), 1, ',', prompt);
  EXPECT_EQ(grid.Rows(), 203);
  EXPECT_EQ(grid.Row(), 3);
  WriteBoth(1, {});
  FillInstantExposureGrid(grid, S(), 1, ',', prompt);
  EXPECT_EQ(grid.Rows(), 3);
  EXPECT_EQ(grid.TextMatrix(2, 0), "") << "no row of the longer file stays";

  S().Occupants[1].CumExposureFile = Path("gone.CMP");
  FillCumulativeExposureGrid(grid, S(), 1, ',', prompt);
  ASSERT_EQ(prompt.shown.size(), 1U);
  EXPECT_EQ(prompt.shown[0].text, "Error 53");
  EXPECT_EQ(prompt.shown[0].title, "Error.");
  EXPECT_EQ(grid.TextMatrix(1, 1), "Cumulative exposure (mg/m\xB3\xB7h)");
  EXPECT_FALSE(grid.isHidden()) << "shown again after the failure";
}

TEST_F(Exposure, EveryOccupantSideBySideForTheFirstPollutant) {
  Pollutants({"CO", "NO2"});
  Write(1, kInst, {"0.5,0.004,9,", "1,2,9,"}, "Ann");
  Write(1, kCum, {"0.5,0.002,9,", "1,3,9,"});
  WriteBoth(2, {"0.5,7,9,"}, "Bob");
  FillOccupantExposureGrid(grid, S(), ',', prompt);
  ASSERT_EQ(grid.Cols(), 6);
  EXPECT_GE(grid.Rows(), 99);
  const std::vector<std::string> rows[] = {
      {"Occupant", "Ann", "", "Occupant", "Bob", ""},
      {"Time hrs", "Inst exposure (mg/m\xB3)", "Cumulative exposure (mg/m\xB3\xB7h)", "Time hrs",
       "Inst exposure (mg/m\xB3)", "Cumulative exposure (mg/m\xB3\xB7h)"},
      {"0.5", "4.E-003", "2.E-003", "0.5", "7.0", "7.0"},
      {"1.0", "2.0", "3.0", "", "", ""}};
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 6; ++c) EXPECT_EQ(grid.TextMatrix(r, c), rows[r][static_cast<size_t>(c)]);
  }
}

// The windows inside the frame with the building window, as the program opens them.
class ExposureWindows : public Exposure {
 protected:
  ExposureWindows() {
    frame.setCentralWidget(area);
    area->addSubWindow(building)->show();
    frame.resize(1000, 700);
    frame.show();
  }
  ~ExposureWindows() override {
    AppWindows().Unload<ExposureForm>();
    AppWindows().Unload<AverageExposureForm>();
  }
  // Occupant o's files: one line at hour 1 whose exposure is 10 times o.
  void Occupant(int o, const char* name) {
    WriteBoth(o, {"1," + std::to_string(10 * o) + ","}, name);
  }
  ExposureForm* Open(const char* item) {
    building->RunCommand(item);
    return AppWindows().Find<ExposureForm>();
  }
  std::string Shown(QLineEdit& box) { return box.text().toStdString(); }

  QMainWindow frame;
  QMdiArea* area = new QMdiArea(&frame);
  BuildingForm* building = new BuildingForm(*context);
};

TEST_F(ExposureWindows, DisplayItemsNeedTheExposureThenOpenTheirWindow) {
  for (const char* item : {"DisplayInst", "DisplyaCumulative", "DisplayAverage"}) {
    prompt.shown.clear();
    building->RunCommand(item);
    ASSERT_EQ(prompt.shown.size(), 1U) << item;
    EXPECT_EQ(prompt.shown[0].text, "Exposure has not been calculated. ");
    EXPECT_EQ(prompt.shown[0].title, "Warning");
  }
  EXPECT_EQ(AppWindows().Find<ExposureForm>(), nullptr);
  EXPECT_EQ(AppWindows().Find<AverageExposureForm>(), nullptr);

  Occupant(1, "Ann");
  ExposureForm* form = Open("DisplayInst");
  ASSERT_NE(form, nullptr);
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(Shown(form->ExposureType()), "I");
  EXPECT_EQ(Shown(form->OccupantName()), "Ann");
  EXPECT_EQ(form->ExposureSS().TextMatrix(2, 1), "10.0");
  EXPECT_EQ(Open("DisplyaCumulative"), form) << "one window for both kinds";
  EXPECT_EQ(Shown(form->ExposureType()), "C");
  EXPECT_EQ(form->ExposureSS().TextMatrix(1, 1), "Cumulative exposure (mg/m\xB3\xB7h)");
}

TEST_F(ExposureWindows, SpinnerStepsThroughTheOccupantsWithinTheirNumber) {
  Occupant(1, "Ann");
  Occupant(2, "Bob");
  ExposureForm* form = Open("DisplayInst");
  ASSERT_NE(form, nullptr);
  const std::pair<const char*, const char*> clicks[] = {{"down", "1"}, {"up", "2"}, {"up", "2"}};
  for (const auto& [arrow, number] : clicks) {
    ClickArrow(form->UpDown1(), arrow);
    EXPECT_EQ(Shown(form->OccupantNumber()), number) << arrow;
  }
  EXPECT_EQ(Shown(form->OccupantName()), "Bob");
  EXPECT_EQ(form->ExposureSS().TextMatrix(2, 1), "20.0");

  // A number typed past the last occupant counts as the last one.
  Occupant(3, "Cy");
  ASSERT_TRUE(testing::ShowActive(frame));
  form->OccupantNumber().clear();
  form->OccupantNumber().setFocus();
  testing::Type("x,7");
  EXPECT_EQ(Shown(form->OccupantNumber()), "7") << "a letter or comma is refused";
  ClickArrow(form->UpDown1(), "down");
  EXPECT_EQ(Shown(form->OccupantName()), "Bob");
  EXPECT_EQ(form->ExposureSS().TextMatrix(2, 1), "20.0");
  // The arrow keys step too while the spinner has the focus.
  testing::Key(Qt::Key_Up);
  EXPECT_EQ(Shown(form->OccupantNumber()), "3");
  EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(ExposureWindows, SaveWritesTheExposureFilePrintSendsTheDatedGridCopyAllEveryCell) {
  Occupant(1, "Ann");
  S().Name = "R1";
  ExposureForm* form = Open("DisplayInst");
  ASSERT_NE(form, nullptr);
  dialogs.answers = {Path("exp1"), std::nullopt};
  form->RunCommand("filesave");
  form->RunCommand("filesave");
  ASSERT_TRUE(WriteExposureFile(state->Building, ',', Path("reference"), prompt));
  EXPECT_EQ(Bytes(Path("exp1.EXP")), Bytes(Path("reference")));
  EXPECT_EQ(dialogs.asked[0].request.filter, "Exposure (*.EXP)|*.EXP|All files (*.*)|*.*");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 5)
      << "tmp, two work files, exp1.EXP and the reference: the cancelled save wrote nothing";

  form->RunCommand("FilePrint");
  EXPECT_EQ(printer.documents, 1);
  const std::vector<std::string> lines = printer.Lines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], std::string(9, ' ') + "Exposure results R1 for building " +
                          state->Building.ID +
                          ", occupant Ann, instantaneous exposure Date 12-08-2026 Time 14:05:09");
  // Every row but the empty one that ends the grid.
  EXPECT_EQ(static_cast<int>(lines.size()), 1 + form->ExposureSS().Rows() - 1);

  form->ExposureSS().SetRowCol(2, 0);
  form->RunCommand("Editcopyall");
  EXPECT_EQ(ClipboardText(), "Time h\tCO\n\tInst. exposure (mg/m\xB3)\n1.0\t10.0\n\t\n");
  EXPECT_EQ(form->ExposureSS().Col(), 1);
}

class AverageWindow : public Exposure {
 protected:
  AverageWindow() { Pollutants({"A", "B", "C"}); }
  // Occupant o's average file: `records` periods, every average `value`.
  void Averages(int o, int records, const std::string& value, const std::string& tail = "") {
    std::vector<std::string> lines;
    for (int k = 1; k <= records; ++k) {
      const std::string n = std::to_string(k);
      lines.push_back(n + "," + n + "," + value + "," + value + "," + value + "," + tail);
    }
    Write(o, kAvg, lines, o == 1 ? "Ann" : "Bob");
  }
  AverageExposureForm form{*context};
  FlexGrid& Grid() { return form.AverageExposureGrid(); }
};

TEST_F(AverageWindow, ColumnsRowsAndMasksFollowTheRecords) {
  Averages(1, 12, "0.01");
  Averages(2, 3, "0.009");
  FillAverageExposureGrid(1, form);
  EXPECT_EQ(Grid().Cols(), 5);
  EXPECT_EQ(Grid().Rows(), 14);
  EXPECT_EQ(Grid().TextMatrix(12, 2), "0.01");
  EXPECT_EQ(Grid().TextMatrix(12, 1), "12.000");
  FillAverageExposureGrid(2, form);
  EXPECT_EQ(Grid().Rows(), 10);
  EXPECT_EQ(form.OccupantName().text().toStdString(), "Bob");
  EXPECT_EQ(Grid().TextMatrix(3, 4), "9.E-3");
  for (int r = 4; r <= 9; ++r) EXPECT_EQ(Grid().TextMatrix(r, 2), "") << r;

  S().PollutantClass = "PM2.5";
  Averages(1, 2, "1", "1.5,2.25");
  FillAverageExposureGrid(1, form);
  ASSERT_EQ(Grid().Cols(), 7);
  EXPECT_EQ(Grid().TextMatrix(0, 6), "Geometric Standard Deviation");
  EXPECT_EQ(Grid().TextMatrix(1, 5), "1.5");
  EXPECT_EQ(Grid().TextMatrix(1, 6), "2.25");
  EXPECT_TRUE(prompt.shown.empty());

  // A record cut short stops the fill; an occupant without the file says so.
  Write(1, kAvg, {"1,1,2,3,4,5,6,", "2,2,"});
  FillAverageExposureGrid(1, form);
  EXPECT_EQ(Grid().TextMatrix(1, 2), "2.0");
  S().Occupants[2].AvgExposureFile.clear();
  FillAverageExposureGrid(2, form);
  ASSERT_EQ(prompt.shown.size(), 2U);
  EXPECT_EQ(prompt.shown[0].text, "Error 62");
  EXPECT_EQ(prompt.shown[1].text, "Error.  Average exposure not calculated.");
  EXPECT_EQ(prompt.shown[1].title, "Error");
}

TEST_F(AverageWindow, SpinnerAndSave) {
  Averages(1, 3, "1");
  Averages(2, 3, "2");
  FillAverageExposureGrid(1, form);
  form.show();
  ClickArrow(form.UpDown1(), "up");
  EXPECT_EQ(Grid().TextMatrix(1, 2), "2.0");
  ClickArrow(form.UpDown1(), "down");
  EXPECT_EQ(Grid().TextMatrix(1, 2), "1.0");

  dialogs.answers = {Path("avg.txt")};
  form.RunCommand("filesave");
  ASSERT_TRUE(WriteAverageExposureFile(state->Building, ',', Path("reference"), prompt));
  EXPECT_EQ(Bytes(Path("avg.txt")), Bytes(Path("reference")));
  EXPECT_EQ(dialogs.asked[0].request.filter, "Average Exposure (*.AEX)|*.AEX|All files (*.*)|*.*");
  EXPECT_EQ(dialogs.asked[0].request.default_extension, "AEX");
}

}  // namespace
}  // namespace quarn
