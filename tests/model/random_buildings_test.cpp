// Random buildings against an independent solution of the continuous mass balance.
//
// Each case is a building of 1 to 8 rooms and 1 to 8 pollutants with natural and HVAC
// flows (a filter of every system type, with a capacity), air cleaners, sinks, sources of
// every closed-form model (all three R0k decays, Polyfit's cubic) and the mass-transfer
// model switched on and off between the points of the step grid, initial air and an outdoor
// history. The reference below writes the mass balance out from the scenario's fields and
// integrates it with an adaptive Runge-Kutta method (Dormand-Prince 5(4)) at a relative
// tolerance of 1e-10, restarted at every switch; every record of the run must lie within
// 0.1 % of each room's peak at steps up to 0.1 h (1 % above). Each total the run reports
// (emitted, airborne, in the sinks, left, each room's air cleaner, the HVAC filter) must lie
// within 0.01 % of its pollutant's balance of the reference's, and the run's own totals must
// close the balance.
//
// QUARN_RANDOM_CASES sets how many cases to run (CI runs the default).

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "common/scripted_prompt.h"
#include "common/steady_scenario.h"
#include "model/concentration_run.h"
#include "model/hvac.h"

namespace quarn {
namespace {

namespace fs = std::filesystem;

constexpr int kDefaultCases = 40;
// The age at which an R/T source starts to emit, 0.05 day, compared as the program does.
const double kRTStart = 24.0 * static_cast<double>(0.05F);

class Recorder : public RunObserver {
 public:
  struct Rec {
    float time;
    std::vector<float> conc;
  };
  std::vector<Rec> records;
  void RecordWritten(const RunRecordInfo& r) override {
    records.push_back({r.time, {r.concentrations.begin(), r.concentrations.end()}});
  }
};

// --- The continuous model, from the scenario as the user entered it. ---

// Where a source is in its schedule at time t: on since `began`, or off.
bool OnAt(const SourceRecord& s, double t, double& began) {
  double period = 0;
  if (s.CycleRepeats[0] == 'D') period = 24;
  const double base = period > 0 ? std::floor(t / period) * period : 0;
  for (int c = 1; c <= s.NumCycles; ++c) {
    const double on = static_cast<float>(base + s.TimeOn[c]);
    const double off = static_cast<float>(base + s.TimeOff[c]);
    if (on <= t && t < off) {
      began = on;
      return true;
    }
  }
  return false;
}

// The state of one pollutant: rooms, sink loadings, the two layers of every mass-transfer
// source, and the totals that grow (emitted by the other sources, left, filtered, from
// outdoors, and what each room's air cleaner took).
struct Layout {
  int rooms = 0;
  std::vector<std::pair<int, int>> sinks;   // room, slot
  std::vector<std::pair<int, int>> layers;  // room, slot (two states each)
  int Sink(int i) const { return rooms + i; }
  int Layer(int i, int which) const {
    return rooms + static_cast<int>(sinks.size()) + 2 * i + which - 1;
  }
  int Totals() const { return rooms + static_cast<int>(sinks.size() + 2 * layers.size()); }
  enum { kEmitted, kLeft, kFiltered, kFromOutdoors, kCount };
  int Cleaned(int room) const { return Totals() + kCount + room - 1; }
  int Size() const { return Totals() + kCount + rooms; }
};

class Reference {
 public:
  Reference(const BuildingRecord& b, int p) : b_(b), s_(b.Scenario), p_(p) {
    layout_.rooms = b.NumRooms;
    for (int r = 1; r <= b.NumRooms; ++r) {
      for (int k = 1; k <= s_.NumSinks[r]; ++k) layout_.sinks.push_back({r, k});
      for (int k = 1; k <= s_.NumSources[r]; ++k)
        if (s_.Sources[r][k].Model == 0) layout_.layers.push_back({r, k});
    }
  }
  const Layout& layout() const { return layout_; }
  // What the HVAC filter holds, kept outside the state since it decides whether the filter
  // works, and what it can hold.
  double filter_mass = 0;
  double capacity = 1e300;
  // What the layers were given, at their start and every switch-on, times their area.
  double layers_given = 0;

