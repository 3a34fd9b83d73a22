// Acceptance checks of the whole calculation chain: a scenario built by hand or read from the
// sample files, the concentration run, its work file, the exposure calculation and the
// concentration result file. Every expected value comes from the physics of well-mixed rooms
// (mass conservation, the analytic steady state of the linear room system, the exact response
// of a sink to a concentration that is linear between two records), worked out here in double
// precision from the flows the test itself knows, never from the run's own working values.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/scripted_prompt.h"
#include "files/building_file.h"
#include "files/result_files.h"
#include "files/scenario_file.h"
#include "model/concentration_run.h"
#include "model/exposure.h"
#include "model/work_file_reader.h"

namespace quarn {
namespace {

namespace fs = std::filesystem;
using testing::ScriptedPrompt;

constexpr int kN = 3;  // rooms of every building here
constexpr double kHours = 48;

// What the test knows of a building's air and pollutant paths, pollutant 0, index 1..3.
struct Plant {
  std::array<double, kN + 1> volume{};
  std::array<double, kN + 1> from_outdoors{}, to_outdoors{};
  double natural[kN + 1][kN + 1] = {};  // room i -> room j
  std::array<double, kN + 1> supply{}, ret{};
  double hvac[kN + 1][kN + 1] = {};
  double exhaust = 0, intake = 0;  // E taken from the mixed return air, O taken in from outdoors
  double penetration = 1;          // of the return-air filter
  std::array<double, kN + 1> emission{};  // scenario mass unit per hour, while on
  std::array<double, kN + 1> cleaner{};   // removal rate 1/h: room volumes an hour x efficiency
  int sink_room = 0;
  double sink_area = 0, ka = 0, kd = 0;

  double ReturnTotal() const { return ret[1] + ret[2] + ret[3]; }
  // Fraction of the pollutant that leaves a room with its return air and comes back in the
  // supply: the filter passes P, the exhaust takes E of the return flow.
  double Recirculated() const {
    const double r = ReturnTotal();
    return r > 0 ? penetration * (1 - exhaust / r) : 0;
  }
  // Everything that carries air (or pollutant) out of room r, m³/h.
  double Outflow(int r) const {
    double q = to_outdoors[r] + ret[r] + cleaner[r] * volume[r];
    for (int j = 1; j <= kN; ++j) q += natural[r][j] + hvac[r][j];
    if (r == sink_room) q += ka * sink_area;
    return q;
  }
};

// The flows, volumes, cleaners and sink of a building record as the plant sees them.
Plant PlantOf(const BuildingRecord& b) {
  const ScenarioRecord& s = b.Scenario;
  Plant p;
  for (int r = 1; r <= kN; ++r) {
    p.volume[r] = b.RoomList[r].Volume;
    p.from_outdoors[r] = s.NaturalFromOutdoors[r];
    p.to_outdoors[r] = s.NaturalToOutdoors[r];
    p.supply[r] = s.HVACSupply[r];
    p.ret[r] = s.HVACReturn[r];
    for (int j = 1; j <= kN; ++j) {
      if (j == r || b.Neighbors[r][j] == 0) continue;
      p.natural[r][j] = s.NaturalRoomFlows[r][j];
      p.hvac[r][j] = s.HVACRoomFlows[r][j];
    }
    if (s.AirCleanerEff[r] > 0)
      p.cleaner[r] = double(s.AirCleanerFlow[r]) * s.AirCleanerEff[r] / 100;
    if (s.NumSinks[r] > 0) {
      p.sink_room = r;
      p.sink_area = s.Sinks[r][1].Area;
      p.ka = s.Sinks[r][1].ka[0];
      p.kd = s.Sinks[r][1].kd[0];
    }
  }
  p.exhaust = s.HVACOutdoorAirTotal;
  p.intake = s.HVACMakeUpTotal;
  return p;
}

// The steady state with clean outdoor air: for each room, emission + inflow from the other
// rooms + HVAC supply = outflow x C. A sink at equilibrium (ka C = kd m) neither takes nor
// gives, so it drops out. The supply concentration is the recirculated share of the return
// air over the supply flow, linear in the room concentrations. Solved by elimination.
std::array<double, kN + 1> SteadyState(const Plant& p) {
  double a[kN][kN + 1] = {};
  const double supplyFlow = p.ReturnTotal() - p.exhaust + p.intake;
  for (int r = 1; r <= kN; ++r) {
    double loss = p.to_outdoors[r] + p.ret[r] + p.cleaner[r] * p.volume[r];
    for (int j = 1; j <= kN; ++j) loss += p.natural[r][j] + p.hvac[r][j];
    for (int k = 1; k <= kN; ++k) {
      double x = p.natural[k][r] + p.hvac[k][r];
      if (supplyFlow > 0) x += p.supply[r] * p.Recirculated() * p.ret[k] / supplyFlow;
      if (k == r) x -= loss;
      a[r - 1][k - 1] = x;
    }
    a[r - 1][kN] = -p.emission[r];
  }
  for (int i = 0; i < kN; ++i) {
    for (int k = i + 1; k < kN; ++k) {
      const double f = a[k][i] / a[i][i];
      for (int j = i; j <= kN; ++j) a[k][j] -= f * a[i][j];
    }
  }
  std::array<double, kN + 1> c{};
  for (int i = kN - 1; i >= 0; --i) {
    double x = a[i][kN];
    for (int j = i + 1; j < kN; ++j) x -= a[i][j] * c[j + 1];
    c[i + 1] = x / a[i][i];
  }
  return c;
}

// Pollutant 0 of every record of the work file, with the start of the run (time 0, the
// initial concentrations, all 0 here) in front.
struct Series {
  std::vector<double> t;
  std::vector<std::array<double, kN + 1>> c;
  std::vector<float> first_record, last_record;  // as read, time first

