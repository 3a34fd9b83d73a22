#include "ui/grids/scenario_room_grids.h"

#include <QColor>
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "model/prompt.h"
#include "model/unit_conversion.h"
#include "platform/flex_grid.h"
#include "text/number_read.h"
#include "text/number_text.h"
#include "ui/grids/grid_cells.h"

namespace quarn {

namespace {

const QColor kYellow(255, 255, 0);  // the converted values: shown for reference, not read
constexpr int kHistoryRows = kMaxHistory + 2;

void PutMasked(FlexGrid& g, int r, int c, float v, std::string_view mask) {
  g.SetNumber(r, c, v, FormatPattern(v, mask));
}

bool IsBlank(const std::string& s) {
  return s.find_first_not_of(' ') == std::string::npos;
}

void RefuseRoomRow(Prompt& prompt, const std::string& what) {
  prompt.Message("Error.  " + what + ".  No room data were transferred.", "Error",
                 MessageIcon::Exclamation);
}

// Label of the outdoor window's blocks ("mg/m³"); ppm only for the entered block, since
// the scenario's own units are shown as mass or number.
std::string OutdoorLabel(const std::string& units, bool allow_ppm) {
  if (units == kNumber) return "#/cc";
  if (units == kMicrograms) return "\xB5g/m\xB3";
  if (units == kMilligrams) return "mg/m\xB3";
  if (allow_ppm && units == kPpm) return "ppm";
  return "";
}

// Label of the initial window's blocks. The entered block's Option1 is "#/cc" for
// particles and ppm for gases, so "number" and "ppm" share its label there; the scenario's
// own units are labelled only when they are a mass or a number.
std::string InitialLabel(const std::string& units, bool particles, bool allow_ppm) {
  if (units == kNumber || (allow_ppm && units == kPpm)) return particles ? "#/cc" : "PPM";
  if (units == kMicrograms) return "\xB5g/m3";
  if (units == kMilligrams) return "mg/m3";
  return "";
}

using PollutantField = float PollutantRecord::*;
struct PollutantColumn {
  const char* header;
  PollutantField field;
  const char* mask;  // nullptr: the plain form
};
const std::vector<PollutantColumn>& PollutantColumns(bool particles) {
  static const std::vector<PollutantColumn> kGas = {
      {"Mol. Wt", &PollutantRecord::MolWt, nullptr},
      {"Diffusivity", &PollutantRecord::Diffusivity, nullptr},
      {"C0", &PollutantRecord::C0, nullptr},
      {"Irritant conc", &PollutantRecord::IrritantConc, nullptr},
      {"Reference dose", &PollutantRecord::RfD, nullptr},
      {"Reference conc", &PollutantRecord::RfC, nullptr},
      {"Cancer risk", &PollutantRecord::CancerRisk, nullptr}};
  static const std::vector<PollutantColumn> kParticle = {
      {"Diameter \xB5m", &PollutantRecord::Diameter, "###.###"},
      {"Density", &PollutantRecord::Density, nullptr},
      {"Irritant conc.", &PollutantRecord::IrritantConc, nullptr},
      {"Reference dose", &PollutantRecord::RfD, nullptr},
      {"Reference conc", &PollutantRecord::RfC, nullptr},
      {"Cancer risk", &PollutantRecord::CancerRisk, nullptr}};
  return particles ? kParticle : kGas;
}

}  // namespace

// ---- Scenario room grid ----

void FillScenarioRoomGrid(FlexGrid& grid, const BuildingRecord& building) {
  const ScenarioRecord& s = building.Scenario;
  const int rooms = RoomCount(building);
  grid.SetRedraw(false);
  grid.SetCols(6);
  grid.SetRows(rooms + 1);
  const char* headers[6] = {"Room Number", "Room ID",         "No. Sources",
                            "No. Sinks",   "Air Cleaner Eff", "AC Flow Room Volumes/h"};
  const int widths[6] = {900, 1200, 1200, 1200, 1200, 1300};
  for (int c = 0; c < 6; ++c) {
    grid.SetColWidth(c, widths[c]);
    grid.SetTextMatrix(0, c, headers[c]);
  }
  for (int r = 1; r <= rooms; ++r) {
    SetSingleCell(grid, r, 0, static_cast<float>(r));
    grid.SetTextMatrix(r, 1, building.RoomList[r].Name);
    SetSingleCell(grid, r, 2, s.NumSources[r]);
    SetSingleCell(grid, r, 3, s.NumSinks[r]);
    SetSingleCell(grid, r, 4, s.AirCleanerEff[r]);
    SetSingleCell(grid, r, 5, s.AirCleanerFlow[r]);
  }
  grid.SetRowCol(1, 2);
  grid.SetRedraw(true);
}

bool ReadScenarioRoomGrid(FlexGrid& grid, BuildingRecord& building, Prompt& prompt) {
  if (grid.Rows() < 1 || grid.Cols() < 5) return true;
  const int rooms = RoomCount(building);

  struct RoomRow {
    int room;
    int16_t sources;
    int16_t sinks;
    float eff;
    float flow;
  };
  std::vector<RoomRow> read;
  for (int r = 1; r < grid.Rows(); ++r) {
    const std::optional<int16_t> room = RoundToInt16(CellValue(grid, r, 0));
    if (!room || *room < 1 || *room > rooms) {
      RefuseRoomRow(prompt, "Row " + std::to_string(r) + " holds the room number \"" +
                                grid.TextMatrix(r, 0) + "\"; the building has rooms 1 to " +
                                std::to_string(rooms));
      return false;
    }
    const std::string name = "Room " + std::to_string(*room);
    const std::optional<int16_t> sources = RoundToInt16(CellValue(grid, r, 2));
    if (!sources || *sources < 0 || *sources > kMaxSources) {
      RefuseRoomRow(prompt, name + " has \"" + grid.TextMatrix(r, 2) +
                                "\" sources; a room holds 0 to 3 sources");
      return false;
    }
    const std::optional<int16_t> sinks = RoundToInt16(CellValue(grid, r, 3));
    if (!sinks || *sinks < 0 || *sinks > kMaxSinks) {
      RefuseRoomRow(
          prompt, name + " has \"" + grid.TextMatrix(r, 3) + "\" sinks; a room holds 0 to 2 sinks");
      return false;
    }
    read.push_back({*room, *sources, *sinks, CellSingle(grid, r, 4), CellSingle(grid, r, 5)});
  }

  ScenarioRecord& s = building.Scenario;
  for (const RoomRow& row : read) {
    s.NumSources[row.room] = row.sources;
    s.NumSinks[row.room] = row.sinks;
    s.AirCleanerEff[row.room] = row.eff;
    // Efficiency is a percentage; the mass balance works with the fraction let through.
    s.AirCleanerPenetration[row.room] = (100 - row.eff) / 100;
    s.AirCleanerFlow[row.room] = row.flow;
  }
  return true;
}

void FillRoomCountGrid(FlexGrid& grid, const BuildingRecord& building) {
  const int row = grid.Row();
  const int col = grid.Col();
  const ScenarioRecord& s = building.Scenario;
  for (int r = 1; r <= RoomCount(building); ++r) {
    SetSingleCell(grid, r, 3, s.NumSinks[r]);
    SetSingleCell(grid, r, 2, s.NumSources[r]);
  }
  grid.SetRowCol(row, col);
  grid.setFocus();
}

// ---- Outdoor concentration history ----

void SetupConcHistoryGrid(FlexGrid& grid) {
  grid.SetCols(2);
  grid.SetFixedCols(0);
  grid.SetRows(50);
  grid.SetFixedRows(1);
  grid.SetTextMatrix(0, 0, "Time");
  grid.SetTextMatrix(0, 1, "Conc");
}

void FillConcGrid(FlexGrid& grid, const BuildingRecord& building) {
  const ScenarioRecord& s = building.Scenario;
  const int n = PollutantCount(s);
  const std::string converted_label = OutdoorLabel(s.ConcUnits, false);
  const std::string entered_label = OutdoorLabel(s.OutdoorConcUnits, true);

  grid.SetRows(kHistoryRows);
  grid.SetCols(2 * n + 1);
  grid.SetFixedRows(2);
  grid.SetTextMatrix(0, 0, "Time");
  for (int p = 0; p < n; ++p) {
    const int entered = p + 1;
    const int conv = p + 1 + n;
    grid.SetTextMatrix(0, entered, s.Pollutants[p].Name);
    grid.SetTextMatrix(1, entered, entered_label);
    grid.SetTextMatrix(0, conv, s.Pollutants[p].Name);
    grid.SetTextMatrix(1, conv, converted_label);
    for (int r = 0; r < kHistoryRows; ++r) grid.SetCellBackColorAt(r, conv, kYellow);
  }
  for (int t = 1; t <= kMaxHistory; ++t) {
    const int row = t + 1;
    grid.SetNumber(row, 0, s.OutdoorConcTime[t], SignSingle(s.OutdoorConcTime[t]));
    for (int p = 0; p < n; ++p) {
      PutMasked(grid, row, p + 1, s.OutdoorConcInput[t][p], "#.##E-##");
      PutMasked(grid, row, p + 1 + n, s.OutdoorConc[t][p], "#.##E+0#");
    }
  }
}

bool ReadOutdoorConcGrid(FlexGrid& grid, const UnitOptions& options, BuildingRecord& building,
                         Prompt& prompt) {
  ScenarioRecord& s = building.Scenario;
  std::string units = s.OutdoorConcUnits;
  if (options.number_or_ppm) {
    units = IsParticleMode(s) ? std::string(kNumber) : std::string(kPpm);
  } else if (options.milligrams) {
    units = kMilligrams;
  } else if (options.micrograms) {
    units = kMicrograms;
  }
  const int n = PollutantCount(s);
  // Read into copies: a value that cannot be converted stores nothing.
  History times = s.OutdoorConcTime;
  HistoryPollutant entered = s.OutdoorConcInput;
  HistoryPollutant converted = s.OutdoorConc;
  std::array<PollutantRecord, kMaxPollutants> pollutants = s.Pollutants;

  int t = 1;
  int last_read = 0;  // the last point whose row was stored
  for (; t <= kMaxHistory; ++t) {
    const int row = t + 1;
    if (IsBlank(grid.TextMatrix(row, 0))) break;
    times[t] = CellSingle(grid, row, 0);
    for (int p = 0; p < n; ++p) {
      entered[t][p] = CellSingle(grid, row, p + 1);
      if (!ConvertEntered("outdoor", units, s.ConcUnits, entered[t][p], converted[t][p], p + 1,
                          pollutants[p], prompt)) {
        return false;
      }
    }
    last_read = t;
    // A time that does not advance past the start ends the history; that point is kept
    // but not counted.
    if (t > 1 && times[t] <= 0) break;
  }

  // Points the user deleted from the end of the list must not come back on the next open.
  for (int k = last_read + 1; k <= kMaxHistory; ++k) {
    times[k] = 0;
    converted[k].fill(0);
    entered[k].fill(0);
  }
  s.OutdoorConcUnits = units;
  s.OutdoorConcTime = times;
  s.OutdoorConc = converted;
  s.Pollutants = pollutants;
  s.OutdoorConcInput = entered;
  s.NumOutdoorConcPoints = static_cast<int16_t>(std::min(t, kMaxHistory + 1) - 1);
  return true;
}

// ---- Initial indoor concentrations ----

void SetupInitialConcentrationGrid(FlexGrid& initialss, UnitOptions& options,
                                   BuildingRecord& building) {
  ScenarioRecord& s = building.Scenario;
  const bool particles = IsParticleMode(s);
  options = UnitOptions{};
  std::string entered_label = InitialLabel(s.InitialConcUnits, particles, true);
  if (s.InitialConcUnits == kNumber || s.InitialConcUnits == kPpm) {
    options.number_or_ppm = true;
  } else if (s.InitialConcUnits == kMicrograms) {
    options.micrograms = true;
  } else if (s.InitialConcUnits == kMilligrams) {
    options.milligrams = true;
  } else if (s.InitialConcUnits.empty()) {
    // Option1 stands for ppm with gases: "number" there would convert through a particle
    // mass of 0 and store zeros.
    options.number_or_ppm = true;
    s.InitialConcUnits = particles ? kNumber : kPpm;
  }
  const std::string converted_label = InitialLabel(s.ConcUnits, particles, false);

  const int n = PollutantCount(s);
  const int rooms = RoomCount(building);
  initialss.SetRows(n + 3);
  initialss.SetCols(2 * rooms + 1);
  initialss.SetFixedRows(2);
  initialss.SetFixedCols(1);
  initialss.SetTextMatrix(0, 0, "Pollutant ");
  initialss.SetRowHeight(1, 490);
  initialss.SetWordWrap(true);
  for (int r = 1; r <= rooms; ++r) {
    const std::string& name = building.RoomList[r].Name;
    initialss.SetTextMatrix(0, r, entered_label);
    initialss.SetTextMatrix(1, r, name);
    initialss.SetTextMatrix(0, r + rooms, converted_label);
    initialss.SetTextMatrix(1, r + rooms, name);
  }
}

void LoadInitialConcentrationGrid(FlexGrid& initialss, const BuildingRecord& building) {
  const ScenarioRecord& s = building.Scenario;
  const int n = PollutantCount(s);
  const int rooms = RoomCount(building);
  initialss.SetRows(n + 2);
  for (int p = 0; p < n; ++p) {
    const int row = p + 2;
    initialss.SetTextMatrix(row, 0, s.Pollutants[p].Name);
    for (int r = 1; r <= rooms; ++r) {
      PutMasked(initialss, row, r, s.InitialConcInput[r][p], "#.##E-##");
      PutMasked(initialss, row, r + rooms, s.InitialConc[r][p], "#.##E-##");
    }
    for (int c = rooms + 1; c < initialss.Cols(); ++c)
      initialss.SetCellBackColorAt(row, c, kYellow);
  }
  initialss.SetRowCol(2, 1);
}

bool ReadInitialConcGrid(FlexGrid& grid, BuildingRecord& building, Prompt& prompt) {
  ScenarioRecord& s = building.Scenario;
  const int n = PollutantCount(s);
  const int rooms = RoomCount(building);
  // Read into copies: a value that cannot be converted stores nothing.
  RoomPollutant entered = s.InitialConcInput;
  RoomPollutant converted = s.InitialConc;
  std::array<PollutantRecord, kMaxPollutants> pollutants = s.Pollutants;
  for (int p = 0; p < n; ++p) {
    // A refusal names the pollutant as the row does, which may show a name typed in the
    // pollutant window and not transferred yet; the record keeps its own.
    const std::string stored_name = pollutants[p].Name;
    const std::string shown_name = grid.TextMatrix(p + 2, 0);
    if (!shown_name.empty()) pollutants[p].Name = shown_name;
    for (int r = 1; r <= rooms; ++r) {
      entered[r][p] = CellSingle(grid, p + 2, r);
      if (!ConvertEntered("initial", s.InitialConcUnits, s.ConcUnits, entered[r][p],
                          converted[r][p], p + 1, pollutants[p], prompt)) {
        return false;
      }
    }
    pollutants[p].Name = stored_name;
  }
  s.InitialConcInput = entered;
  s.InitialConc = converted;
  s.Pollutants = pollutants;
  return true;
}

// ---- Pollutant definitions ----

void SetupPollutantGrid(FlexGrid& definepollutantss, const ScenarioRecord& scenario) {
  const auto& columns = PollutantColumns(IsParticleMode(scenario));
  definepollutantss.SetRows(PollutantCount(scenario) + 1);
  definepollutantss.SetCols(static_cast<int>(columns.size()) + 2);
  definepollutantss.SetTextMatrix(0, 0, "Pollutant#");
  definepollutantss.SetTextMatrix(0, 1, "Name");
  for (size_t i = 0; i < columns.size(); ++i) {
    definepollutantss.SetTextMatrix(0, static_cast<int>(i) + 2, columns[i].header);
  }
  definepollutantss.SetRowCol(1, 1);
}

void LoadPollutantGrid(FlexGrid& definepollutantss, ProgramState& state) {
  const ScenarioRecord& s = state.Building.Scenario;
  const bool particles = IsParticleMode(s);
  const auto& columns = PollutantColumns(particles);
  const int n = PollutantCount(s);
  for (int p = 0; p < n; ++p) {
    const PollutantRecord& pol = s.Pollutants[p];
    const int row = p + 1;
    definepollutantss.SetTextMatrix(row, 0, SignSingle(static_cast<float>(p + 1)));
    definepollutantss.SetTextMatrix(row, 1, pol.Name);
    for (size_t i = 0; i < columns.size(); ++i) {
      const int col = static_cast<int>(i) + 2;
      const float v = pol.*columns[i].field;
      if (columns[i].mask != nullptr) {
        PutMasked(definepollutantss, row, col, v, columns[i].mask);
      } else {
        SetSingleCell(definepollutantss, row, col, v);
      }
    }
    // A size bin is named by its diameter in µm.
    if (particles) state.ParticleDiameters[p] = static_cast<float>(LeadingNumber(pol.Name));
  }
  definepollutantss.SetRowCol(1, 1);
}

void ReadPollutantGrid(FlexGrid& grid, ScenarioRecord& scenario) {
  const auto& columns = PollutantColumns(IsParticleMode(scenario));
  const int n = PollutantCount(scenario);
  for (int p = 0; p < n; ++p) {
    PollutantRecord& pol = scenario.Pollutants[p];
    const int row = p + 1;
    pol.Name = grid.TextMatrix(row, 1);
    for (size_t i = 0; i < columns.size(); ++i) {
      pol.*columns[i].field = CellSingle(grid, row, static_cast<int>(i) + 2);
    }
  }
}

void ReadParticleDiameters(const FlexGrid& grid,
                           std::array<PollutantRecord, kMaxPollutants>& pollutants) {
  const int last = std::min(grid.Rows() - 1, kMaxPollutants);
  for (int r = 1; r <= last; ++r) pollutants[r - 1].Diameter = CellSingle(grid, r, 2);
}

}  // namespace quarn