  double Outdoor(double t) const {
    int point = 1;
    for (int i = 2; i <= s_.NumOutdoorConcPoints; ++i)
      if (s_.OutdoorConcTime[i] <= t) point = i;
    return s_.OutdoorConc[point][p_];
  }

  // dy/dt at time t of a stretch between switches, whose sources are on or off as they are
  // at `within`.
  std::vector<double> Rates(double t, const std::vector<double>& y, bool filter_works,
                            double within) const {
    const int n = layout_.rooms;
    std::vector<double> d(y.size(), 0.0);
    const double out = Outdoor(t);
    const double pen = s_.BuildingPenetration[p_];
    // The HVAC system: return air (filtered room by room for type 1), the exhaust's share
    // out, outdoor air in (filtered for type 3), the mixture filtered (types 2 and 4).
    const int type = s_.HVACType;
    const double pass = s_.FilterPenetration[0][p_];
    const double pass_return = type == 1 && filter_works ? pass : 1;
    const double pass_outdoor = type == 3 ? pass : 1;
    const double pass_mixture = (type == 2 || type == 4) && filter_works ? pass : 1;
    double returned = 0;
    double return_flow = 0;
    double caught = 0;
    for (int r = 1; r <= n; ++r) {
      returned += s_.HVACReturn[r] * pass_return * y[r - 1];
      caught += s_.HVACReturn[r] * (1 - pass_return) * y[r - 1];
      return_flow += s_.HVACReturn[r];
    }
    const double exhaust = s_.HVACOutdoorAirTotal;
    const double intake = s_.HVACMakeUpTotal;
    double supply = 0;
    if (return_flow > 0 || intake > 0) {
      const double share = return_flow > 0 ? std::min(exhaust / return_flow, 1.0) : 0.0;
      d[layout_.Totals() + Layout::kLeft] += share * returned;
      // What the outdoor-air cleaner of type 3 keeps is not counted as caught.
      const double mixed = (1 - share) * returned + out * intake * pass_outdoor;
      caught += (1 - pass_mixture) * mixed;
      const double flow = return_flow - exhaust + intake;
      supply = flow > 0 ? pass_mixture * mixed / flow : 0;
      d[layout_.Totals() + Layout::kFromOutdoors] += out * intake * pass_outdoor;
    }
    d[layout_.Totals() + Layout::kFiltered] += caught;
    for (int r = 1; r <= n; ++r) {
      const double v = b_.RoomList[r].Volume;
      const double c = y[r - 1];
      double in = out * pen * s_.NaturalFromOutdoors[r] + s_.HVACSupply[r] * supply;
      double leaving = s_.NaturalToOutdoors[r] + s_.HVACReturn[r];
      for (int j = 1; j <= n; ++j) {
        if (j == r || b_.Neighbors[r][j] == 0) continue;
        in += s_.NaturalRoomFlows[j][r] * y[j - 1];
        leaving += s_.NaturalRoomFlows[r][j];
      }
      const double cleaner =
          s_.AirCleanerEff[r] > 0 ? s_.AirCleanerFlow[r] * s_.AirCleanerEff[r] / 100.0 : 0.0;
      d[r - 1] += (in - leaving * c) / v - cleaner * c;
      d[layout_.Totals() + Layout::kLeft] += s_.NaturalToOutdoors[r] * c;
      d[layout_.Cleaned(r)] += cleaner * c * v;
      d[layout_.Totals() + Layout::kFromOutdoors] += out * pen * s_.NaturalFromOutdoors[r];
      for (int k = 1; k <= s_.NumSources[r]; ++k) {
        const SourceRecord& src = s_.Sources[r][k];
        double began = 0;
        if (src.Model == 0 || !OnAt(src, within, began)) continue;
        const double rate = SourceRate(src, t, t - began);
        d[r - 1] += rate / v;
        d[layout_.Totals() + Layout::kEmitted] += rate;
      }
    }
    for (std::size_t i = 0; i < layout_.sinks.size(); ++i) {
      const auto [r, k] = layout_.sinks[i];
      const SinkRecord& sink = s_.Sinks[r][k];
      const double m = y[layout_.Sink(static_cast<int>(i))];
      const double net = std::max(0.0F, sink.ka[p_]) * y[r - 1] - sink.kd[p_] * m;
      d[layout_.Sink(static_cast<int>(i))] = net;
      d[r - 1] -= net * sink.Area / b_.RoomList[r].Volume;
    }
    for (std::size_t i = 0; i < layout_.layers.size(); ++i) {
      const auto [r, k] = layout_.layers[i];
      const SourceRecord& src = s_.Sources[r][k];
      double began = 0;
      if (!OnAt(src, within, began)) continue;
      const auto& q = src.Params;
      const double c = y[r - 1];
      const int one = layout_.Layer(static_cast<int>(i), 1);
      const int two = layout_.Layer(static_cast<int>(i), 2);
      // Layer 1 only gives, towards its equilibrium C0 m / M0; layer 2 exchanges both ways.
      double d1 = 0;
      if (y[one] > 0) d1 = std::min(0.0, q[1][p_] * (c - q[0][p_] * y[one] / q[2][p_]));
      double d2 = 0;
      if (y[two] > 0 && q[5][p_] != 0) d2 = q[4][p_] * (c - q[0][p_] * y[two] / q[5][p_]);
      d[one] = d1;
      d[two] = d2;
      d[r - 1] -= (d1 + d2) * src.Size / b_.RoomList[r].Volume;
    }
    return d;
  }

