#include "ui/grids/data_grids.h"

#include <algorithm>
#include <iterator>
#include <optional>

#include "model/prompt.h"
#include "platform/flex_grid.h"
#include "text/number_read.h"
#include "text/number_text.h"
#include "text/paths.h"
#include "text/text_reader.h"
#include "ui/grids/grid_cells.h"

namespace quarn {

namespace {

constexpr int kShowerRows = 14;
constexpr int kShowerCols = 4;
const char* const kShowerFile = "showerdatafile.dat";

void ReportShowerFile(Prompt& prompt, const std::string& what) {
  prompt.Message("Error.  " + what + "  The shower data table is incomplete.", "Error",
                 MessageIcon::Exclamation);
}

}  // namespace

void SetupFilterGrid(FlexGrid& filterdefinitionss) {
  filterdefinitionss.SetCols(3);
  filterdefinitionss.SetFixedRows(1);
  filterdefinitionss.SetFixedCols(2);
  filterdefinitionss.SetTextMatrix(0, 0, "Pollutant #");
  filterdefinitionss.SetTextMatrix(0, 1, "Pollutant");
  filterdefinitionss.SetTextMatrix(0, 2, "Efficiency %");
}

void LoadFilterGrid(FlexGrid& filterdefinitionss, const ScenarioRecord& scenario) {
  const int n = PollutantCount(scenario);
  filterdefinitionss.SetRows(n + 1);
  for (int p = 0; p < n; ++p) {
    const float efficiency = (1 - scenario.FilterPenetration[0][p]) * 100;
    filterdefinitionss.SetTextMatrix(p + 1, 0, SignSingle(static_cast<float>(p + 1)));
    filterdefinitionss.SetTextMatrix(p + 1, 1, scenario.Pollutants[p].Name);
    filterdefinitionss.SetNumber(p + 1, 2, efficiency, SignSingle(efficiency));
  }
}

void SetupVocGridHeadings(FlexGrid& grid) {
  static constexpr const char* kHeadings[] = {"Selected",
                                              "Name",
                                              "Formula",
                                              "MW g",
                                              "Diffusivity m2/h",
                                              "P0 mm hg",
                                              "Irritant Conc mg/m3",
                                              "RfD",
                                              "RfC",
                                              "Cancer",
                                              "Comments"};
  grid.SetRow(0);
  grid.SetFixedCols(0);
  grid.SetFixedRows(1);
  grid.SetCols(static_cast<int>(std::size(kHeadings)));
  for (int c = 0; c < grid.Cols(); ++c) grid.SetTextMatrix(0, c, kHeadings[c]);
}

int FillVOCGrid(const FlexGrid& voc_grid, FlexGrid& pollutant_grid, const std::vector<int>& rows,
                Prompt& prompt) {
  const int start = pollutant_grid.Row();
  const int wanted = static_cast<int>(rows.size());
  int copied = 0;
  for (int k = 0; k < wanted; ++k) {
    const int target = start + k;
    const int source = rows[static_cast<size_t>(k)];
    if (target >= pollutant_grid.Rows()) break;
    if (source < 1 || source >= voc_grid.Rows()) continue;  // not a row of the table
    // VOC columns: 1 name, 2 formula (not copied), 3 MW, 4 diffusivity, 5 P0, 6 irritant
    // concentration, 7 RfD, 8 RfC, 9 cancer; the pollutant grid has no formula column.
    const auto blank = [&voc_grid, source](int c) {
      return voc_grid.TextMatrix(source, c).find_first_not_of(' ') == std::string::npos;
    };
    for (int c = 1; c <= 9; ++c) {
      if (c == 2) continue;
      // A field the table has no value for keeps what was typed into the pollutant grid.
      if (blank(c) || (c == 5 && blank(3))) continue;
      const int col = c == 1 ? 1 : c - 1;
      if (c == 5) {
        // Saturation concentration from the vapour pressure by the ideal gas law:
        // P0/760 atm × MW g/mol × 1000 mg/g / 0.0243 m³/mol, with 1000/760 taken as 1.32,
        // in mg/m³.
        const double p0 = CellValue(voc_grid, source, 5);
        const double mw = CellValue(voc_grid, source, 3);
        const double c0 = p0 * 1.32 * mw / 0.0243;
        pollutant_grid.SetNumber(target, col, c0, FormatPattern(c0, "#####.##"));
      } else {
        pollutant_grid.SetTextMatrix(target, col, voc_grid.TextMatrix(source, c));
      }
    }
    ++copied;
  }
  const int fit = std::clamp(pollutant_grid.Rows() - start, 0, wanted);
  if (fit < wanted) {
    prompt.Message("Only " + std::to_string(fit) + " of the " + std::to_string(wanted) +
                       " marked rows fit in the pollutant table; " + std::to_string(copied) +
                       " were copied.",
                   "VOC data", MessageIcon::Information);
  }
  return copied;
}

bool ReadShowerDataFile(FlexGrid& grid, const std::string& program_folder, Prompt& prompt) {
  grid.SetRows(kShowerRows);
  grid.SetCols(kShowerCols);
  const char* headers[kShowerCols] = {"VOC", "Temp water C", "Henry Law", "Mass xfer "};
  for (int c = 0; c < kShowerCols; ++c) grid.SetTextMatrix(0, c, headers[c]);
  grid.SetColWidth(0, 2500);

  const std::optional<std::string> path = FindFileAnyCase(program_folder, kShowerFile);
  std::string bytes;
  if (!path || !ReadFileBytes(*path, bytes)) {
    ReportShowerFile(
        prompt, std::string("The file ") + kShowerFile + " was not found in the program folder.");
    return false;
  }
  ItemReader in(bytes);
  for (int r = 1; r < kShowerRows; ++r) {
    for (int c = 0; c < kShowerCols; ++c) {
      std::optional<std::string> item = in.ReadItem();
      if (!item) {
        ReportShowerFile(prompt, std::string("The file ") + kShowerFile + " ends after " +
                                     std::to_string((r - 1) * kShowerCols + c) + " of its " +
                                     std::to_string((kShowerRows - 1) * kShowerCols) + " items.");
        return false;
      }
      grid.SetTextMatrix(r, c, *item);
    }
  }
  return true;
}

void ReadPollutantRecord(const RiskDataFields& window, ScenarioRecord& scenario) {
  PollutantRecord& p = scenario.Pollutants[0];
  p.Name = window.pollutant_name;
  p.IrritantConc = static_cast<float>(LeadingNumber(window.irritant));
  p.CancerRisk = static_cast<float>(LeadingNumber(window.cancer));
  p.Comments = window.comments;
  ShowPollutantRiskData();
}

}  // namespace quarn
