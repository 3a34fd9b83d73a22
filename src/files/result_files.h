#pragma once

#include <array>
#include <string>
#include <vector>

#include "model/prompt.h"
#include "model/records.h"
#include "model/summary_figures.h"

namespace quarn {

// Result files: the results of a run exist only in the work files of the calculation (the
// concentration work file and each occupant's .EMP, .CMP and .ave files); these writers turn
// them, and the texts of a few result windows, into text files for the user. In the
// concentration, exposure and average exposure files every line after the title ends with
// the separator after its last cell. No extension is added to the names given. Each writer
// builds the whole file first and replaces the target only when it is complete; every
// failure is a message ("Error.  " and what went wrong, title "Error") and a false result.
// Nothing here checks that a run was made: the callers test their calculated flags.

// Concentrations (".con") from building.ConcWorkFile: the title, the rooms' and pollutants'
// names and the unit of the columns, then every record, one row each.
bool WriteConcentrationFile(const BuildingRecord& building, char separator,
                            const std::string& file_name, Prompt& prompt);

// Exposures (".EXP") from each occupant's instantaneous and cumulative work files: per
// occupant the time, the instantaneous and the cumulative exposure of every pollutant. An
// occupant whose files have ended gets empty cells, so that later occupants stay in their
// columns; the file ends with a row of empty cells. A work file that cannot be read (no
// exposure run) is an error, as for the concentration file.
bool WriteExposureFile(const BuildingRecord& building, char separator, const std::string& file_name,
                       Prompt& prompt);

// Average exposures (".AEX") from each occupant's .ave work file: per occupant its lines as
// they are, then two empty cells (one in particle mode, whose lines end with the geometric
// standard deviation and no separator); the headings are padded to the same width.
bool WriteAverageExposureFile(const BuildingRecord& building, char separator,
                              const std::string& file_name, Prompt& prompt);

// Summary (".SUM"), one item a line: the building ID, the scenario name, each pollutant's
// name and irritant concentration, then per occupant its name and per pollutant the hours
// above the irritant concentration, the total and peak exposure and the cancer risk, each
// "---" where the summary shows it so: not calculated, so that no value of another run is
// saved as this run's.
bool WriteSummaryFile(const BuildingRecord& building, CalculatedResults calculated,
                      const std::string& file_name, Prompt& prompt);

// The texts of one occupant's rows in the risk framework window, as shown, for the labels
// "Duration ", "Exposure ", "Efficiency ", " Dose ", "Dose/Response" and "Individual risk "
// (the efficiency is the occupant's own), and the cancer row's conversion factor.
struct RiskFrameworkTexts {
  std::array<std::string, 6> irritant;  // irritant and non-cancer block
  std::array<std::string, 6> cancer;    // cancer block
  std::string conversion;               // breathing rate × efficiency in inhalation mode
};

// Risk framework report (".FUL") of pollutant `pollutant` (0 to 7). `comment` is the risk
// analysis window's comment; `occupants` holds the texts of occupants 1..NumOccupants in
// order (missing ones print empty). The fixed lines come first, each in its place, then the
// lines that say what the figures are: their units, the irritant level in the scenario's
// unit, the unit risk used, in a particle-count scenario the mass of a particle, each
// occupant's conversion factor, and what the individual risk is.
bool WriteRiskFile(const BuildingRecord& building, int pollutant, const std::string& comment,
                   const std::vector<RiskFrameworkTexts>& occupants, const std::string& file_name,
                   Prompt& prompt);

// The fields of the risk analysis window, as shown.
struct RiskAnalysisTexts {
  std::string period;  // the exposure period (years)
  std::string dose;    // the absorbed dose after that period
  std::string risk;    // the lifetime cancer risk
  std::string comment;
};

// Risk analysis report (".RSK" of the risk analysis window).
bool WriteRiskAnalysisFile(const BuildingRecord& building, const RiskAnalysisTexts& texts,
                           const std::string& file_name, Prompt& prompt);

// The name without its extension: when the last four characters begin with ".", they go.
std::string ResultBaseName(const std::string& file_name);

// Writes base + ".con" and base + ".EXP". True when both were written.
bool SaveAllResults(const BuildingRecord& building, char separator, const std::string& file_name,
                    Prompt& prompt);

}  // namespace quarn
