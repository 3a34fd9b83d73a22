#include "model/flow_setup.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>

#include "model/records.h"
#include "model/room_lookup.h"
#include "model/unit_conversion.h"

namespace quarn {
namespace {

int16_t SourceUnitsCodeFor(const std::string& conc_units, int16_t previous) {
  if (conc_units == kMilligrams) return 0;
  if (conc_units == kMicrograms) return 1;
  if (conc_units == kNumber || conc_units == kPpm) return 2;
  return previous;
}

// Rows 1..last of values entered in `units`, into the scenario's units, pollutant by pollutant;
// false once a value cannot be converted.
template <typename Table>
bool ConvertEnteredRows(std::string_view what, const std::string& units, int last, int pollutants,
                        const Table& entered, Table& converted, ScenarioRecord& s, Prompt& prompt) {
  if (units == s.ConcUnits) return true;
  for (int p = 0; p < pollutants; ++p)
    for (int row = 1; row <= last; ++row)
      if (!ConvertEntered(what, units, s.ConcUnits, entered[row][p], converted[row][p], p + 1,
                          s.Pollutants[p], prompt))
        return false;
  return true;
}

}  // namespace

void StartWorkingFlows(const ScenarioRecord& s, WorkingFlows& flows) {
  flows.natural_from_outdoors = s.NaturalFromOutdoors;
  flows.natural_to_outdoors = s.NaturalToOutdoors;
  flows.base_hvac_supply = s.HVACSupply;
  flows.base_hvac_return = s.HVACReturn;
  flows.working_hvac_exhaust = s.HVACExhaust;
  flows.working_hvac_outdoor_air = s.HVACOutdoorAir;
  flows.flow_matrix = s.HVACRoomFlows;
  flows.hvac_exhaust_total = s.HVACOutdoorAirTotal;
  flows.hvac_intake_total = s.HVACMakeUpTotal;
  flows.total_to_outdoors = {};
  flows.total_from_outdoors = {};
  flows.total_between_rooms = {};
  flows.filter_penetration = s.FilterPenetration;
  flows.hvac_in_use = false;
}

bool ClearResultArrays(RoomPollutant& mass_array, const BuildingRecord& building) {
  const int rooms = RoomCount(building);
  for (int r = 1; r <= rooms; ++r) {
    mass_array[r].fill(0);
    if (building.Scenario.NaturalToOutdoors[r] > 0) return true;
  }
  return false;
}

void SetOutdoorFlowsFromACH(const BuildingRecord& building, int room_count, float rate,
                            WorkingFlows& flows) {
  for (int r = 1; r <= RoomBound(room_count); ++r) {
    const float flow = building.RoomList[r].Volume * rate;
    flows.natural_to_outdoors[r] = flow;
    flows.natural_from_outdoors[r] = flow;
  }
}

void CopyScenarioFlows(const BuildingRecord& building, int room_count, WorkingFlows& flows) {
  const ScenarioRecord& s = building.Scenario;
  const int rooms = RoomBound(room_count);
  for (int r = 1; r <= rooms; ++r) {
    flows.base_hvac_return[r] = s.ManagedReturn[r];
    flows.base_hvac_supply[r] = s.ManagedSupply[r];
    flows.working_hvac_exhaust[r] = s.ManagedToOutdoors[r];
    flows.working_hvac_outdoor_air[r] = s.ManagedFromOutdoors[r];
    flows.total_from_outdoors[r] = s.ManagedFromOutdoors[r];
    flows.total_to_outdoors[r] = s.ManagedToOutdoors[r];
    for (int j = 1; j <= rooms; ++j) {
      if (!RoomsConnected(building, r, j)) continue;
      flows.flow_matrix[j][r] = s.ManagedRoomFlows[j][r];
      flows.flow_matrix[r][j] = s.ManagedRoomFlows[r][j];
      flows.total_between_rooms[j][r] = flows.flow_matrix[j][r];
    }
  }
}

void SumRoomFlows(const BuildingRecord& building, WorkingFlows& flows) {
  const ScenarioRecord& s = building.Scenario;
  const int rooms = RoomCount(building);
  for (int r = 1; r <= rooms; ++r) {
    flows.total_from_outdoors[r] =
        flows.natural_from_outdoors[r] + flows.working_hvac_outdoor_air[r];
    flows.total_to_outdoors[r] = flows.natural_to_outdoors[r] + flows.working_hvac_exhaust[r];
    for (int j = 1; j <= rooms; ++j) {
      if (!RoomsConnected(building, r, j)) continue;
      flows.total_between_rooms[r][j] = s.NaturalRoomFlows[r][j] + flows.flow_matrix[r][j];
    }
  }
}

void SetInitialConcentrations(RoomPollutant& mass_array, RoomPollutant& new_conc,
                              RoomPollutant& conc, BuildingRecord& building, int room_count) {
  ScenarioRecord& s = building.Scenario;
  const int rooms = RoomBound(room_count);
  const int pollutants = PollutantCount(s);
  for (int r = 0; r <= rooms; ++r) {
    for (int p = 0; p < pollutants; ++p) {
      const float c = s.InitialConc[r][p];
      s.RoomConc[r][p] = c;
      s.PreviousRoomConc[r][p] = c;
      new_conc[r][p] = c;
      conc[r][p] = c;
      mass_array[r][p] = c * building.RoomList[r].Volume;
    }
  }
}

bool SetupUnitsForCalculation(BuildingRecord& building, Prompt& prompt) {
  ScenarioRecord& s = building.Scenario;
  const int rooms = RoomCount(building);
  const int pollutants = PollutantCount(s);
  if (!ConvertEnteredRows("outdoor", s.OutdoorConcUnits, kMaxHistory, pollutants,
                          s.OutdoorConcInput, s.OutdoorConc, s, prompt) ||
      !ConvertEnteredRows("initial", s.InitialConcUnits, rooms, pollutants, s.InitialConcInput,
                          s.InitialConc, s, prompt)) {
    return false;
  }
  for (int r = 0; r <= rooms; ++r) {
    const int sources = SourceSlotCount(s, r);
    for (int k = 1; k <= sources; ++k) {
      SourceRecord& source = s.Sources[r][k];
      source.SourceUnitsCode = SourceUnitsCodeFor(s.ConcUnits, source.SourceUnitsCode);
      if (source.Model == 8 || source.Model == 9) {
        // Moles of the spilled liquid; a weight of 0 gives none rather than a division by 0.
        const float mw = s.Pollutants[0].MolWt;
        source.ParamPerMole[0] = mw > 0 ? source.Params[7][0] / mw : 0.0F;
      }
      UnitConversionFactor(source);
    }
  }
  return true;
}

}  // namespace quarn