  double SourceRate(const SourceRecord& src, double t, double age) const {
    const auto& q = src.Params;
    const int p = p_;
    switch (src.Model) {
      case 1:
        return src.Size * (q[0][p] * std::exp(-q[1][p] * age) + q[2][p] * std::exp(-q[3][p] * age) +
                           q[4][p] * std::exp(-q[5][p] * age));
      case 2:
        return src.Size * q[0][p] / (1 + q[1][p] * q[0][p] * age);
      case 4:
        return age >= kRTStart ? q[0][p] * std::pow(age / 24, -q[1][p]) : 0.0;
      case 6:
        return src.Size * (q[0][p] + t * (q[1][p] + t * (q[2][p] + t * q[3][p])));
      default:
        return 0;
    }
  }

  // A mass-transfer source that comes on starts its layers afresh; what they held is not
  // emitted.
  void SwitchOn(double t, std::vector<double>& y) {
    for (std::size_t i = 0; i < layout_.layers.size(); ++i) {
      const auto [r, k] = layout_.layers[i];
      const SourceRecord& src = s_.Sources[r][k];
      double began = 0;
      if (!OnAt(src, t + 1e-9, began) || std::fabs(began - t) >= 1e-7) continue;
      for (int layer : {1, 2}) {
        double& held = y[layout_.Layer(static_cast<int>(i), layer)];
        const double fresh = src.Params[layer == 1 ? 2 : 5][p_];
        layers_given += (fresh - held) * src.Size;
        held = fresh;
      }
    }
  }