  double Integral(int room, double until) const {  // trapezoid, held flat after the last record
    double sum = 0;
    for (std::size_t k = 1; k < t.size(); ++k)
      sum += (t[k] - t[k - 1]) * (c[k][room] + c[k - 1][room]) / 2;
    return sum + (until - t.back()) * c.back()[room];
  }
  double Max(int room) const {
    double m = 0;
    for (const auto& x : c) m = std::max(m, x[room]);
    return m;
  }
  double LongestGap() const {
    double g = 0;
    for (std::size_t k = 1; k < t.size(); ++k) g = std::max(g, t[k] - t[k - 1]);
    return g;
  }
  // Loading per unit area of a sink that meets this room's concentration: dm/dt = ka C - kd m
  // solved exactly while C is linear between two records.
  double SinkLoading(int room, double ka, double kd) const {
    double m = 0;
    for (std::size_t k = 1; k < t.size(); ++k) {
      const double h = t[k] - t[k - 1];
      const double slope = (c[k][room] - c[k - 1][room]) / h;
      const double beta = ka * slope / kd;
      const double alpha = (ka * c[k - 1][room] - beta) / kd;
      m = alpha + beta * h + (m - alpha) * std::exp(-kd * h);
    }
    return m;
  }
};

Series ReadSeries(const BuildingRecord& b) {
  Series s;
  s.t.push_back(0);
  s.c.push_back({});
  ConcWorkFileReader reader(b.ConcWorkFile, ',', b.NumRooms, b.Scenario.NumPollutants);
  EXPECT_TRUE(reader.IsOpen()) << b.ConcWorkFile;
  const int np = b.Scenario.NumPollutants;
  while (reader.Next() == ConcWorkFileReader::Status::Record) {
    std::vector<float> row{reader.Time()};
    row.insert(row.end(), reader.Concentrations().begin(), reader.Concentrations().end());
    if (s.first_record.empty()) s.first_record = row;
    s.last_record = row;
    s.t.push_back(reader.Time());
    std::array<double, kN + 1> c{};
    for (int r = 0; r <= kN; ++r) c[r] = reader.Conc(r, 0);
    s.c.push_back(c);
  }
  EXPECT_TRUE(reader.EndMarkSeen());
  EXPECT_GT(np, 0);
  return s;
}

// Where the pollutant is at the end of the run, each part computed from the work file and
// the flows the test knows.
struct Budget {
  double airborne = 0, sink = 0, leaving = 0, cleaners = 0, filter = 0;
  double Total() const { return airborne + sink + leaving + cleaners + filter; }
};

Budget BudgetFrom(const Plant& p, const Series& s, double end) {
  Budget b;
  double returned = 0;  // ∫ Σ R C dt: what the rooms send to the HVAC system
  for (int r = 1; r <= kN; ++r) {
    const double integral = s.Integral(r, end);
    b.airborne += p.volume[r] * s.c.back()[r];
    b.leaving += p.to_outdoors[r] * integral;
    b.cleaners += p.cleaner[r] * p.volume[r] * integral;
    returned += p.ret[r] * integral;
  }
  if (p.ReturnTotal() > 0) b.leaving += p.penetration * p.exhaust / p.ReturnTotal() * returned;
  b.filter = (1 - p.penetration) * returned;
  if (p.sink_room > 0) b.sink = p.sink_area * s.SinkLoading(p.sink_room, p.ka, p.kd);
  return b;
}

// How far the run's bookkeeping may be from the budget above. The run steps every room
// exactly over a step but takes the inflow from other rooms, the HVAC supply, the sinks and
// the air cleaners at the concentrations of the start of the step, and counts what leaves at
// those of its end: each flow out of a room is placed up to half a step early or late. So
// half a step of every outflow at the highest concentration met bounds what the scheme moves
// between the terms; a trapezoid over records at most two steps apart adds less than that.
// Single precision adds a few 1e-7 per step to running sums over some 500 steps: 1e-4 of
// the emitted mass covers it with room to spare.
double SchemeBound(const Plant& p, const Series& s, double dt, double emitted) {
  double flow = 0;
  for (int r = 1; r <= kN; ++r) flow += p.Outflow(r) * s.Max(r);
  return 0.5 * dt * flow + 1e-4 * emitted;
}

void AddRoom(BuildingRecord& b, int r, const char* name, float volume) {
  b.RoomList[r].Name = name;
  b.RoomList[r].Volume = volume;
}

void Connect(BuildingRecord& b, int i, int j) {
  b.Neighbors[i][j] = b.Neighbors[j][i] = kTrue;
  ++b.RoomList[i].NumNeighbors;
  ++b.RoomList[j].NumNeighbors;
}

// Three rooms in a row with outdoor air through each and doorways between them; a constant
// source of 100 mg/h in the kitchen from 2 h on, a carpet in the hall, an air cleaner in the
// bedroom; clean outdoor air; 48 h at 0.1 h steps.
//   kitchen 30 m³: 20 in, 10 out, 30 to the hall, 20 from it
//   hall 50 m³: 10 in, 10 out, 20 to the kitchen, 25 to the bedroom, 15 from it
//   bedroom 40 m³: 15 in, 25 out, 15 to the hall
constexpr double kSourceRate = 100;  // mg/h
constexpr double kSourceOn = 2;      // h

BuildingRecord ThreeRooms() {
  BuildingRecord b;
  b.NumRooms = kN;
  b.MasterFile = "Chain";
  b.ID = "Chain test";
  AddRoom(b, 1, "Kitchen", 30);
  AddRoom(b, 2, "Hall", 50);
  AddRoom(b, 3, "Bedroom", 40);
  Connect(b, 1, 2);
  Connect(b, 2, 3);
  ScenarioRecord& s = b.Scenario;
  s.Name = "Three rooms";
  s.NumPollutants = 1;
  s.Pollutants[0].Name = "CO";
  s.Pollutants[0].MolWt = 28;
  s.ConcUnits = s.OutdoorConcUnits = s.InitialConcUnits = "milligrams";
  s.ConstantACH = "Y";
  s.ConstantHVAC = "Y";
  s.ConstantOutdoorConc = "Y";
  s.VentScheduleFlag = "N";
  s.HVACHistoryCycle = "N";
  s.ManagedFlowFlag = "N";
  s.NumOutdoorConcPoints = 1;
  s.BuildingPenetration[0] = 1;
  s.StepSize = 0.1F;
  s.YearsSimulated = static_cast<float>(kHours / 8760);
  const float in[] = {20, 10, 15}, out[] = {10, 10, 25};
  for (int r = 1; r <= kN; ++r) {
    s.NaturalFromOutdoors[r] = in[r - 1];
    s.NaturalToOutdoors[r] = out[r - 1];
  }
  s.NaturalRoomFlows[1][2] = 30;
  s.NaturalRoomFlows[2][1] = 20;
  s.NaturalRoomFlows[2][3] = 25;
  s.NaturalRoomFlows[3][2] = 15;

  s.NumSources[1] = 1;
  SourceRecord& src = s.Sources[1][1];
  src.Name = "Heater";
  src.Model = 6;  // A0 + A1 t + ...: a constant A0
  src.Params[0][0] = static_cast<float>(kSourceRate);
  src.Size = 1;
  src.NumCycles = 1;
  src.TimeOn[1] = static_cast<float>(kSourceOn);
  src.TimeOff[1] = 1e6F;
  src.CycleRepeats = "N";

  s.NumSinks[2] = 1;
  SinkRecord& carpet = s.Sinks[2][1];
  carpet.Name = "Carpet";
  carpet.Area = 30;
  carpet.ka[0] = 0.5F;
  carpet.kd[0] = 0.5F;

  s.AirCleanerFlow[3] = 2;  // room volumes an hour
  s.AirCleanerEff[3] = 50;  // %
  s.AirCleanerPenetration[3] = 0.5F;
  return b;
}

// A residential HVAC system on top: 100 m³/h of return air (30, 40, 30), supplied as 40, 30
// and 30 with 10 m³/h pushed from the kitchen into the hall; it exhausts 20 m³/h of the
// return and takes in 20 of outdoor air; a user-defined filter in the return passes 40 %.
constexpr float kFilterPenetration = 0.4F;

void AddHVAC(BuildingRecord& b) {
  ScenarioRecord& s = b.Scenario;
  s.HVACType = 1;
  s.HVACFilterType = 9;  // user defined: the entered penetration
  s.FilterPenetration[0][0] = kFilterPenetration;
  s.FilterCapacity = 1e9F;
  const float supply[] = {40, 30, 30}, ret[] = {30, 40, 30};
  for (int r = 1; r <= kN; ++r) {
    s.HVACSupply[r] = supply[r - 1];
    s.HVACReturn[r] = ret[r - 1];
  }
  s.HVACRoomFlows[1][2] = 10;
  s.HVACOutdoorAirTotal = 20;  // the exhaust, despite its name
  s.HVACMakeUpTotal = 20;
}

class ChainTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = fs::temp_directory_path() /
              (std::string("quarn-chain-") + info->test_suite_name() + "-" + info->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    settings_.temp_folder_name = (folder_ / "tmp").string();
    settings_.step_adjust_factor = 1;
    settings_.max_concentration = 100;
    settings_.data_separator = ',';
  }
  void TearDown() override { fs::remove_all(folder_); }

