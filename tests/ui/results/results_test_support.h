#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QWidget>
#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "common/ink_bounds.h"
#include "common/main_window_fixture.h"
#include "model/records.h"
#include "model/work_file.h"
#include "platform/flex_grid.h"
#include "ui/main/building_form.h"
#include "ui/results/concentration_grid.h"

namespace quarn::testing {

// A concentration value of record k (from 1), room r (0 outdoors) and pollutant p.
using ConcOf = std::function<float(int k, int r, int p)>;

// The work file of a run, written by the run's own record writer.
inline std::string WorkFileText(int rooms, int pollutants, int records, const ConcOf& conc,
                                bool end_line) {
  std::string text;
  std::vector<float> values(static_cast<size_t>((rooms + 1) * pollutants));
  for (int k = 1; k <= records; ++k) {
    for (size_t i = 0; i < values.size(); ++i) {
      values[i] = conc(k, static_cast<int>(i) / pollutants, static_cast<int>(i) % pollutants);
    }
    AppendWorkRecord(text, static_cast<float>(k), values, ',');
  }
  if (end_line) AppendWorkFileEnd(text);
  return text;
}

// A building of the given shape whose last run wrote `records` records at hours 1, 2, ...
class ResultsTest : public MainWindowTest {
 protected:
  BuildingRecord& B() { return state->Building; }
  PollutantRecord& Pollutant(int p) { return B().Scenario.Pollutants[static_cast<size_t>(p)]; }

  void WriteRun(int rooms, int pollutants, int records, const ConcOf& conc, bool end_line = true) {
    B().NumRooms = static_cast<int16_t>(rooms);
    B().Scenario.NumPollutants = static_cast<int16_t>(pollutants);
    if (B().Scenario.ConcUnits.empty()) B().Scenario.ConcUnits = "milligrams";
    B().Scenario.NumOutputRecords = records;
    B().Scenario.LastOutputTime = static_cast<float>(records);
    B().ConcWorkFile = Path("TempSEN.TMP");
    std::ofstream(B().ConcWorkFile, std::ios::binary)
        << WorkFileText(rooms, pollutants, records, conc, end_line);
    state->ConcentrationsCalculated = true;
  }

  void Fill() { FillConcentrationGrid(grid, form, B(), ',', prompt); }

  FlexGrid grid;
  QWidget form;
};

// The frame with the building window in its area.
class BuildingWindowTest : public MainWindowTest {
 protected:
  BuildingWindowTest() {
    frame.setCentralWidget(area);
    area->addSubWindow(building)->show();
    frame.resize(1000, 700);
    frame.show();
  }

  QMainWindow frame;
  QMdiArea* area = new QMdiArea(&frame);
  BuildingForm* building = new BuildingForm(*context);
};

// The building window, and the pollutants P0 to P2: irritant concentrations 1.5, 0.2 and 3,
// RfD 0.5·p and RfC 0.25·p.
class ThreePollutantsTest : public BuildingWindowTest {
 protected:
  ThreePollutantsTest() {
    S().NumPollutants = 3;
    for (int p = 0; p < 3; ++p) {
      PollutantRecord& pollutant = S().Pollutants[static_cast<size_t>(p)];
      pollutant.Name = "P" + std::to_string(p);
      pollutant.IrritantConc = std::array{1.5F, 0.2F, 3.0F}[static_cast<size_t>(p)];
      pollutant.RfD = 0.5F * static_cast<float>(p);
      pollutant.RfC = 0.25F * static_cast<float>(p);
    }
  }
  ScenarioRecord& S() { return state->Building.Scenario; }
};

// File > Print of a graph window, run by `print`: Cancel to the landscape question prints
// nothing; OK prints one picture page, its ink inside the graph's rectangle. Run before any
// other message or page.
inline void ExpectGraphAloneOnOnePage(ScriptedPrompt& prompt, RecordingPrinter& printer,
                                      const std::function<void()>& print) {
  prompt.answers = {Answer::Cancel, Answer::Ok};
  print();
  EXPECT_TRUE(printer.pages.empty());
  print();
  ASSERT_EQ(prompt.shown.size(), 2U);
  EXPECT_EQ(prompt.shown[0].text,
            "For best results, use setup printer to print in landscape.  If printer is not in "
            "landscape, press cancel.");
  EXPECT_EQ(prompt.shown[0].title, "");
  EXPECT_EQ(prompt.shown[0].icon, MessageIcon::Information);
  ASSERT_EQ(printer.pages.size(), 1U);
  const QImage& page = printer.pages[0].picture;
  ASSERT_FALSE(InkBounds(page).isNull());
  // A heading across the top names what the page shows; the graph spans the page's width.
  const QRect heading = OnPicture({0, 0, 31100, 2000}, page.size());
  const QRect graph = OnPicture({5, 2000, 31090, 27000}, page.size());
  EXPECT_FALSE(InkBounds(page.copy(heading)).isNull());
  EXPECT_TRUE(heading.united(graph).contains(InkBounds(page)));
  EXPECT_GT(InkBounds(page.copy(graph)).right(), OnPicture({0, 0, 29000, 1}, page.size()).right());
}

}  // namespace quarn::testing