 private:
  const BuildingRecord& b_;
  const ScenarioRecord& s_;
  int p_;
  Layout layout_;
};

// Dormand-Prince 5(4) from t0 to t1 with step control on every component.
void Integrate(Reference& ref, double t0, double t1, std::vector<double>& y) {
  static const double a[7][6] = {
      {},
      {1.0 / 5},
      {3.0 / 40, 9.0 / 40},
      {44.0 / 45, -56.0 / 15, 32.0 / 9},
      {19372.0 / 6561, -25360.0 / 2187, 64448.0 / 6561, -212.0 / 729},
      {9017.0 / 3168, -355.0 / 33, 46732.0 / 5247, 49.0 / 176, -5103.0 / 18656},
      {35.0 / 384, 0, 500.0 / 1113, 125.0 / 192, -2187.0 / 6784, 11.0 / 84}};
  static const double c[7] = {0, 1.0 / 5, 3.0 / 10, 4.0 / 5, 8.0 / 9, 1, 1};
  static const double e[7] = {71.0 / 57600,      0,          -71.0 / 16695, 71.0 / 1920,
                              -17253.0 / 339200, 22.0 / 525, -1.0 / 40};
  const double rtol = 1e-10;
  const std::size_t n = y.size();
  double t = t0;
  double h = std::min(0.01, t1 - t0);
  while (t < t1) {
    if (t + h > t1) h = t1 - t;
    if (h < 1e-12 * t1) {  // below the rounding of the time itself
      t = t1;
      break;
    }
    // The filter works while it holds less than its capacity; a step that would fill it is
    // taken in smaller pieces, down to the tolerance.
    const bool works = ref.filter_mass < ref.capacity;
    std::array<std::vector<double>, 7> k;
    std::vector<double> yt(n);
    for (int stage = 0; stage < 7; ++stage) {
      for (std::size_t i = 0; i < n; ++i) {
        double sum = y[i];
        for (int j = 0; j < stage; ++j) sum += h * a[stage][j] * k[j][i];
        yt[i] = sum;
      }
      k[stage] = ref.Rates(t + c[stage] * h, yt, works, (t0 + t1) / 2);
    }
    double err = 0;
    for (std::size_t i = 0; i < n; ++i) {
      double ei = 0;
      for (int j = 0; j < 7; ++j) ei += h * e[j] * k[j][i];
      const double scale = 1e-14 + rtol * std::max(std::fabs(y[i]), std::fabs(yt[i]));
      err = std::max(err, std::fabs(ei) / scale);
    }
    const int filtered = ref.layout().Totals() + Layout::kFiltered;
    const double filled = ref.filter_mass + (yt[filtered] - y[filtered]);
    const bool overfills = works && filled > ref.capacity * (1 + 1e-12) && h > 1e-9;
    if (err <= 1 && !overfills) {
      ref.filter_mass = filled;
      t += h;
      y = yt;
    }
    h *= overfills ? 0.5 : std::clamp(0.9 * std::pow(std::max(err, 1e-10), -0.2), 0.2, 5.0);
  }
}

// --- Random buildings. ---

struct Case {
  BuildingRecord building;
  std::vector<double> switches;  // every time at which an input changes
};

// A time off the grid of every step the cases use (multiples of 0.05 h).
float OffGrid(std::mt19937& rng, double from, double to) {
  std::uniform_real_distribution<double> u(from, to);
  for (;;) {
    const double t = u(rng);
    const double off = std::fabs(t / 0.05 - std::round(t / 0.05)) * 0.05;
    if (off > 0.003) return static_cast<float>(t);
  }
}

Case RandomCase(std::mt19937& rng, double hours) {
  std::uniform_real_distribution<double> u(0, 1);
  const auto pick = [&](double a, double b) { return static_cast<float>(a + (b - a) * u(rng)); };
  const auto chance = [&](double p) { return u(rng) < p; };
  Case c;
  BuildingRecord& b = c.building;
  ScenarioRecord& s = b.Scenario;
  b.NumRooms = static_cast<int16_t>(1 + rng() % 8);
  b.MasterFile = "Random";
  s.NumPollutants = static_cast<int16_t>(1 + rng() % 8);
  MakeSteadyInMilligrams(s);
  s.YearsSimulated = static_cast<float>(hours / 8760);
  const int n = b.NumRooms;
  const int np = s.NumPollutants;
  for (int p = 0; p < np; ++p) {
    s.Pollutants[p].Name = "P" + std::to_string(p);
    s.Pollutants[p].MolWt = 50;
    s.BuildingPenetration[p] = pick(0.5, 1);
  }
  // Outdoor air: one to four points of a history.
  s.ConstantOutdoorConc = "N";
  s.NumOutdoorConcPoints = static_cast<int16_t>(1 + rng() % 4);
  float t = 0;
  for (int i = 1; i <= s.NumOutdoorConcPoints; ++i) {
    if (i > 1) {
      t = OffGrid(rng, t + 0.5, t + hours / 3);
      s.OutdoorConcTime[i] = t;
      c.switches.push_back(t);
    }
    for (int p = 0; p < np; ++p) s.OutdoorConc[i][p] = chance(0.3) ? 0.0F : pick(0, 2);
  }
  // Rooms joined in a chain with a few doors across; each room's natural flows balance.
  for (int r = 1; r <= n; ++r) {
    b.RoomList[r].Volume = pick(5, 80);
    for (int p = 0; p < np; ++p) s.InitialConc[r][p] = chance(0.5) ? pick(0, 5) : 0.0F;
  }
  for (int r = 1; r < n; ++r) {
    for (int j = r + 1; j <= n; ++j) {
      if (j != r + 1 && !chance(0.2)) continue;
      b.Neighbors[r][j] = b.Neighbors[j][r] = kTrue;
      s.NaturalRoomFlows[r][j] = pick(0, 60);
      s.NaturalRoomFlows[j][r] = pick(0, 60);
    }
  }
  for (int r = 1; r <= n; ++r) {
    float in = 0;
    float out = 0;
    for (int j = 1; j <= n; ++j) {
      in += s.NaturalRoomFlows[j][r];
      out += s.NaturalRoomFlows[r][j];
    }
    const float base = r == 1 || chance(0.7) ? pick(2, 50) : 0.0F;
    s.NaturalFromOutdoors[r] = base + std::max(0.0F, out - in);
    s.NaturalToOutdoors[r] = base + std::max(0.0F, in - out);
  }
  // An HVAC system of any type, with a filter of a capacity it may reach.
  if (chance(0.6)) {
    s.HVACType = static_cast<int32_t>(1 + rng() % 4);
    s.HVACFilterType = 9;
    s.FilterCapacity = chance(0.5) ? pick(0.5, 30) : 1e9F;
    float returned = 0;
    for (int r = 1; r <= n; ++r) {
      if (!chance(0.7)) continue;
      s.HVACSupply[r] = s.HVACReturn[r] = pick(10, 150);
      returned += s.HVACReturn[r];
    }
    s.HVACOutdoorAirTotal = s.HVACMakeUpTotal = chance(0.7) ? pick(0, returned) : 0.0F;
    for (int p = 0; p < np; ++p) s.FilterPenetration[0][p] = pick(0.2, 0.95);
  }
  for (int r = 1; r <= n; ++r) {
    if (chance(0.3)) {
      s.AirCleanerEff[r] = pick(10, 90);
      s.AirCleanerFlow[r] = pick(0.5, 5);
    }
    s.NumSinks[r] = static_cast<int16_t>(rng() % 3);
    for (int k = 1; k <= s.NumSinks[r]; ++k) {
      SinkRecord& sink = s.Sinks[r][k];
      sink.Area = pick(1, 40);
      for (int p = 0; p < np; ++p) {
        sink.ka[p] = pick(0, 1);
        sink.kd[p] = pick(0, 2);
      }
    }
    s.NumSources[r] = static_cast<int16_t>(rng() % 4);
    for (int k = 1; k <= s.NumSources[r]; ++k) {
      SourceRecord& src = s.Sources[r][k];
      const int models[] = {0, 1, 2, 4, 6};
      src.Model = static_cast<int16_t>(models[rng() % 5]);
      src.Size = pick(0.5, 5);
      src.NumCycles = static_cast<int16_t>(1 + rng() % 2);
      src.CycleRepeats = chance(0.3) ? "D" : "N";
      float on = OffGrid(rng, 0, hours / 3);
      for (int cycle = 1; cycle <= src.NumCycles; ++cycle) {
        src.TimeOn[cycle] = on;
        src.TimeOff[cycle] = OffGrid(rng, on + 0.3, on + hours / 3);
        on = OffGrid(rng, src.TimeOff[cycle] + 0.2, src.TimeOff[cycle] + 3);
      }
      if (src.CycleRepeats == "D" && src.TimeOff[src.NumCycles] > 23.5F) src.CycleRepeats = "N";
      for (int p = 0; p < np; ++p) {
        auto& q = src.Params;
        switch (src.Model) {
          case 0:  // C0, k1, M01, -, k2, M02
            q[0][p] = pick(1, 20);
            q[1][p] = pick(0.1, 3);
            q[2][p] = pick(5, 200);
            q[4][p] = chance(0.5) ? pick(0.05, 1) : 0.0F;
            q[5][p] = q[4][p] > 0 ? pick(5, 200) : 0.0F;
            break;
          case 1:  // up to three decays
            q[0][p] = pick(0, 100);
            q[1][p] = pick(0, 3);
            if (chance(0.4)) {
              q[2][p] = pick(0, 50);
              q[3][p] = pick(0, 10);
            }
            if (chance(0.4)) {
              q[4][p] = pick(0, 30);
              q[5][p] = pick(0, 5);
            }
            break;
          case 2:  // R0, k1
            q[0][p] = pick(1, 100);
            q[1][p] = pick(0.001, 0.2);
            break;
          case 4:  // Alpha, P1
            q[0][p] = pick(1, 50);
            q[1][p] = pick(0.2, 1.5);
            break;
          default:  // a cubic in the run time that stays positive over the run
            q[0][p] = pick(1, 50);
            q[1][p] = pick(-q[0][p] / (2 * hours), 1);
            q[2][p] = chance(0.5) ? pick(0, 0.05) : 0.0F;
            if (chance(0.5)) q[3][p] = pick(-q[0][p] / (4 * hours * hours * hours), 0.002);
            break;
        }
      }
    }
  }
  // Every switch of every source over the run, the start of every R/T source included.
  for (int r = 1; r <= n; ++r) {
    for (int k = 1; k <= s.NumSources[r]; ++k) {
      const SourceRecord& src = s.Sources[r][k];
      for (double day = 0; day < hours; day += 24) {
        for (int cycle = 1; cycle <= src.NumCycles; ++cycle) {
          c.switches.push_back(static_cast<float>(day + src.TimeOn[cycle]));
          c.switches.push_back(static_cast<float>(day + src.TimeOff[cycle]));
          if (src.Model == 4)
            c.switches.push_back(static_cast<float>(day + src.TimeOn[cycle]) + kRTStart);
        }
        if (src.CycleRepeats[0] != 'D') break;
      }
    }
  }
  std::sort(c.switches.begin(), c.switches.end());
  return c;
}

struct Worst {
  double record = 0;  // the largest error of a record, as a share of its room's peak
  double totals = 0;  // the largest error of a total, as a share of what it balances
};

class RandomBuildingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("quarn-random-" + std::to_string(::getpid()));
    settings_.temp_folder_name = (folder_ / "tmp").string();
    settings_.step_adjust_factor = 1;
    settings_.max_concentration = 100;
  }
  void TearDown() override { fs::remove_all(folder_); }

