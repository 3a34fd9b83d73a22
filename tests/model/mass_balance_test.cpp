#include "model/mass_balance.h"
#include "model/room_stepper.h"
#include "model/step_system.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quarn {
namespace {

TEST(StepBookkeepingTest, OutdoorHistoryIsAStepFunction) {
  ScenarioRecord s;
  s.NumPollutants = 1;
  s.NumOutdoorConcPoints = 3;
  s.OutdoorConcTime = {0, 0, 5, 10};
  s.OutdoorConc[1][0] = 1;
  s.OutdoorConc[2][0] = 2;
  s.OutdoorConc[3][0] = 3;
  s.ConstantOutdoorConc = "N";
  PerPollutant<float> c{};
  const std::pair<float, float> table[] = {{0, 1}, {4.9F, 1}, {5, 2}, {9.9F, 2}, {10, 3}, {99, 3}};
  for (auto [t, want] : table) {
    StepBookkeeping(t, s, c);
    EXPECT_EQ(c[0], want) << t;
  }
  // A constant outdoor concentration is history point 1 throughout.
  s.ConstantOutdoorConc = "Y";
  StepBookkeeping(99, s, c);
  EXPECT_EQ(c[0], 1);
}

TEST(SinkExchangeTest, UptakeAndReleaseByHand) {
  SinkRecord sink;
  sink.Area = 10;
  sink.ka[0] = 0.5F;
  sink.kd[0] = 0.1F;
  float mass = 2;
  // adsorption 0.5 × 4 = 2, desorption 0.1 × 2 = 0.2: net 1.8 per m² and hour.
  EXPECT_FLOAT_EQ(SinkExchange(sink, mass, 4, 0, 0.5F), 18);
  EXPECT_FLOAT_EQ(mass, 2.9F);
  // A negative concentration adsorbs nothing, and the loading never goes below 0.
  EXPECT_FLOAT_EQ(SinkExchange(sink, mass, -1, 0, 100), -2.9F);
  EXPECT_EQ(mass, 0);
}

TEST(RoomFlowTermsTest, HistoryFractionScalesTheHVACFlows) {
  BuildingRecord b;
  b.NumRooms = 2;
  b.Neighbors[1][2] = b.Neighbors[2][1] = kTrue;
  ScenarioRecord& s = b.Scenario;
  s.HVACSupply[1] = 100;
  s.HVACReturn[1] = 80;
  s.HVACExhaust[2] = 20;
  s.HVACOutdoorAir[2] = 30;
  s.HVACRoomFlows[1][2] = 40;
  s.HVACOutdoorAirTotal = 10;
  s.HVACMakeUpTotal = 12;
  WorkingFlows f;
  PerPollutant<float> supply{};
  supply.fill(3);
  RoomFlowTerms(b, 2, 0.5F, f, supply);
  EXPECT_EQ(f.base_hvac_supply[1], 50);
  EXPECT_EQ(f.base_hvac_return[1], 40);
  EXPECT_EQ(f.working_hvac_exhaust[2], 10);
  EXPECT_EQ(f.working_hvac_outdoor_air[2], 15);
  EXPECT_EQ(f.flow_matrix[1][2], 20);
  EXPECT_EQ(f.hvac_exhaust_total, 5);
  EXPECT_EQ(f.hvac_intake_total, 6);
  EXPECT_EQ(supply[0], 3);
  RoomFlowTerms(b, 2, 0, f, supply);
  EXPECT_EQ(supply[0], 0);  // a system switched off supplies nothing
  EXPECT_EQ(s.HVACSupply[1], 100);

  // Only the outdoor air follows the history: the exhaust no longer made up by outdoor air
  // is supplied from the return.
  s.HVACHistoryOutdoorOnly = kTrue;
  s.HVACSupply[2] = 60;
  RoomFlowTerms(b, 2, 0.5F, f, supply);
  EXPECT_EQ(f.base_hvac_supply[2], 60 - 20 + 10);
  EXPECT_EQ(f.working_hvac_outdoor_air[2], 15);
  EXPECT_EQ(f.flow_matrix[1][2], 40);
  EXPECT_EQ(f.hvac_exhaust_total, 5);
}

TEST(RemovalTermsTest, OutdoorTermLossAndInflowByHand) {
  BuildingRecord b;
  b.NumRooms = 2;
  b.RoomList[1].Volume = 50;
  b.RoomList[2].Volume = 25;
  b.Neighbors[1][2] = b.Neighbors[2][1] = kTrue;
  b.Scenario.NumPollutants = 1;
  b.Scenario.BuildingPenetration[0] = 0.5F;
  WorkingFlows f;
  f.total_from_outdoors[1] = 20;
  f.total_to_outdoors[1] = 10;
  f.base_hvac_return[1] = 5;
  f.total_between_rooms[1][2] = 15;
  f.total_between_rooms[2][1] = 15;
  f.base_hvac_supply[2] = 10;
  RemovalTerms terms;
  terms.current_outdoor_conc[0] = 4;
  SetRemovalTerms(b, 2, f, terms);
  EXPECT_FLOAT_EQ(terms.outdoor_input[1][0], 4 * 20 * 0.5F / 50);
  EXPECT_FLOAT_EQ(terms.loss_coefficient[1], (10 + 5 + 15) / 50.0F);
  EXPECT_FLOAT_EQ(terms.loss_coefficient[2], 15 / 25.0F);

  // The rate matrix: room 2 receives 15 m³/h of room 1's air and 10 m³/h of supply air that
  // is a quarter room 1's and three quarters room 2's; room 1 also loses 2 room volumes an
  // hour to its air cleaner (4 × 50 %) and 0.5 to a sink of 5 m² at ka 5 m/h.
  b.Scenario.AirCleanerFlow[1] = 4;
  b.Scenario.AirCleanerEff[1] = 50;
  b.Scenario.NumSinks[1] = 1;
  b.Scenario.Sinks[1][1].Area = 5;
  b.Scenario.Sinks[1][1].ka[0] = 5;
  HVACMixing mixing;
  mixing.weight[1][0] = 0.25F;
  mixing.weight[2][0] = 0.75F;
  // The sink holds its own state: uptake ka from the air, release kd back into it.
  b.Scenario.Sinks[1][1].kd[0] = 0.2F;
  const StateLayout layout = MakeStateLayout(b);
  SquareMatrix a = AssembleRates(b, layout, MakeSystemKey(terms.loss_coefficient, f, mixing), 0, 1);
  EXPECT_NEAR(a(0, 0), -(0.6 + 2 + 0.5), 1e-7);
  EXPECT_NEAR(a(0, 1), 15 / 50.0, 1e-7);
  EXPECT_NEAR(a(1, 0), (15 + 10 * 0.25) / 25.0, 1e-7);
  EXPECT_NEAR(a(1, 1), 10 * 0.75 / 25.0 - 0.6, 1e-7);
  const int sink = layout.SinkIndex(0);
  EXPECT_NEAR(a(0, sink), 0.2 * 5 / 50.0, 1e-7);
  EXPECT_NEAR(a(sink, 0), 5, 1e-7);
  EXPECT_NEAR(a(sink, sink), -0.2, 1e-7);
  b.Neighbors[1][2] = b.Neighbors[2][1] = 0;  // not connected: no air comes through
  a = AssembleRates(b, layout, MakeSystemKey(terms.loss_coefficient, f, mixing), 0, 1);
  EXPECT_DOUBLE_EQ(a(0, 1), 0);
  EXPECT_NEAR(a(1, 0), 10 * 0.25 / 25.0, 1e-7);
}

TEST(ScaledArraySumTest, FlowOverVolumeIsAnAirChangeRate) {
  PerRoom<float> in{};
  in[1] = 25;
  in[2] = 75;
  EXPECT_FLOAT_EQ(ScaledArraySum(in, 2, 200), 0.5F);
  EXPECT_EQ(ScaledArraySum(in, 0, 200), 0);
  EXPECT_EQ(ScaledArraySum(in, 2, 0), 0);
}

TEST(SwitchTimesTest, EveryOnAndOffTimeIncludingRepeatsAndHVACSources) {
  BuildingRecord b;
  b.NumRooms = 1;
  ScenarioRecord& s = b.Scenario;
  s.NumSources[1] = 1;
  s.Sources[1][1].NumCycles = 2;
  s.Sources[1][1].TimeOn = {0, 3, 10};
  s.Sources[1][1].TimeOff = {0, 4, 12};
  s.Sources[1][1].CycleRepeats = "N";
  s.NumSources[0] = 1;  // an HVAC source on 8 to 17 every day
  s.Sources[0][1].NumCycles = 1;
  s.Sources[0][1].TimeOn[1] = 8;
  s.Sources[0][1].TimeOff[1] = 17;
  s.Sources[0][1].CycleRepeats = "D";
  const SwitchTimes times = CollectSwitchOnTimes(b);
  // The daily pattern also begins again at every midnight.
  const std::pair<double, double> table[] = {{0, 3},   {3, 4},   {4, 8},          {8, 10},
                                             {11, 12}, {12, 17}, {17, 24},        {24, 32},
                                             {32, 41}, {41, 48}, {1000, 984 + 17}};
  for (auto [t, want] : table) EXPECT_DOUBLE_EQ(NextSwitchTime(times, t), want) << t;
}

TEST(ResetAccumulatorsTest, StartsEveryRunFromTheEnteredValues) {
  BuildingRecord b;
  b.NumRooms = 2;
  b.RoomList[1].Volume = 10;
  b.RoomList[2].Volume = 30;
  ScenarioRecord& s = b.Scenario;
  s.NumPollutants = 1;
  s.HVACReturn[1] = 7;
  s.SinkMass[0] = 9;
  s.AirCleanerCollected[2] = 4;
  s.NumSources[2] = 1;
  s.Sources[2][1].Model = 9;
  s.Sources[2][1].Params[2][0] = 280;  // mg of a liquid of 28 g/mol: 0.01 mol
  s.Pollutants[0].MolWt = 28;
  WorkingFlows f;
  f.total_between_rooms[1][2] = 5;  // left from an earlier connection
  SourceStates states = MakeSourceStates(s);
  SinkMasses sinks{};
  sinks[1][1][0] = 3;
  ResetAccumulators(b, f, states, sinks);
  EXPECT_EQ(b.TotalRoomVolume, 40);
  EXPECT_EQ(f.base_hvac_return[1], 7);
  EXPECT_TRUE(f.hvac_in_use);
  EXPECT_EQ(f.total_between_rooms[1][2], 0);
  EXPECT_EQ(s.SinkMass[0], 0);
  EXPECT_EQ(s.PeakSinkMass[0], -1e30F);
  EXPECT_EQ(s.AirCleanerCollected[2], 0);
  EXPECT_EQ(s.PeakConc[1], -1e9F);
  EXPECT_EQ(sinks[1][1][0], 0);
  EXPECT_EQ(states[2][1].liquid_mass[0], 280);
  EXPECT_NEAR(states[2][1].moles_left[0], 0.01, 1e-6);
  EXPECT_EQ(LiquidMass(s.Sources[2][1])[0], 0);  // the record keeps what the user has
}

TEST(ResetAccumulatorsTest, EachModelStartsFromItsOwnRows) {
  BuildingRecord b;
  b.NumRooms = 1;
  b.RoomList[1].Volume = 10;
  ScenarioRecord& s = b.Scenario;
  s.NumPollutants = 2;
  s.Pollutants[0].MolWt = 28;
  s.Pollutants[1].MolWt = 30;
  auto add = [&s](int room, int model) -> SourceRecord& {
    SourceRecord& src = s.Sources[room][++s.NumSources[room]];
    src.Model = static_cast<int16_t>(model);
    // Running values an earlier run left in the record: the run neither reads nor clears them.
    src.ModelWork2 = {5, 5};
    src.CurrentTime = 8;
    return src;
  };
  // Layer masses (model 0 in the HVAC system, model 3 in the room) start at rows 3 and 6.
  SourceRecord& layers = add(0, 0);
  layers.Params[3] = {40, 41};
  layers.Params[6] = {60, 61};
  SourceRecord& paint = add(1, 3);
  paint.Params[3] = {30, 31};
  paint.Params[6] = {70, 71};
  // An exact spill holds 280 mg and 600 mg: 0.01 mol and 0.02 mol, 0.03 mol in all.
  SourceRecord& spill = add(1, 10);
  spill.Params[2] = {280, 600};
  // Any other model: the scaled mass in moles of the last pollutant, and its own mass.
  SourceRecord& polyfit = add(1, 6);
  polyfit.ScaledMass = 1500;
  LiquidMass(polyfit) = {560, 900};
  WorkingFlows f;
  SourceStates states = MakeSourceStates(s);
  SinkMasses sinks{};
  ResetAccumulators(b, f, states, sinks);

  const SourceState& l = states[0][1];
  EXPECT_EQ(l.reservoir_mass[0], 40);
  EXPECT_EQ(l.reservoir_mass[1], 41);
  EXPECT_EQ(l.layer2_mass[1], 61);
  const SourceState& p = states[1][1];
  EXPECT_EQ(p.reservoir_mass[0], 30);
  EXPECT_EQ(p.layer2_mass[0], 70);
  const SourceState& x = states[1][2];
  EXPECT_EQ(x.liquid_mass[1], 600);
  EXPECT_FLOAT_EQ(x.initial_moles[0], 0.01F);
  EXPECT_FLOAT_EQ(x.moles_left[1], 0.02F);
  EXPECT_FLOAT_EQ(x.initial_total_moles, 0.03F);
  EXPECT_FLOAT_EQ(x.total_moles_left, 0.03F);
  const SourceState& o = states[1][3];
  EXPECT_FLOAT_EQ(o.initial_total_moles, 0.05F);  // 1500 mg of 30 g/mol
  EXPECT_FLOAT_EQ(o.initial_moles[0], 0.02F);
  EXPECT_FLOAT_EQ(o.moles_left[1], 0.03F);
  EXPECT_EQ(s.Sources[1][1].Params[3][0], 30);  // the records keep what the user entered
  EXPECT_EQ(s.Sources[1][3].ModelWork2[0], 5);
}

TEST(RoomStepperTest, NegativeLossChangesNothing) {
  BuildingRecord b;
  b.NumRooms = 1;
  b.RoomList[1].Volume = 10;
  b.Scenario.NumPollutants = 1;
  WorkingFlows f;
  RemovalTerms terms;
  terms.loss_coefficient[1] = -1;
  RoomArrays a;
  a.conc[1][0] = a.new_conc[1][0] = 3;
  SourceStates states{};
  SinkMasses sinks{};
  HVACState hvac;
  const HVACMixing supply;
  bool due = false;
  RoomStepper stepper(b, {1});
  RoomStepper::Step step;
  step.length = 0.1;
  EXPECT_EQ(stepper.Advance(b, f, terms, supply, hvac, step, states, sinks, a, due).status,
            StepStatus::NegativeLoss);
  EXPECT_EQ(a.new_conc[1][0], 3);
  // A loss of 0 adds the step times the source; a change of more than 2 % makes a record.
  terms.loss_coefficient[1] = 0;
  terms.outdoor_input[1][0] = 2;
  a.previous_room_conc[1][0] = 3;
  step.length = 0.5;
  EXPECT_EQ(stepper.Advance(b, f, terms, supply, hvac, step, states, sinks, a, due).status,
            StepStatus::Ok);
  EXPECT_FLOAT_EQ(a.new_conc[1][0], 4);
  EXPECT_TRUE(due);
}

}  // namespace
}  // namespace quarn
