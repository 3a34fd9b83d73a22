#include "model/hvac.h"

#include <gtest/gtest.h>

namespace quarn {
namespace {

// One room returning R = 100 m³/h at C = 2 to a system of the given type; one pollutant.
struct OneRoomSystem {
  ScenarioRecord s;
  WorkingFlows flows;
  RoomPollutant conc{};
  PerPollutant<float> outdoor{};
  PerPollutant<float> emission{};
  HVACState state;
  PerPollutant<float> leaving{};

  explicit OneRoomSystem(int type) {
    s.HVACType = type;
    s.NumPollutants = 1;
    s.FilterCapacity = 1e6F;
    for (auto& position : flows.filter_penetration) position.fill(1.0F);
    flows.base_hvac_return[1] = 100;
    conc[1][0] = 2;
  }
  float Step(float dt) {
    HVACConcentrations(s, 1, flows, conc, outdoor, emission, dt, state, leaving);
    return state.supply_conc[0];
  }
};

TEST(HVACType1, ReturnCleanerHalvesTheSupplyAndFillsByTenPerStep) {
  OneRoomSystem h(kHVACResidentialInReturn);
  h.flows.filter_penetration[1][0] = 0.5F;
  // Csup = 100 × 2 × 0.5 / 100 = 1; caught (1 - 0.5) × 100 × 2 × 0.1 h = 10.
  EXPECT_FLOAT_EQ(h.Step(0.1F), 1.0F);
  EXPECT_FLOAT_EQ(h.state.filter_mass[0], 10);
  EXPECT_FLOAT_EQ(h.Step(0.1F), 1.0F);
  EXPECT_FLOAT_EQ(h.state.filter_mass[0], 20);
  EXPECT_EQ(h.leaving[0], 0);  // no exhaust
}

TEST(HVACType1, FullFilterPassesEverything) {
  OneRoomSystem h(kHVACResidentialInReturn);
  h.flows.filter_penetration[1][0] = 0.5F;
  h.s.FilterCapacity = 10;
  EXPECT_FLOAT_EQ(h.Step(0.1F), 1.0F);  // 0 < 10: filters and reaches 10
  EXPECT_FLOAT_EQ(h.Step(0.1F), 2.0F);  // full
  EXPECT_FLOAT_EQ(h.state.filter_mass[0], 10);

  OneRoomSystem empty(kHVACResidentialInReturn);
  empty.flows.filter_penetration[1][0] = 0.5F;
  empty.s.FilterCapacity = 0;  // a filter that holds nothing removes nothing
  EXPECT_FLOAT_EQ(empty.Step(0.1F), 2.0F);
  EXPECT_EQ(empty.state.filter_mass[0], 0);
}

TEST(HVACType1, OutdoorAirGivesTheFlowWeightedMeanAtEveryStep) {
  // Filtered return 100 m³/h at 1 plus outdoor air O = 100 m³/h at 4:
  // (100 × 1 + 100 × 4) / 200 = 2.5, whatever the step.
  for (float dt : {0.1F, 1.0F, 24.0F}) {
    OneRoomSystem h(kHVACResidentialInReturn);
    h.flows.filter_penetration[1][0] = 0.5F;
    h.flows.hvac_intake_total = 100;
    h.outdoor[0] = 4;
    EXPECT_FLOAT_EQ(h.Step(dt), 2.5F) << dt;
    EXPECT_FLOAT_EQ(h.state.filter_mass[0], 100 * dt) << dt;  // 0.5 × 100 × 2 × dt
  }
}

TEST(HVACExhaust, TakesItsShareOutOfTheBuilding) {
  // Return 100 at 2, exhaust E = 50, outdoor O = 50 at 8, no filter:
  // S = 200, X = 200 / 100 × 50 = 100 leaves; supply (100 + 50 × 8) / 100 = 5.
  for (float dt : {0.1F, 24.0F}) {
    OneRoomSystem h(0);
    h.flows.hvac_exhaust_total = 50;
    h.flows.hvac_intake_total = 50;
    h.outdoor[0] = 8;
    EXPECT_FLOAT_EQ(h.Step(dt), 5.0F);
    EXPECT_FLOAT_EQ(h.leaving[0], 100 * dt);
  }
}

TEST(HVACExhaust, AllOutdoorAirSuppliesTheOutdoorConcentration) {
  // Exhaust equal to the return: nothing of the return air is supplied.
  OneRoomSystem h(0);
  h.flows.hvac_exhaust_total = 100;
  h.flows.hvac_intake_total = 100;
  h.outdoor[0] = 4;
  EXPECT_FLOAT_EQ(h.Step(0.1F), 4.0F);
  EXPECT_FLOAT_EQ(h.leaving[0], 20);  // 100 × 2 × 0.1

  OneRoomSystem cleaned(kHVACCommercialCleanOutdoor);
  cleaned.flows.filter_penetration[0][0] = 0.5F;
  cleaned.flows.hvac_exhaust_total = 100;
  cleaned.flows.hvac_intake_total = 100;
  cleaned.outdoor[0] = 4;
  EXPECT_FLOAT_EQ(cleaned.Step(0.1F), 2.0F);

  // No return air at all: the system delivers outdoor air.
  OneRoomSystem intake(0);
  intake.flows.base_hvac_return[1] = 0;
  intake.flows.hvac_intake_total = 80;
  intake.outdoor[0] = 3;
  EXPECT_FLOAT_EQ(intake.Step(0.1F), 3.0F);
}

TEST(HVACExhaust, MoreExhaustThanReturn) {
  // E = 150 of a return of 100 at 2: all 200 of pollutant flow leaves, not 300.
  OneRoomSystem h(0);
  h.state.supply_conc[0] = 7;
  h.flows.hvac_exhaust_total = 150;
  EXPECT_FLOAT_EQ(h.Step(0.1F), 7.0F);  // no supply flow left: keeps its value
  EXPECT_FLOAT_EQ(h.leaving[0], 20);

  // With O = 100 at 4 the 50 m³/h excess is outdoor air: 50 m³/h supplied at 4.
  OneRoomSystem drawn(0);
  drawn.flows.hvac_exhaust_total = 150;
  drawn.flows.hvac_intake_total = 100;
  drawn.outdoor[0] = 4;
  EXPECT_FLOAT_EQ(drawn.Step(0.1F), 4.0F);
}

TEST(HVACExhaust, WithoutReturnAirTheExhaustStillTakesItsShare) {
  // No return air, exhaust E = 50: the exhaust draws the outdoor intake straight through, so
  // the supply flow is O - E. With O = 30 that is -20: the supply keeps its value.
  OneRoomSystem starved(0);
  starved.flows.base_hvac_return[1] = 0;
  starved.state.supply_conc[0] = 7;
  starved.flows.hvac_exhaust_total = 50;
  starved.flows.hvac_intake_total = 30;
  starved.outdoor[0] = 3;
  EXPECT_EQ(starved.Step(0.1F), 7.0F);

  // With O = 100 the supply flow is 50 at 3, and a source of 50 mg/h in the system adds
  // 50 / 50: (50 × 3 + 50) / 50 = 4, as for a return air that the exhaust takes whole.
  OneRoomSystem h(0);
  h.flows.base_hvac_return[1] = 0;
  h.flows.hvac_exhaust_total = 50;
  h.flows.hvac_intake_total = 100;
  h.outdoor[0] = 3;
  h.emission[0] = 50;
  EXPECT_FLOAT_EQ(h.Step(0.1F), 4.0F);
  EXPECT_EQ(h.leaving[0], 0);  // outdoor air passing through leaves nothing of the building

  OneRoomSystem all(0);  // return 100 wholly exhausted, the same intake and source
  all.flows.hvac_exhaust_total = 150;
  all.flows.hvac_intake_total = 100;
  all.outdoor[0] = 3;
  all.emission[0] = 50;
  EXPECT_FLOAT_EQ(all.Step(0.1F), 4.0F);
}

TEST(HVACSupply, NoFlowKeepsThePreviousValue) {
  OneRoomSystem h(kHVACResidentialInReturn);
  h.flows.base_hvac_return[1] = 0;
  h.flows.filter_penetration[1][0] = 0.5F;
  h.state.supply_conc[0] = 7;
  EXPECT_EQ(h.Step(0.1F), 7.0F);
  EXPECT_EQ(h.state.filter_mass[0], 0);
  EXPECT_EQ(h.leaving[0], 0);
}

TEST(HVACSupply, FilterOfEachTypeWhereItSits) {
  // Return 100 at 2 and outdoor O = 100 at 4, filter penetration 0.5 at position 0.
  auto run = [](int type) {
    OneRoomSystem h(type);
    h.flows.filter_penetration[0][0] = 0.5F;
    h.flows.hvac_intake_total = 100;
    h.outdoor[0] = 4;
    h.Step(0.1F);
    return h;
  };
  // Types 2 and 4 filter the mixture (200 + 400) / 200 = 3: supply 1.5, caught
  // 0.5 × 200 × 3 × 0.1 = 30.
  for (int type : {kHVACCommercialAfterMixing, kHVACInSupply}) {
    const OneRoomSystem h = run(type);
    EXPECT_FLOAT_EQ(h.state.supply_conc[0], 1.5F) << type;
    EXPECT_FLOAT_EQ(h.state.filter_mass[0], 30) << type;
  }
  // Type 3 filters only the outdoor air: (200 + 400 × 0.5) / 200 = 2; nothing is counted.
  const OneRoomSystem three = run(kHVACCommercialCleanOutdoor);
  EXPECT_FLOAT_EQ(three.state.supply_conc[0], 2.0F);
  EXPECT_EQ(three.state.filter_mass[0], 0);
  // Type 0 mixes without a filter: 3.
  EXPECT_FLOAT_EQ(run(0).state.supply_conc[0], 3.0F);
  // Type 2 with a full filter mixes without filtering.
  OneRoomSystem full(kHVACCommercialAfterMixing);
  full.s.FilterCapacity = 0;
  full.flows.filter_penetration[0][0] = 0.5F;
  EXPECT_FLOAT_EQ(full.Step(0.1F), 2.0F);
}

TEST(HVACSupply, SourcesInTheSystemAddToTheSupply) {
  // 50 mg/h emitted into 100 m³/h of return air at 2: (200 + 50) / 100.
  OneRoomSystem h(0);
  h.emission[0] = 50;
  EXPECT_FLOAT_EQ(h.Step(0.1F), 2.5F);
}

TEST(HVACSupply, ReturnOfSeveralRoomsIsFlowWeighted) {
  OneRoomSystem h(0);
  h.s.NumPollutants = 2;
  h.flows.base_hvac_return[2] = 300;
  h.conc[2][0] = 6;
  h.conc[1][1] = 1;
  h.flows.base_hvac_return[3] = 1000;  // beyond the room count: not mixed
  h.conc[3][0] = 1000;
  HVACConcentrations(h.s, 2, h.flows, h.conc, h.outdoor, h.emission, 0.1F, h.state, h.leaving);
  EXPECT_FLOAT_EQ(h.state.supply_conc[0], 5.0F);   // (100 × 2 + 300 × 6) / 400
  EXPECT_FLOAT_EQ(h.state.supply_conc[1], 0.25F);  // (100 × 1) / 400
}

}  // namespace
}  // namespace quarn