  Worst Check(Case& c, float step, const std::string& what) {
    BuildingRecord& b = c.building;
    b.Scenario.StepSize = step;
    testing::ScriptedPrompt prompt;
    Recorder rec;
    const RunOutcome outcome = RunConcentrationCalculation(b, settings_, prompt, rec);
    EXPECT_EQ(outcome, RunOutcome::Completed) << what;
    if (outcome != RunOutcome::Completed || rec.records.empty()) return {};
    const ScenarioRecord& s = b.Scenario;
    const int n = b.NumRooms;
    const int np = s.NumPollutants;
    Worst worst;
    std::vector<double> cleaned(static_cast<std::size_t>(n + 1), 0.0);
    double scales = 0;      // what each pollutant's balance weighs, summed
    double unbalanced = 0;  // the run's totals less what they must add up to
    for (int p = 0; p < np; ++p) {
      Reference ref(b, p);
      ref.capacity = s.FilterCapacity;
      if (!(CapacityLimited(s.HVACType))) ref.capacity = 1e300;
      const Layout& layout = ref.layout();
      std::vector<double> y(static_cast<std::size_t>(layout.Size()), 0.0);
      for (int r = 1; r <= n; ++r) y[r - 1] = s.InitialConc[r][p];
      double initial = 0;
      for (int r = 1; r <= n; ++r) initial += y[r - 1] * b.RoomList[r].Volume;
      ref.SwitchOn(0, y);
      // The reference's values at every record, restarting at every switch.
      std::vector<std::vector<double>> at;
      double t = 0;
      std::size_t next_switch = 0;
      for (const auto& r : rec.records) {
        const double until = r.time;
        while (next_switch < c.switches.size() && c.switches[next_switch] <= until) {
          const double sw = c.switches[next_switch++];
          if (sw <= t) continue;
          Integrate(ref, t, sw, y);
          t = sw;
          ref.SwitchOn(t, y);
        }
        if (until > t) Integrate(ref, t, until, y);
        t = std::max(t, until);
        at.push_back(y);
      }
      std::vector<double> peak(static_cast<std::size_t>(n + 1), 1e-9);
      for (const auto& v : at)
        for (int r = 1; r <= n; ++r) peak[r] = std::max(peak[r], std::fabs(v[r - 1]));
      for (std::size_t i = 0; i < at.size(); ++i) {
        for (int r = 1; r <= n; ++r) {
          const double got = rec.records[i].conc[static_cast<std::size_t>(r * np + p)];
          const double off = std::fabs(got - at[i][r - 1]) / peak[r];
          if (off > worst.record) worst.record = off;
        }
      }
      // The totals of the run against the reference's.
      const std::vector<double>& end = at.back();
      const int base = layout.Totals();
      double air = 0;
      for (int r = 1; r <= n; ++r) air += end[r - 1] * b.RoomList[r].Volume;
      double sinks = 0;
      for (std::size_t i = 0; i < layout.sinks.size(); ++i)
        sinks += end[layout.Sink(static_cast<int>(i))] *
                 s.Sinks[layout.sinks[i].first][layout.sinks[i].second].Area;
      // The layers emitted what they were given less what they hold at the end.
      double layers = 0;
      for (std::size_t i = 0; i < layout.layers.size(); ++i)
        for (int layer : {1, 2})
          layers += end[layout.Layer(static_cast<int>(i), layer)] *
                    s.Sources[layout.layers[i].first][layout.layers[i].second].Size;
      const double emitted = end[base + Layout::kEmitted] + ref.layers_given - layers;
      const double came_in = end[base + Layout::kFromOutdoors];
      const double scale =
          initial + ref.layers_given + std::fabs(end[base + Layout::kEmitted]) + came_in + 1e-9;
      scales += scale;
      const auto total = [&](double run, double want) {
        worst.totals = std::max(worst.totals, std::fabs(run - want) / scale);
      };
      total(s.TotalEmitted[p], emitted);
      total(s.AirborneMass[p], air);
      total(s.SinkMass[p], sinks);
      total(s.LeavingMass[p], end[base + Layout::kLeft]);
      total(s.AirCleanerMass[p], end[base + Layout::kFiltered]);
      for (int r = 1; r <= n; ++r) cleaned[r] += end[layout.Cleaned(r)];
      unbalanced += s.AirborneMass[p] + s.SinkMass[p] + s.LeavingMass[p] + s.AirCleanerMass[p] -
                    s.TotalEmitted[p] - initial - came_in;
    }
    // The run keeps each room's air cleaner's take over all pollutants.
    for (int r = 1; r <= n; ++r) {
      worst.totals =
          std::max(worst.totals, std::fabs(s.AirCleanerCollected[r] - cleaned[r]) / scales);
      unbalanced += s.AirCleanerCollected[r];
    }
    // What is in the air and the sinks, has left, was cleaned or filtered is what was there,
    // was emitted or came in, by the run's figures alone: what came in from outdoors depends
    // on the inputs, not on the rooms.
    worst.totals = std::max(worst.totals, std::fabs(unbalanced) / scales);
    return worst;
  }

