#include "model/input_checks.h"

#include <cmath>
#include <string>
#include <vector>

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

// What enters and leaves each room of the set, and the building as a whole; false when a
// flow is too large to add up or undefined, which would pass every comparison unnoticed.
struct FlowSums {
  PerRoom<double> in{};
  PerRoom<double> out{};
  float total_in = 0;
  float total_out = 0;
};

bool SumFlows(const BuildingRecord& building, const FlowSet& set, FlowSums& sums) {
  const int rooms = RoomCount(building);
  for (int r = set.first_room; r <= rooms; ++r) {
    double& in = sums.in[r];
    double& out = sums.out[r];
    if (r == 0) {
      sums.total_in += set.system_in;
      sums.total_out += set.system_out;
    } else {
      in = set.from_outdoors[r];
      out = set.to_outdoors[r];
      if (set.supply != nullptr) in += (*set.supply)[r];
      if (set.ret != nullptr) out += (*set.ret)[r];
      sums.total_in += set.from_outdoors[r];
      sums.total_out += set.to_outdoors[r];
    }
    for (int j = 1; j <= rooms; ++j) {
      if (!RoomsConnected(building, r, j)) continue;
      in += set.table[j][r];
      out += set.table[r][j];
    }
    if (!std::isfinite(in) || !std::isfinite(out)) return false;
  }
  return std::isfinite(sums.total_in) && std::isfinite(sums.total_out);
}

bool RoomBalances(double in, double out) {
  return !(in > 0 && std::fabs(in - out) / in > kTolerance);
}

std::string Flow(double value) {
  return FormatSingle(static_cast<float>(value)) + " m\xB3/h";
}

std::string RoomName(const BuildingRecord& building, int room) {
  std::string text = FormatSingle(static_cast<float>(room));
  const std::string& name = building.RoomList[room].Name;
  if (!name.empty()) text += " (" + name + ")";
  return text;
}

Balance CheckSet(const BuildingRecord& building, const FlowSet& set, Prompt& prompt) {
  FlowSums sums;
  if (!SumFlows(building, set, sums)) return Balance::BadData;
  if (sums.total_in > 0 &&
      std::fabs(sums.total_in - sums.total_out) / sums.total_in > static_cast<float>(kTolerance)) {
    prompt.Message(std::string(set.total_message) + "  " + Flow(sums.total_in) +
                       " come in from outdoors and " + Flow(sums.total_out) +
                       " go out.  Please correct.",
                   kBalanceTitle, MessageIcon::Critical);
    return Balance::Unbalanced;
  }
  Balance result = Balance::Ok;
  for (int r = set.first_room; r <= RoomCount(building); ++r) {
    if (RoomBalances(sums.in[r], sums.out[r])) continue;
    prompt.Message(set.room_message + RoomName(building, r) + " do not balance.  " +
                       Flow(sums.in[r]) + " enter it and " + Flow(sums.out[r]) +
                       " leave it.  Please correct.",
                   kBalanceTitle, MessageIcon::Critical);
    result = Balance::Unbalanced;
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
    if (s.HVACSupply[r] > 0) flows.hvac_in_use = true;

  const FlowSet natural{1,
                        flows.natural_from_outdoors,
                        flows.natural_to_outdoors,
                        nullptr,
                        nullptr,
                        s.NaturalRoomFlows,
                        0,
                        0,
                        "Total Natural outdoor flows do not balance.",
                        "Natural Flows for room "};
  const FlowSet hvac{0,
                     s.HVACOutdoorAir,
                     s.HVACExhaust,
                     &s.HVACSupply,
                     &s.HVACReturn,
                     s.HVACRoomFlows,
                     s.HVACMakeUpTotal,
                     s.HVACOutdoorAirTotal,
                     "HVAC driven total outdoor flows do not balance.",
                     "HVAC driven flows for room "};
  const FlowSet managed{0,
                        s.ManagedFromOutdoors,
                        s.ManagedToOutdoors,
                        &s.ManagedSupply,
                        &s.ManagedReturn,
                        s.ManagedRoomFlows,
                        ManagedIntakeTotal(s),
                        ManagedExhaustTotal(s),
                        "Managed  total outdoor flows do not balance.",
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

std::vector<RoomImbalance> NaturalFlowImbalances(const BuildingRecord& building,
                                                 const PerRoom<float>& from_outdoors,
                                                 const PerRoom<float>& to_outdoors,
                                                 const RoomMatrix& room_flows) {
  const FlowSet natural{1, from_outdoors, to_outdoors, nullptr, nullptr, room_flows};
  FlowSums sums;
  std::vector<RoomImbalance> out;
  if (!SumFlows(building, natural, sums)) return out;
  for (int r = 1; r <= RoomCount(building); ++r) {
    if (!RoomBalances(sums.in[r], sums.out[r])) out.push_back({r, sums.in[r], sums.out[r]});
  }
  return out;
}

std::string NaturalImbalanceQuestion(const BuildingRecord& building,
                                     const std::vector<RoomImbalance>& rooms) {
  if (rooms.empty()) return "";
  std::string text = "Warning.  The natural flows do not balance";
  for (const RoomImbalance& r : rooms) {
    text += (&r == &rooms.front() ? ": room " : "; room ") + RoomName(building, r.room) + ", " +
            Flow(r.entering) + " enter and " + Flow(r.leaving) + " leave";
  }
  return text + ".  The run will refuse them.  Do you wish to transfer them as they are?";
}

}  // namespace quarn
