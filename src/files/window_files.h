#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/prompt.h"
#include "model/records.h"

namespace quarn {

// The small files that the input windows save and open from their File menus. None holds a
// header or a count: every loop bound comes from the model as it is when the file is read
// (NumPollutants, NumRooms, NumSinks), so a file reads correctly only into a model of the
// same shape. No function adds an extension; the windows' dialogs choose the names.
//
// Every reader reads into a copy and replaces the model's fields only when the whole file
// was read; a missing or damaged file gives a message and changes nothing. Every writer
// replaces the file only when the new one is complete. All return whether they succeeded.
// Bounds: numRooms 1..13 and a scenario's NumPollutants 0..8; other values do nothing.

// Pollutant file (".POL"): the particle diameters of pollutants 0..NumPollutants-1, one a
// line. After reading, the pollutant window refills its grid.
bool WritePollutantFile(const PerPollutant<float>& particle_diameters, int num_pollutants,
                        const std::string& file_name, Prompt& prompt);
bool ReadPollutantFile(PerPollutant<float>& particle_diameters, int num_pollutants,
                       const std::string& file_name, Prompt& prompt);

// Initial indoor concentrations (".INT"): InitialConc(r, p), pollutant by pollutant, rooms
// 1..numRooms inner. The entered values (InitialConcInput) are not touched.
bool WriteInitialIndoorFile(const ScenarioRecord& scenario, int num_rooms,
                            const std::string& file_name, Prompt& prompt);
bool ReadInitialIndoorFile(ScenarioRecord& scenario, int num_rooms, const std::string& file_name,
                           Prompt& prompt);

// Outdoor concentration history (".OUT"): 50 lines, one per time point 1..50 whatever the
// count in use, each the time and then the entered values OutdoorConcInput(i, p) of
// pollutants 0..NumPollutants-1 joined by `separator`. The reader reads line by line
// (numbers split at commas, blanks or tabs): the points are those before the first time of
// 0 after point 1, or every line when the file ends first (so 50 for fifty non-zero times);
// the points after them become 0, so that a shortened history comes back short. A line with
// fewer values than pollutants, or one that is not a number, is a damaged file.
bool WriteOutdoorConcentrationFile(const ScenarioRecord& scenario, char separator,
                                   const std::string& file_name, Prompt& prompt);
bool ReadOutdoorConcentrationFile(ScenarioRecord& scenario, const std::string& file_name,
                                  Prompt& prompt);

// General sinks (".SNK"): for rooms 1..numRooms and sinks 1..NumSinks(room), a line with
// the name, the separator and the area, then per pollutant a line of mass, ka and kd joined
// by the separator. The reader splits at `separator`, so the file must be read under the
// separator it was written with; the sink counts are the model's and are not changed.
bool WriteGeneralSinkFile(const ScenarioRecord& scenario, int num_rooms, char separator,
                          const std::string& file_name, Prompt& prompt);
bool ReadGeneralSinkFile(ScenarioRecord& scenario, int num_rooms, char separator,
                         const std::string& file_name, Prompt& prompt);

// Steady HVAC flows (".HVA"): (numRooms + 1) x 3 numbers, one a line, written in double
// precision: the outdoor row first, then each room's supply, return and exhaust. The window
// gathers them from its grid cells (the leading number of each cell, 0 for text) and puts
// the values read back into the same cells; the record is not touched.
bool WriteHVACFlowFile(const std::vector<double>& cells, int num_rooms,
                       const std::string& file_name, Prompt& prompt);
std::optional<std::vector<double>> ReadHVACFlowFile(int num_rooms, const std::string& file_name,
                                                    Prompt& prompt);

// HVAC flow history (".FHI"): HVACHistoryOutdoorOnly, HVACHistoryCycle, then 50 pair lines
// of HVACHistoryTime and HVACHistoryFraction. Before writing, the writer sets the two
// fields from the window's options: 1 (not -1) when "outdoor flows" is selected, else 0;
// "Y" when "Is this a cycle?" is answered yes, else "N".
bool WriteHVACFlowHistoryFile(ScenarioRecord& scenario, bool outdoor_flows_option,
                              bool cycle_option, const std::string& file_name, Prompt& prompt);
bool ReadHVACFlowHistoryFile(ScenarioRecord& scenario, const std::string& file_name,
                             Prompt& prompt);

// Ventilation (".VEN"): pair lines of time and rate, no header. The writer writes the
// points it is given, at most 50. The reader refuses a file of more than 50 points with a
// message; otherwise VentTime(i), VentRate(i) hold the file's points from i = 1 and time 0,
// rate 0 after them, and the points are returned for the grid's rows.
using TimeValue = std::pair<float, float>;
bool WriteVentilationFile(const std::vector<TimeValue>& points, const std::string& file_name,
                          Prompt& prompt);
std::optional<std::vector<TimeValue>> ReadVentilationFile(ScenarioRecord& scenario,
                                                          const std::string& file_name,
                                                          Prompt& prompt);

// Outdoor and room flows (".FLO"), written from the record: per room r,
// NaturalFromOutdoors, NaturalToOutdoors, HVACSupply, HVACReturn, HVACExhaust, then for
// every other room j NaturalRoomFlows(r, j) and HVACRoomFlows(r, j), one a line.
bool WriteOutdoorFlowFile(const ScenarioRecord& scenario, int num_rooms,
                          const std::string& file_name, Prompt& prompt);
// The natural flows of each room as that file holds them (rooms past numRooms 0). Only a
// file of exactly numRooms x (2 numRooms + 3) numbers was written for this building; any
// other count says so and gives nothing.
struct NaturalOutdoorFlows {
  PerRoom<float> entering{};
  PerRoom<float> leaving{};
};
std::optional<NaturalOutdoorFlows> ReadOutdoorFlowFile(int num_rooms, const std::string& file_name,
                                                       Prompt& prompt);

// Risk data (".RSK" of the risk data window): Name, IrritantConc, CancerRisk, Comments.
// The writer writes pollutant 0; the reader fills pollutant `pollutant` (0..7).
bool WriteRiskDataFile(const ScenarioRecord& scenario, const std::string& file_name,
                       Prompt& prompt);
bool ReadRiskDataFile(ScenarioRecord& scenario, int pollutant, const std::string& file_name,
                      Prompt& prompt);

// Filter file: per pollutant a line of the name and, at the next print zone, the HVAC
// filter's penetration FilterPenetration(0, p). The reader takes the last blank-separated
// item of a line as the penetration and the rest, trimmed, as the pollutant's name, so it
// renames the pollutants.
bool WriteFilterFile(const ScenarioRecord& scenario, const std::string& file_name, Prompt& prompt);
bool ReadFilterFile(ScenarioRecord& scenario, const std::string& file_name, Prompt& prompt);

// Penetration file (reader only): per pollutant a pair line of the particle diameter and
// the building penetration.
bool ReadPenetrationFile(ScenarioRecord& scenario, PerPollutant<float>& particle_diameters,
                         const std::string& file_name, Prompt& prompt);

}  // namespace quarn
