#include "model/input_checks.h"

#include <cmath>
#include <string>

#include "model/room_lookup.h"
#include "text/number_text.h"

namespace quarn {
namespace {

// The program's default title: the window layer shows its own title for an empty one.
const std::string kDefaultTitle;
const std::string kBalanceTitle = "Flows do not balance.";
constexpr double kTolerance = 0.01;

// One flow set as the balance sees it. Rooms first..NumRooms have an inflow and an outflow
// made of their own outdoor flows, their supply or return (HVAC and managed sets) and the
// room-to-room table; room 0 (the system itself) starts from 0 and brings its own totals.
struct FlowSet {
  int first_room = 0;
  const PerRoom<float>& from_outdoors;
  const PerRoom<float>& to_outdoors;
  const PerRoom<float>* supply = nullptr;
  const PerRoom<float>* ret = nullptr;
  const RoomMatrix& table;
  float system_in = 0;
  float system_out = 0;
  const char* total_message = "";
  const char* room_message = "";
};

enum class Balance { Ok, Unbalanced, BadData };

Balance CheckSet(const BuildingRecord& building, const FlowSet& set, Prompt& prompt) {
  const int rooms = RoomCount(building);
  PerRoom<double> in{};
  PerRoom<double> out{};
  float total_in = 0;
  float total_out = 0;
  for (int r = set.first_room; r <= rooms; ++r) {
    if (r == 0) {
      total_in += set.system_in;
      total_out += set.system_out;
    } else {
      in[r] = set.from_outdoors[r];
      out[r] = set.to_outdoors[r];
      if (set.supply != nullptr) in[r] += (*set.supply)[r];
      if (set.ret != nullptr) out[r] += (*set.ret)[r];
      total_in += set.from_outdoors[r];
      total_out += set.to_outdoors[r];
    }
    for (int j = 1; j <= rooms; ++j) {
      if (!RoomsConnected(building, r, j)) continue;
      in[r] += set.table[j][r];
      out[r] += set.table[r][j];
    }
    // An overflowing or undefined flow would pass every comparison below unnoticed.
    if (!std::isfinite(in[r]) || !std::isfinite(out[r])) return Balance::BadData;
  }
  if (!std::isfinite(total_in) || !std::isfinite(total_out)) return Balance::BadData;

  if (total_in > 0 && std::fabs(total_in - total_out) / total_in > static_cast<float>(kTolerance)) {
    prompt.Message(set.total_message, kBalanceTitle, MessageIcon::Critical);
    return Balance::Unbalanced;
  }
  Balance result = Balance::Ok;
  for (int r = set.first_room; r <= rooms; ++r) {
    if (in[r] > 0 && std::fabs(in[r] - out[r]) / in[r] > kTolerance) {
      prompt.Message(set.room_message + FormatSingle(static_cast<float>(r)) + " do not balance.",
                     kBalanceTitle, MessageIcon::Critical);
      result = Balance::Unbalanced;
    }
  }
  return result;
}

}  // namespace

bool CheckRoomVolumes(const BuildingRecord& building, Prompt& prompt) {
  const int rooms = RoomCount(building);
  for (int r = 1; r <= rooms; ++r) {
    // "<= 0" is false for NaN, so test the positive case instead.
    if (!(building.RoomList[r].Volume > 0)) {
      prompt.Message("Error. Volume of room " + FormatDouble(r) +
                         " is <= 0. Please correct before continuing.",
                     kDefaultTitle, MessageIcon::None);
      return false;
    }
  }
  return true;
}

bool CheckPollutants(const ScenarioRecord& scenario, Prompt& prompt) {
  if (scenario.NumPollutants < 1) {
    prompt.Message("Error.  No pollutants specified. ", kDefaultTitle, MessageIcon::None);
    return false;
  }
  // Particles are converted by size and density, never by molecular weight.
  if (IsParticleMode(scenario)) return true;
  const int pollutants = PollutantCount(scenario);
  for (int p = 0; p < pollutants; ++p) {
    const PollutantRecord& pollutant = scenario.Pollutants[p];
    if (!(pollutant.MolWt > 0)) {
      const Answer answer = prompt.AskYesNo("Error in input.  Molecular weight of pollutant " +
                                                pollutant.Name + " is 0.  Is this OK? ",
                                            kDefaultTitle, MessageIcon::None);
      if (answer != Answer::Yes) return false;
    }
  }
  return true;
}

bool CheckFlowBalance(const BuildingRecord& building, WorkingFlows& flows, Prompt& prompt) {
  const ScenarioRecord& s = building.Scenario;
  const int rooms = RoomCount(building);
  for (int r = 0; r <= rooms; ++r)
    if (s.HVACSupply[r] > 0) flows.HVACInUse = kTrue;

  const FlowSet natural{1,
                        flows.NaturalFromOutdoors,
                        flows.NaturalToOutdoors,
                        nullptr,
                        nullptr,
                        s.NaturalRoomFlows,
                        0,
                        0,
                        "Total Natural outdoor flows do not balance.  Please correct.",
                        "Natural Flows for room "};
  const FlowSet hvac{0,
                     s.HVACOutdoorAir,
                     s.HVACExhaust,
                     &s.HVACSupply,
                     &s.HVACReturn,
                     s.HVACRoomFlows,
                     s.HVACMakeUpTotal,
                     s.HVACOutdoorAirTotal,
                     "HVAC driven total outdoor flows do not balance.  Please correct.",
                     "HVAC driven flows for room "};
  const FlowSet managed{0,
                        s.ManagedFromOutdoors,
                        s.ManagedToOutdoors,
                        &s.ManagedSupply,
                        &s.ManagedReturn,
                        s.ManagedRoomFlows,
                        s.ManagedValue1,
                        s.ManagedValue2,
                        "Managed  total outdoor flows do not balance.  Please correct.",
                        "Managed flows for room "};

  const bool with_managed = s.ManagedFlowFlag == "Y";
  for (const FlowSet* set : {&natural, &hvac, &managed}) {
    if (set == &managed && !with_managed) break;
    switch (CheckSet(building, *set, prompt)) {
      case Balance::Ok:
        break;
      case Balance::Unbalanced:
        return false;
      case Balance::BadData:
        // A flow too large to add up cannot be run either: refuse the run instead of
        // passing it.
        prompt.Message("Error check data input", "Error", MessageIcon::None);
        return false;
    }
  }
  return true;
}

}  // namespace quarn
