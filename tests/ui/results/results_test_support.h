#pragma once

#include <QWidget>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "model/records.h"
#include "platform/flex_grid.h"
#include "text/number_text.h"
#include "common/main_window_fixture.h"
#include "ui/results/concentration_grid.h"

namespace quarn::testing {

// A concentration value of record k (from 1), room r (0 outdoors) and pollutant p.
using ConcOf = std::function<float(int k, int r, int p)>;

// The work file of a run as the run writes it: the time, then rooms 0 to NR with their
// pollutants inner, each number followed by a blank, a comma between numbers, CR LF, and
// the line -999 at the end.
inline std::string WorkFileText(int rooms, int pollutants, int records, const ConcOf& conc,
                                bool end_line = true) {
  std::string text;
  for (int k = 1; k <= records; ++k) {
    text += FileSingle(static_cast<float>(k));
    for (int r = 0; r <= rooms; ++r) {
      for (int p = 0; p < pollutants; ++p) text += "," + FileSingle(conc(k, r, p));
    }
    text += "\r\n";
  }
  if (end_line) text += "-999 \r\n";
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
    state->ConcentrationsCalculated = kTrue;
  }

  void Fill() { FillConcentrationGrid(grid, form, B(), ',', prompt); }

  FlexGrid grid;
  QWidget form;
};

}  // namespace quarn::testing