  fs::path folder_;
  RunSettings settings_;
};

TEST_F(RandomBuildingsTest, EveryRecordAndTotalFollowsTheContinuousMassBalance) {
  int cases = kDefaultCases;
  if (const char* v = std::getenv("QUARN_RANDOM_CASES")) cases = std::max(1, std::atoi(v));
  std::mt19937 rng(20261210);
  const float steps[] = {0.05F, 0.1F, 0.25F, 0.5F, 1.0F};
  Worst fine;
  Worst coarse;
  for (int i = 0; i < cases; ++i) {
    const float step = steps[static_cast<std::size_t>(i) % 5];
    Case c = RandomCase(rng, 30);
    const std::string what = "case " + std::to_string(i) + " at " + std::to_string(step) + " h";
    SCOPED_TRACE(what);
    const Worst w = Check(c, step, what);
    Worst& kept = step <= 0.1F ? fine : coarse;
    kept.record = std::max(kept.record, w.record);
    kept.totals = std::max(kept.totals, w.totals);
    EXPECT_LT(w.record, step <= 0.1F ? 1e-3 : 1e-2);
    EXPECT_LT(w.totals, 1e-4);
  }
  std::printf("worst record %.3g %% of the peak up to 0.1 h steps, %.3g %% above; totals %.3g %%\n",
              100 * fine.record, 100 * coarse.record, 100 * std::max(fine.totals, coarse.totals));
}

}  // namespace
}  // namespace quarn