  void Run(BuildingRecord& b) {
    RunObserver observer;
    ASSERT_EQ(RunConcentrationCalculation(b, settings_, prompt_, observer), RunOutcome::Completed);
    EXPECT_EQ(prompt_.Count("message"), 0u) << prompt_.shown.front().text;
  }

  // The run's totals against the budget, term by term, and both against the emitted mass.
  void ExpectMassConserved(const BuildingRecord& b, const Plant& plant, double emitted) {
    const ScenarioRecord& s = b.Scenario;
    const Series series = ReadSeries(b);
    const double end = s.ExposureCompareTime;
    const Budget mine = BudgetFrom(plant, series, end);
    const double bound = SchemeBound(plant, series, s.StepSize, emitted);
    SCOPED_TRACE("bound " + std::to_string(bound));

    // Emission: the rate over the hours from the switch-on to the end of the last step; the
    // switch-on step may fall either side of 2 h by the rounding of the Single clock.
    EXPECT_NEAR(s.TotalEmitted[0], emitted, kSourceRate * s.StepSize * 1.01);

    // Every term the run keeps, against the one worked out from the work file.
    EXPECT_NEAR(s.AirborneMass[0], mine.airborne, 1e-4 * mine.airborne);
    EXPECT_NEAR(s.SinkMass[0], mine.sink, 1e-3 * mine.sink);
    EXPECT_NEAR(s.LeavingMass[0], mine.leaving, bound);
    EXPECT_NEAR(s.AirCleanerCollected[1] + s.AirCleanerCollected[2] + s.AirCleanerCollected[3],
                mine.cleaners, bound);
    EXPECT_NEAR(s.AirCleanerMass[0], mine.filter, bound);
    // Only the bedroom has a cleaner.
    EXPECT_EQ(s.AirCleanerCollected[1], 0);
    EXPECT_EQ(s.AirCleanerCollected[2], 0);

    // Conservation: what was emitted is in the air, in the carpet, outdoors, in the cleaner
    // or in the filter.
    EXPECT_NEAR(mine.Total(), s.TotalEmitted[0], bound);
    const double theirs = double(s.AirborneMass[0]) + s.SinkMass[0] + s.LeavingMass[0] +
                          s.AirCleanerCollected[3] + s.AirCleanerMass[0];
    EXPECT_NEAR(theirs, s.TotalEmitted[0], bound);
    // The bound is a small part of the budget.
    EXPECT_LT(bound, 0.005 * emitted);
  }

