// The sample files in samples/ are written by the program's own writers from the records
// built here. Run with QUARN_WRITE_SAMPLES=1 to write them anew; otherwise the test checks
// that the checked-in files are exactly what the writers give and that they read back.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "../common/scripted_prompt.h"
#include "files/building_file.h"
#include "files/scenario_file.h"
#include "model/resets.h"
#include "scenario_test_support.h"

namespace quarn {
namespace {

using namespace scenario_test;  // NOLINT
using testing::ScriptedPrompt;

std::string SamplePath(const std::string& name) {
  return std::string(QUARN_SOURCE_DIR) + "/samples/" + name;
}

void AddRoom(BuildingRecord& b, int r, const char* name, float l, float w, float h) {
  b.RoomList[r] = {name, static_cast<int16_t>(r), l, w, h, l * w * h, 0};
}

void Connect(BuildingRecord& b, int i, int j) {
  b.Neighbors[i][j] = b.Neighbors[j][i] = kTrue;
  ++b.RoomList[i].NumNeighbors;
  ++b.RoomList[j].NumNeighbors;
}

// A three-room house: kitchen, living room and bedroom in a row.
void BuildHouse(ProgramState& state) {
  NewBuilding(state);
  BuildingRecord& b = state.Building;
  b.ID = "Sample house";
  b.Comments = "Kitchen, living room and bedroom in a row";
  b.NumRooms = 3;
  b.MasterFile = "house";
  AddRoom(b, 1, "Kitchen", 4, 3, 2.5f);
  AddRoom(b, 2, "Living room", 5, 4, 2.5f);
  AddRoom(b, 3, "Bedroom", 4, 3.5f, 2.5f);
  Connect(b, 1, 2);
  Connect(b, 2, 3);
}

// Half an air change per hour through every room, and 20 m³/h each way through the doors.
void NaturalFlows(BuildingRecord& b) {
  ScenarioRecord& sc = b.Scenario;
  for (int r = 1; r <= 3; ++r) {
    sc.NaturalFromOutdoors[r] = sc.NaturalToOutdoors[r] = 0.5f * b.RoomList[r].Volume;
  }
  for (auto [i, j] : {std::pair{1, 2}, {2, 1}, {2, 3}, {3, 2}}) sc.NaturalRoomFlows[i][j] = 20;
}

void Common(ScenarioRecord& sc) {
  sc.ConstantACH = "Y";
  sc.ConstantHVAC = "Y";
  sc.ConstantOutdoorConc = "Y";
  sc.GeneralFlag = "N";
  sc.HVACHistoryCycle = "N";
  sc.ManagedFlowFlag = "N";
  sc.Pressure = 760;
  sc.Temperature = 20;
  sc.YearsSimulated = 24.0f / 24 / 365;
  sc.StepSize = 0.1f;
  sc.OverallACH = 0.5f;
  sc.HVACType = 1;  // residential, the editor's first type
}

// A gas range in the kitchen emitting NO2 at breakfast and dinner, a carpet in the living
// room that takes it up, and two occupants moving through the house.
void BuildGasScenario(ProgramState& state) {
  ScenarioRecord& sc = state.Building.Scenario;
  Common(sc);
  sc.Name = "Gas range";
  sc.Comments = "NO2 from cooking";
  sc.ConcUnits = sc.OutdoorConcUnits = sc.InitialConcUnits = "micrograms";
  sc.PollutantClass = "Other";
  sc.NumPollutants = 1;
  PollutantRecord& no2 = sc.Pollutants[0];
  no2.Name = "NO2";
  no2.MolWt = 46.01f;
  no2.Diffusivity = 0.154f;
  no2.IrritantConc = 0.47f;
  no2.IrritantFactor = 1;
  sc.NumOutdoorConcPoints = 1;  // clean outdoor air: one point at time 0
  NaturalFlows(state.Building);
  SourceRecord& range = sc.Sources[1][1];
  sc.NumSources[1] = 1;
  range.Name = "Gas range";
  range.Model = 1;
  range.EmissionUnits = 0;
  range.Size = 1;
  range.CycleRepeats = "D";
  range.NumCycles = 2;
  range.TimeOn[1] = 7;
  range.TimeOff[1] = 8;
  range.TimeOn[2] = 18;
  range.TimeOff[2] = 19;
  range.Params[0][0] = 30;  // mg/h
  SinkRecord& carpet = sc.Sinks[2][1];
  sc.NumSinks[2] = 1;
  carpet.Name = "Carpet";
  carpet.Comments = "wool";
  carpet.Area = 20;
  carpet.ka[0] = 0.5f;
  carpet.kd[0] = 0.05f;
  sc.NumOccupants = 2;
  struct Stay {
    float enter, leave;
    int room;
  };
  auto person = [&](int o, const char* name, float weight, float breathing,
                    std::initializer_list<Stay> day) {
    OccupantRecord& occ = sc.Occupants[o];
    occ.Name = name;
    occ.Number = static_cast<int16_t>(o);
    occ.Weight = weight;
    occ.BreathingRate = breathing;
    occ.CycleLength = 24;
    occ.EndTime = 24;
    occ.Population = 1;
    int e = 1;
    for (const Stay& s : day) {
      occ.TimeEnter[e] = s.enter;
      occ.TimeLeave[e] = s.leave;
      occ.LocationRoom[e] = static_cast<float>(s.room);
      occ.Location[e] = s.room == 0 ? "Outdoors" : state.Building.RoomList[s.room].Name;
      ++e;
    }
  };
  person(1, "Adult", 74, 0.833f,
         {{0, 7, 3}, {7, 8, 1}, {8, 17, 0}, {17, 19, 1}, {19, 22, 2}, {22, 24, 3}});
  person(2, "Child", 30, 0.5f, {{0, 7, 3}, {7, 18, 2}, {18, 19, 1}, {19, 20, 2}, {20, 24, 3}});
}

// Three particle size bins from frying in the kitchen, with outdoor air that carries
// particles in, and a room air cleaner in the living room (which the plain layout does not
// hold, so the file ends with the extra trailer).
void BuildParticleScenario(ProgramState& state) {
  ScenarioRecord& sc = state.Building.Scenario;
  Common(sc);
  sc.Name = "Frying";
  sc.Comments = "Three size bins";
  sc.ConcUnits = sc.OutdoorConcUnits = sc.InitialConcUnits = "number";
  sc.PollutantClass = "PM";
  sc.NumPollutants = 3;
  const float diameters[] = {0.3f, 2.5f, 10};
  const char* names[] = {"0.3", "2.5", "10"};
  const float deposition[] = {0.0002f, 0.0005f, 0.005f};
  const float penetration[] = {0.9f, 0.8f, 0.5f};
  const float outdoor[] = {20, 5, 1};
  for (int p = 0; p < 3; ++p) {
    PollutantRecord& bin = sc.Pollutants[p];
    bin.Name = names[p];
    bin.Diameter = diameters[p];
    bin.Density = 1;
    bin.DepositionVelocity = deposition[p];
    sc.BuildingPenetration[p] = penetration[p];
    state.Building.Scenario.OutdoorConcInput[1][p] = outdoor[p];
    state.Building.Scenario.OutdoorConcInput[2][p] = 2 * outdoor[p];
  }
  sc.ConstantOutdoorConc = "N";
  sc.OutdoorConcTime[1] = 0;
  sc.OutdoorConcTime[2] = 12;
  sc.NumOutdoorConcPoints = 2;
  NaturalFlows(state.Building);
  SourceRecord& pan = sc.Sources[1][1];
  sc.NumSources[1] = 1;
  pan.Name = "Frying pan";
  pan.Model = 1;
  pan.EmissionUnits = 2;
  pan.Size = 1;
  pan.CycleRepeats = "D";
  pan.NumCycles = 1;
  pan.TimeOn[1] = 18;
  pan.TimeOff[1] = 18.5f;
  const float rates[] = {1e11f, 1e10f, 1e8f};  // particles per hour
  for (int p = 0; p < 3; ++p) pan.Params[0][p] = rates[p];
  sc.AirCleanerEff[2] = 80;
  sc.AirCleanerPenetration[2] = 0.2f;
  sc.AirCleanerFlow[2] = 2;
}

void CheckOrWrite(const std::string& name, const std::string& bytes) {
  const std::string path = SamplePath(name);
  if (std::getenv("QUARN_WRITE_SAMPLES") != nullptr) {
    std::string error;
    ASSERT_TRUE(WriteFileAtomic(path, bytes, &error)) << error;
  }
  EXPECT_TRUE(ReadBytes(path) == bytes) << name << " differs from what the writer gives";
}

TEST(Samples, AreWhatTheWritersGiveAndReadBack) {
  auto state = std::make_unique<ProgramState>();
  BuildHouse(*state);
  CheckOrWrite("house.BLD", BuildingFileBytes(state->Building));
  BuildGasScenario(*state);
  const std::string gas_bytes = ScenarioFileBytes(state->Building);
  EXPECT_EQ(gas_bytes.find(kTrailerStart), std::string::npos);  // the plain layout
  CheckOrWrite("Scenario/house.SEN", gas_bytes);

  auto particles = std::make_unique<ProgramState>();
  BuildHouse(*particles);
  BuildParticleScenario(*particles);
  const std::string particle_bytes = ScenarioFileBytes(particles->Building);
  EXPECT_NE(particle_bytes.find(kTrailerStart), std::string::npos);
  CheckOrWrite("Scenario/particles.SEN", particle_bytes);

  // Read back: the building, then each scenario into it.
  Model m;
  ScriptedPrompt prompt;
  std::string bld = SamplePath("house.BLD");
  ASSERT_TRUE(ReadBuildingFile(m.building, bld, prompt));
  EXPECT_EQ(m.building.NumRooms, 3);
  EXPECT_EQ(m.building.RoomList[2].Name, "Living room");
  EXPECT_EQ(m.building.Neighbors[3][2], kTrue);
  ASSERT_EQ(CommitScenarioRead(
                NewReadScenario(m.building, SamplePath("Scenario/house.SEN"), prompt), m.building),
            ScenarioReadResult::Read);
  const ScenarioRecord& gas = m.building.Scenario;
  EXPECT_EQ(gas.NumOccupants, 2);
  EXPECT_EQ(gas.Occupants[2].Location[2], "Living room");
  EXPECT_EQ(gas.Sources[1][1].Name, "Gas range");
  EXPECT_EQ(gas.Sinks[2][1].Name, "Carpet");
  ASSERT_EQ(
      CommitScenarioRead(NewReadScenario(m.building, SamplePath("Scenario/particles.SEN"), prompt),
                         m.building),
      ScenarioReadResult::Read);
  const ScenarioRecord& pm = m.building.Scenario;
  EXPECT_TRUE(IsParticleMode(pm));
  EXPECT_EQ(pm.Pollutants[1].Diameter, 2.5f);
  EXPECT_EQ(pm.HVACType, 1);
  EXPECT_EQ(pm.AirCleanerEff[2], 80);
  EXPECT_EQ(pm.NumOccupants, 0);
  EXPECT_EQ(prompt.Count("message"), 0u);
}

}  // namespace
}  // namespace quarn
