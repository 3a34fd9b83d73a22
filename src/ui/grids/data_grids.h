#pragma once

#include <string>
#include <vector>

#include "model/records.h"

namespace quarn {

class FlexGrid;
class Prompt;

// ---- User-defined HVAC filter ----

void SetupFilterGrid(FlexGrid& filterdefinitionss);
// One row per pollutant with the filter's efficiency in percent (1 - penetration).
void LoadFilterGrid(FlexGrid& filterdefinitionss, const ScenarioRecord& scenario);

// ---- VOC reference rows into the pollutant grid ----

// The VOC table's 11 columns under their headings in row 0, the one fixed row; no fixed
// column, so the marks of column 0 can be clicked.
void SetupVocGridHeadings(FlexGrid& grid);

// Copies the listed rows of the VOC grid into consecutive pollutant-grid rows from its
// current row; the vapour pressure becomes the saturation concentration C0. Only the rows
// that fit in the pollutant grid are copied; when some do not, a message says how many
// were. Returns the number copied.
int FillVOCGrid(const FlexGrid& voc_grid, FlexGrid& pollutant_grid, const std::vector<int>& rows,
                Prompt& prompt);

// ---- Shower data table ----

// Lays out the shower grid and fills it from "showerdatafile.dat" in the program folder.
// A missing or short file is reported; the headers and the items read stay (false).
bool ReadShowerDataFile(FlexGrid& grid, const std::string& program_folder, Prompt& prompt);

// ---- Risk data of one pollutant ----

// The text boxes of the risk data window.
struct RiskDataFields {
  std::string pollutant_name;
  std::string irritant;
  std::string cancer;
  std::string comments;
};

// Copies the window's fields into pollutant 0.
void ReadPollutantRecord(const RiskDataFields& window, ScenarioRecord& scenario);

// The scenario grid has no rows for risk data (its rows hold temperature, pressure and
// penetration), so the transferred values live in pollutant 0 alone and the grid is left
// as it is.
inline void ShowPollutantRiskData() {}

}  // namespace quarn