  // What the run's own totals leave unaccounted at the end of the run.
  static double Unaccounted(const ScenarioRecord& s) {
    double held =
        double(s.AirborneMass[0]) + s.SinkMass[0] + s.LeavingMass[0] + s.AirCleanerMass[0];
    for (int r = 1; r <= kN; ++r) held += s.AirCleanerCollected[r];
    return s.TotalEmitted[0] - held;
  }

  // The scheme's share of the balance is first order in the step (see SchemeBound), so the
  // same scenario at half the step leaves half of it unaccounted, and extrapolated to a step
  // of 0 the balance closes to the rounding of Single sums: about 1,000 additions to each
  // total, each within half a unit in the 24th bit (3e-8 of the total), stay below 3e-5 of
  // it, and 1e-4 of the emitted mass covers the terms of both runs. A term booked with a
  // wrong factor, a lost term or a mass counted twice does not scale with the step and shows
  // here at any size above that.
  void ExpectBalanceClosesAsTheStepShrinks(BuildingRecord b, const Budget& parts) {
    const double full = Unaccounted(b.Scenario);
    b.Scenario.StepSize = 0.05F;
    Run(b);
    const double half = Unaccounted(b.Scenario);
    const double tolerance = 1e-4 * b.Scenario.TotalEmitted[0];
    EXPECT_NEAR(2 * half - full, 0, tolerance) << full << " at 0.1 h, " << half << " at 0.05 h";
    // Each term the building has is far above the tolerance, so none can hide in it.
    const ScenarioRecord& s = b.Scenario;
    EXPECT_GT(parts.airborne, 20 * tolerance);
    EXPECT_GT(parts.leaving, 20 * tolerance);
    if (s.NumSinks[1] + s.NumSinks[2] + s.NumSinks[3] > 0) {
      EXPECT_GT(parts.sink, 20 * tolerance);
    }
    if (s.AirCleanerEff[1] + s.AirCleanerEff[2] + s.AirCleanerEff[3] > 0) {
      EXPECT_GT(parts.cleaners, 20 * tolerance);
    }
    if (s.HVACType == 1 && s.HVACReturn[1] + s.HVACReturn[2] + s.HVACReturn[3] > 0) {
      EXPECT_GT(parts.filter, 20 * tolerance);
    }
  }

  // After 46 h of a constant source every room is at its analytic steady state.
  static void ExpectSteadyState(const BuildingRecord& b, const Plant& plant) {
    const Series series = ReadSeries(b);
    const auto want = SteadyState(plant);
    for (int r = 1; r <= kN; ++r) {
      SCOPED_TRACE(r);
      EXPECT_GT(want[r], 0);
      EXPECT_NEAR(series.c.back()[r], want[r], 2e-5 * want[r]);
    }
    // The carpet holds ka C / kd per unit area of the hall's air.
    if (plant.sink_room > 0) {
      EXPECT_NEAR(b.Scenario.SinkMass[0],
                  plant.sink_area * plant.ka * want[plant.sink_room] / plant.kd,
                  1e-4 * b.Scenario.SinkMass[0]);
    }
  }

  fs::path folder_;
  RunSettings settings_;
  ScriptedPrompt prompt_;
};

TEST_F(ChainTest, ThreeRoomsKeepTheMassTheyAreGivenAndSettleAtTheAnalyticSteadyState) {
  BuildingRecord b = ThreeRooms();
  Run(b);
  Plant plant = PlantOf(b);
  plant.emission[1] = kSourceRate;
  ExpectMassConserved(b, plant, kSourceRate * (b.Scenario.ExposureCompareTime - kSourceOn));
  ExpectSteadyState(b, plant);
  EXPECT_EQ(b.Scenario.AirCleanerMass[0], 0);  // no HVAC system, no filter
  ExpectBalanceClosesAsTheStepShrinks(b, BudgetFrom(plant, ReadSeries(b), 48));
}

TEST_F(ChainTest, HVACFilterTakesItsShareAndTheBalanceStillCloses) {
  BuildingRecord b = ThreeRooms();
  AddHVAC(b);
  Run(b);
  Plant plant = PlantOf(b);
  plant.penetration = kFilterPenetration;
  plant.emission[1] = kSourceRate;
  ExpectMassConserved(b, plant, kSourceRate * (b.Scenario.ExposureCompareTime - kSourceOn));
  ExpectSteadyState(b, plant);
  EXPECT_GT(b.Scenario.AirCleanerMass[0], 0.1 * b.Scenario.TotalEmitted[0]);
  ExpectBalanceClosesAsTheStepShrinks(b, BudgetFrom(plant, ReadSeries(b), 48));
}

TEST_F(ChainTest, ExposureOfAnOccupantWhoStaysInOneRoomIsTheIntegralOfItsConcentration) {
  BuildingRecord b = ThreeRooms();
  ScenarioRecord& s = b.Scenario;
  s.ExposureMode = "I";
  s.NumOccupants = 1;
  OccupantRecord& o = s.Occupants[1];
  o.Name = "Resident";
  o.Weight = 70;
  o.BreathingRate = 0.8F;     // m³/h
  o.EfficiencyFactor = 0.5F;  // F = 0.4 m³/h
  o.StartTime = 0;
  o.EndTime = 1000;  // beyond the run: the walk ends with the data
  o.CycleLength = 24;
  o.TimeEnter[1] = 0;
  o.TimeLeave[1] = 24;  // in the hall all day, every day
  o.Location[1] = "Hall";
  o.LocationRoom[1] = 2;
  Run(b);
  RunObserver observer;
  const ExposureRunResult result =
      RunExposureCalculation(b, folder_.string(), ',', prompt_, observer);
  EXPECT_TRUE(result.completed);
  EXPECT_EQ(prompt_.Count("message"), 0u);

  const Series series = ReadSeries(b);
  const double factor = 0.8 * 0.5;
  const double last = series.t.back();
  const double integral = series.Integral(2, last);
  // The walk meets the hall's concentration record by record and integrates it by trapezoid
  // from time 0, where the hall holds its initial 0, taking each record's own value at its
  // time: the same trapezoid as the test's, up to single sums over some 250 records.
  const double bound = factor * 2e-5 * integral;
  EXPECT_NEAR(o.TotalExposure[0], factor * integral, bound);
  EXPECT_NEAR(o.ExposureTime[0], last, 1e-5 * last);
  EXPECT_NEAR(o.PeakExposure[0], factor * series.Max(2), 1e-4 * factor * series.Max(2));
  EXPECT_NEAR(o.AverageExposure[0], integral / last, bound / factor / last);
  // Inhalation: mg per kg of body weight per day.
  EXPECT_NEAR(o.PotentialDose[0], o.TotalExposure[0] / 70 / (last / 24), 1e-5 * o.PotentialDose[0]);

  // The result file of the concentrations begins and ends with the work file's first and
  // last records: three lines of headings and the unit line, then rows that end with the
  // separator.
  const std::string con = (folder_ / "chain.con").string();
  ASSERT_TRUE(WriteConcentrationFile(b, ',', con, prompt_));
  TextLineSource lines(con);
  ASSERT_TRUE(lines.IsOpen());
  std::vector<std::string> text;
  for (std::string line; lines.Next(line);) text.push_back(line);
  ASSERT_GE(text.size(), 6u);
  EXPECT_EQ(text[0], "Results for Chain test Scenario Three rooms");
  EXPECT_EQ(text[1], "Time,Outdoors,Kitchen,Hall,Bedroom,");
  EXPECT_EQ(text[2], "Pollutant name,CO,CO,CO,CO,");
  EXPECT_EQ(text[3], "Concentration unit,mg/m\xB3,mg/m\xB3,mg/m\xB3,mg/m\xB3,");
  std::vector<float> first, final;
  ASSERT_TRUE(SplitNumberLine(text[4], ',', first));
  ASSERT_TRUE(SplitNumberLine(text.back(), ',', final));
  ASSERT_EQ(first.size(), series.first_record.size());
  ASSERT_EQ(final.size(), series.last_record.size());
  // Seven digits written, read and written again: equal to the last digit.
  for (std::size_t i = 0; i < first.size(); ++i) {
    EXPECT_NEAR(first[i], series.first_record[i], 1e-6 * std::fabs(series.first_record[i]));
    EXPECT_NEAR(final[i], series.last_record[i], 1e-6 * std::fabs(series.last_record[i]));
  }
  EXPECT_GT(final[3], 0.5F);  // the hall holds the pollutant at the end
}

// The sample house and its gas-range scenario, read by the real readers. The range burns
// for an hour at breakfast and at dinner, so the day has no steady state: the check is
// conservation, each term worked out from the work file. Then the range is left on for two
// days and every room settles at the analytic steady state of the sample's own flows.
class SampleChainTest : public ChainTest {
 protected:
  void Load(BuildingRecord& b) {
    std::string bld = std::string(QUARN_SOURCE_DIR) + "/samples/house.BLD";
    ASSERT_TRUE(ReadBuildingFile(b, bld, prompt_));
    ASSERT_EQ(CommitScenarioRead(
                  NewReadScenario(b, std::string(QUARN_SOURCE_DIR) + "/samples/Scenario/house.SEN",
                                  prompt_),
                  b),
              ScenarioReadResult::Read);
    prompt_.shown.clear();
    ASSERT_EQ(b.NumRooms, kN);
    ASSERT_EQ(b.Scenario.ConcUnits, "micrograms");
  }
};

TEST_F(SampleChainTest, GasRangeDayKeepsItsMass) {
  auto b = std::make_unique<BuildingRecord>();
  Load(*b);
  const ScenarioRecord& s = b->Scenario;
  Run(*b);
  const Plant plant = PlantOf(*b);
  const Series series = ReadSeries(*b);
  const double end = s.ExposureCompareTime;
  EXPECT_GE(end, 24);
  // 30 mg/h, in µg, for an hour twice a day; the decay model emits nothing in the first step
  // of an on-period (its age is 0), and the Single clock may put a switch on either side of
  // its step: between 0.8 h and 1.1 h of emission each time.
  const double rate = 30 * 1000;
  EXPECT_GE(s.TotalEmitted[0], 2 * rate * 0.8);
  EXPECT_LE(s.TotalEmitted[0], 2 * rate * 1.1);
  // Nothing before breakfast: the air outdoors is clean and the house starts clean.
  for (std::size_t k = 0; k < series.t.size() && series.t[k] < 7; ++k)
    for (int r = 0; r <= kN; ++r) ASSERT_EQ(series.c[k][r], 0) << series.t[k];

  const Budget mine = BudgetFrom(plant, series, end);
  const double bound = SchemeBound(plant, series, s.StepSize, s.TotalEmitted[0]);
  EXPECT_NEAR(s.AirborneMass[0], mine.airborne, 1e-3 * mine.airborne + bound);
  EXPECT_NEAR(s.SinkMass[0], mine.sink, 0.02 * mine.sink + bound);
  EXPECT_NEAR(s.LeavingMass[0], mine.leaving, bound);
  EXPECT_NEAR(mine.Total(), s.TotalEmitted[0], bound);
  EXPECT_NEAR(Unaccounted(s), 0, bound);
  EXPECT_GT(mine.sink, 0.05 * s.TotalEmitted[0]);  // the carpet holds a real share
  ExpectBalanceClosesAsTheStepShrinks(*b, mine);
}

TEST_F(SampleChainTest, RangeLeftOnSettlesAtTheAnalyticSteadyState) {
  auto b = std::make_unique<BuildingRecord>();
  Load(*b);
  ScenarioRecord& s = b->Scenario;
  SourceRecord& range = s.Sources[1][1];
  range.NumCycles = 1;
  range.TimeOn[1] = 0;
  range.TimeOff[1] = 1e6F;
  range.CycleRepeats = "N";
  // The carpet gives back 5 % of its load an hour: 20 days bring it to equilibrium.
  s.YearsSimulated = 480.0F / 8760;
  Run(*b);
  Plant plant = PlantOf(*b);
  plant.emission[1] = 30 * 1000;  // µg/h: the range's 30 mg/h in the scenario's units
  ExpectSteadyState(*b, plant);
}

}  // namespace
}  // namespace quarn
