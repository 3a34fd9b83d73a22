#include "model/concentration_run.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <limits>
#include <memory>
#include <vector>

#include "model/air_cleaners.h"
#include "model/average_exposure.h"
#include "model/flow_setup.h"
#include "model/hvac.h"
#include "model/input_checks.h"
#include "model/mass_balance.h"
#include "model/room_stepper.h"
#include "model/run_clock.h"
#include "model/settings.h"
#include "model/source_checks.h"
#include "model/source_schedule.h"
#include "model/source_state.h"
#include "model/unit_conversion.h"
#include "model/work_file.h"
#include "model/working_flows.h"
#include "text/number_read.h"
#include "text/number_text.h"
#include "text/paths.h"
#include "text/work_folder.h"

namespace quarn {
namespace {

constexpr float kNever = 1e30F;
constexpr float kLongestStep = 24;  // h
constexpr float kRecordChange = 0.02F;
constexpr int kGrowthCheckEvery = 200;

// Error numbers of the run's error message, as the program has always reported them.
constexpr int kErrOverflow = 6;
constexpr int kErrDivisionByZero = 11;

bool FlagIs(const FixedString<1>& flag, char c) {
  return std::toupper(static_cast<unsigned char>(flag[0])) == c;
}

// Where a ventilation or HVAC history stands. Point 1 holds from time 0; point i from
// cycle start + time(i). The points in use end at the first later time that is not above 0.
// A history of at least two points that cycles starts its next cycle when its last point is
// reached: that point stays in force until the next cycle's point 2, as the schedule windows
// describe the cycle. A single point, or a history that does not cycle, holds its last point.
class HistoryCursor {
 public:
  void Start(const History& times, bool cycling) {
    count_ = 1;
    while (count_ < kMaxHistory && times[count_ + 1] > 0) ++count_;
    cycles_ = cycling && count_ >= 2;
    position_ = 1;
    in_force_ = 1;
    base_ = 0;
    next_ = count_ >= 2 ? times[2] : kNever;
  }
  // Moves to the point in force at time t; true when it changed.
  bool Advance(float t, const History& times) {
    bool changed = false;
    while (t >= next_) {
      changed = true;
      in_force_ = ++position_;
      if (position_ < count_) {
        next_ = base_ + times[position_ + 1];
      } else if (cycles_ && next_ > base_) {
        base_ = next_;
        position_ = 1;
        next_ = base_ + times[2];
      } else {
        next_ = kNever;
      }
    }
    return changed;
  }
  int InForce() const { return in_force_; }
  float Next() const { return next_; }

 private:
  int count_ = 1;
  bool cycles_ = false;
  int position_ = 1;
  int in_force_ = 1;
  float base_ = 0;
  float next_ = kNever;
};

// When an occupant changes room: its start and end, and every entry and leaving of its
// pattern, which repeats every cycle from the start; and where each of its averaging windows
// ends. The run writes a record at each, so that an occupant's exposure, and what it gains
// over a window, sum what the run computed between records, in one room each.
struct OccupantTimes {
  double start = 0;
  double end = 0;
  double cycle = 0;
  std::vector<double> offsets;  // within a cycle, sorted
  double window = 0;            // the averaging time, 0 when no averages are formed

  static OccupantTimes Of(const ScenarioRecord& s, const OccupantRecord& o) {
    OccupantTimes times;
    times.start = o.StartTime;
    times.end = o.EndTime;
    // The pattern as the exposure walk will take it, whatever its stored cycle and count
    // (which only the walk sets).
    times.cycle = ActivityCycle(o);
    if (AveragingTimeGivesWindows(s, o.AveragingTime)) times.window = o.AveragingTime;
    for (int i = 1; i <= ActivityEntries(o); ++i) {
      times.offsets.push_back(o.TimeEnter[i]);
      times.offsets.push_back(o.TimeLeave[i]);
    }
    std::sort(times.offsets.begin(), times.offsets.end());
    return times;
  }
  double NextAfter(double t) const {
    if (t < start) return start;
    if (!(t < end)) return std::numeric_limits<double>::max();
    double next = end;
    if (cycle > 0 && !offsets.empty()) {
      const double base = start + std::floor((t - start) / cycle) * cycle;
      for (double cycle_start : {base, base + cycle}) {
        for (double offset : offsets) {
          const double at = cycle_start + offset;
          if (at > t) {
            next = std::min(next, at);
            break;
          }
        }
      }
    }
    // The windows are counted from time 0.
    if (window > 0) next = std::min(next, (std::floor(t / window) + 1) * window);
    return next;
  }
};

class ConcentrationRun {
 public:
  ConcentrationRun(BuildingRecord& building, const RunSettings& settings, Prompt& prompt,
                   RunObserver& observer)
      : building_(building),
        scenario_(building.Scenario),
        settings_(settings),
        prompt_(prompt),
        observer_(observer),
        num_rooms_(RoomCount(building)),
        num_pollutants_(PollutantCount(building.Scenario)) {}

  RunOutcome Run();

 private:
  bool SetUp();
  bool OpenWorkFile();
  void StartStepping();
  void ScheduleFlows(double look);
  void SupplyAir();
  StepStatus Step();
  void Record(float time);
  double NextChange(double after) const;
  double NextHistoryChange() const;
  double NextOccupantChange(double after) const;
  void MassUnits();
  bool Steady() const;
  RunOutcome Finish(RunOutcome outcome);
  void RunError(int number);

  BuildingRecord& building_;
  ScenarioRecord& scenario_;
  const RunSettings& settings_;
  Prompt& prompt_;
  RunObserver& observer_;
  const int num_rooms_;
  const int num_pollutants_;

  // Flows, sources, sinks, HVAC and concentrations as they stand during the run.
  WorkingFlows flows_;
  SourceStates sources_;
  SinkMasses sinks_{};
  HVACState hvac_;
  HVACMixing mixing_;  // how the HVAC system joins the rooms in the step in hand
  // What mixing_ was worked out from, when it supplies air: most steps change none of it.
  MixingInputs mixed_from_;
  bool mixing_kept_ = false;
  PerPollutant<float> supply_conc_{};  // the HVAC supply concentration the rooms receive
  // Concentration per mass unit (or particle) per m³ of each pollutant, and its inverse for
  // the totals the progress window shows.
  PerPollutant<float> conc_per_mass_{};
  PerPollutant<float> mass_per_conc_{};
  RemovalTerms terms_;
  RoomArrays arrays_;
  SwitchTimes switches_;
  std::unique_ptr<RoomStepper> stepper_;

  // Schedules.
  HistoryCursor vent_history_;
  HistoryCursor hvac_history_;
  bool vent_follows_history_ = false;
  bool hvac_follows_history_ = false;
  bool has_managed_period_ = false;
  bool in_managed_period_ = false;
  float vent_rate_ = 0;      // air changes per hour in force
  float hvac_fraction_ = 1;  // HVAC-history fraction in force

  float step_adjust_ = 1;  // growth of a steady step
  std::unique_ptr<RunClock> clock_;
  float run_end_time_ = 0;
  float change_threshold_ = kRecordChange;
  bool after_change_ = true;
  bool output_due_ = false;
  bool finished_ = false;
  bool stop_requested_ = false;
  bool write_failed_ = false;
  int32_t record_count_ = 0;
  float last_record_time_ = 0;
  // What each room breathed since the last record, concentration × h (room 0 outdoors).
  RoomPollutant breathed_{};
  std::vector<OccupantTimes> occupants_;

  ConcentrationFormats formats_;  // of the progress window's totals and chart
  std::unique_ptr<ResultsBuffer> buffer_;
  std::unique_ptr<WorkFileWriter> file_;
};

bool ConcentrationRun::SetUp() {
  formats_ = GetConcentrationFormats(scenario_.ConcUnits).value_or(ConcentrationFormats{});
  step_adjust_ = settings_.step_adjust_factor;
  if (step_adjust_ == 0) {
    step_adjust_ = 1;
  } else if (!(step_adjust_ >= 1)) {
    // A factor below 1 would shrink the step at every growth check and never finish.
    prompt_.Message("The step growth factor must be at least 1.  The run uses 1.", "Warning",
                    MessageIcon::Exclamation);
    step_adjust_ = 1;
  }
  if (!SetupUnitsForCalculation(building_, prompt_)) return false;
  if (!CheckSourcesBeforeRun(building_, prompt_)) return false;
  MassUnits();
  for (int r = 1; r <= num_rooms_; ++r) {
    if (!(building_.RoomList[r].Volume > 0)) {
      RunError(kErrDivisionByZero);
      return false;
    }
  }

  sources_ = MakeSourceStates(scenario_);
  StartWorkingFlows(scenario_, flows_);
  ResetAccumulators(building_, flows_, sources_, sinks_);
  const bool flows_given = ClearResultArrays(arrays_.room_mass, building_);
  if (!flows_given) {
    const float rate =
        FlagIs(scenario_.ConstantACH, 'Y') ? scenario_.OverallACH : scenario_.VentRate[1];
    SetOutdoorFlowsFromACH(building_, num_rooms_, rate, flows_);
  }
  SetupAirCleaners(scenario_, flows_, prompt_);
  return CheckFlowBalance(building_, flows_, prompt_);
}

// Sources emit in the scenario's mass unit (mg for a ppm scenario, particles for a particle
// one), which the rooms need as a concentration: ppm through the molecular weight, particles
// per m³ as particles per cm³.
void ConcentrationRun::MassUnits() {
  for (int p = 0; p < num_pollutants_; ++p) {
    float per_mass = 1;
    if (scenario_.ConcUnits == kPpm) {
      per_mass = ConvertConcentrationUnits(kMilligrams, kPpm, 1.0F, scenario_.Pollutants[p])
                     .value_or(per_mass);
    } else if (scenario_.ConcUnits == kNumber) {
      per_mass = 1e-6F;
    }
    conc_per_mass_[p] = per_mass;
    mass_per_conc_[p] = scenario_.ConcUnits == kNumber ? 1e6F : 1 / per_mass;
  }
}

bool ConcentrationRun::OpenWorkFile() {
  std::string reason;
  const std::string& setting = settings_.temp_folder_name;
  const std::optional<std::string> folder = WorkFolderOf(setting, &reason);
  if (!folder) {
    prompt_.Message(WorkFolderRefusal(reason), "ERROR", MessageIcon::None);
    return false;
  }
  const std::string path = JoinPath(*folder, SafeFileName(building_.MasterFile) + "SEN.TMP");
  file_ = std::make_unique<WorkFileWriter>();
  if (!file_->Create(path, &reason)) {
    file_.reset();
    prompt_.Message(WorkFileFailure(path, reason), "ERROR", MessageIcon::None);
    return false;
  }
  building_.ConcWorkFile = path;
  return true;
}

void ConcentrationRun::StartStepping() {
  SetInitialConcentrations(arrays_.room_mass, arrays_.new_conc, arrays_.conc, building_,
                           num_rooms_);
  RoomFlowTerms(building_, num_rooms_, 1.0F, flows_, supply_conc_);
  SetupRoomMassTerms(building_, sources_);
  switches_ = CollectSwitchOnTimes(building_);
  run_end_time_ = scenario_.YearsSimulated * 24 * 365;

  if (!(scenario_.StepSize > 0)) scenario_.StepSize = 0.1F;
  clock_ = std::make_unique<RunClock>(scenario_.StepSize, kLongestStep, run_end_time_,
                                      0.001 * static_cast<double>(scenario_.StepSize));
  LoadRoomFlowArrays(building_, num_rooms_, arrays_, supply_conc_);

  vent_follows_history_ = FlagIs(scenario_.ConstantACH, 'N');
  vent_history_.Start(scenario_.VentTime, !FlagIs(scenario_.VentScheduleFlag, 'N'));
  if (vent_follows_history_) {
    vent_rate_ = scenario_.VentRate[1];
    SetOutdoorFlowsFromACH(building_, num_rooms_, vent_rate_, flows_);
  } else {
    vent_rate_ =
        ScaledArraySum(flows_.natural_from_outdoors, num_rooms_, building_.TotalRoomVolume);
  }
  hvac_follows_history_ = FlagIs(scenario_.ConstantHVAC, 'N');
  hvac_history_.Start(scenario_.HVACHistoryTime, !FlagIs(scenario_.HVACHistoryCycle, 'N'));
  hvac_fraction_ = hvac_follows_history_ ? scenario_.HVACHistoryFraction[1] : 1.0F;
  RoomFlowTerms(building_, num_rooms_, hvac_fraction_, flows_, supply_conc_);
  has_managed_period_ = ManagedPeriodEnd(scenario_) > 0;
  SumRoomFlows(building_, flows_);

  // Outdoors holds the outdoor concentration in force from the start.
  StepBookkeeping(0, scenario_, terms_.current_outdoor_conc);
  for (int p = 0; p < num_pollutants_; ++p)
    arrays_.conc[0][p] = arrays_.new_conc[0][p] = terms_.current_outdoor_conc[p];
  SetRemovalTerms(building_, num_rooms_, flows_, terms_);
  stepper_ = std::make_unique<RoomStepper>(building_, conc_per_mass_, settings_.systems_kept);
  for (int o = 1; o <= OccupantCount(scenario_); ++o)
    occupants_.push_back(OccupantTimes::Of(scenario_, scenario_.Occupants[o]));
}

// look is the step's start nudged by the switch tolerance: what the schedules compare.
void ConcentrationRun::ScheduleFlows(double look) {
  const auto t = static_cast<float>(look);
  // A grown step goes back to the smallest two steps ahead of a change of the flows, so
  // that every change is approached with the step the user typed.
  clock_->CutBackAhead(NextHistoryChange(), 2);
  if (vent_follows_history_ && vent_history_.Advance(t, scenario_.VentTime)) {
    vent_rate_ = scenario_.VentRate[vent_history_.InForce()];
    SetOutdoorFlowsFromACH(building_, num_rooms_, vent_rate_, flows_);
    SumRoomFlows(building_, flows_);
  }
  if (hvac_follows_history_ && hvac_history_.Advance(t, scenario_.HVACHistoryTime)) {
    hvac_fraction_ = scenario_.HVACHistoryFraction[hvac_history_.InForce()];
    RoomFlowTerms(building_, num_rooms_, hvac_fraction_, flows_, supply_conc_);
    SumRoomFlows(building_, flows_);
  }
  // The managed flow set replaces the HVAC and natural flows from the start of its period
  // to its end; leaving the period brings back the flows in force.
  const bool managed = has_managed_period_ && ManagedPeriodStart(scenario_) <= look &&
                       look < static_cast<double>(ManagedPeriodEnd(scenario_));
  if (managed) {
    CopyScenarioFlows(building_, num_rooms_, flows_);
  } else if (in_managed_period_) {
    RoomFlowTerms(building_, num_rooms_, hvac_fraction_, flows_, supply_conc_);
    SumRoomFlows(building_, flows_);
  }
  in_managed_period_ = managed;
}

void ConcentrationRun::SupplyAir() {
  // A fraction of 0 switches the whole system off, unless the history scales only its
  // outdoor air: then the return air still circulates and is supplied back to the rooms.
  const bool switched_off = hvac_fraction_ == 0 && scenario_.HVACHistoryOutdoorOnly == 0;
  const bool running = in_managed_period_ || (flows_.hvac_in_use && !switched_off);
  if (!running) {
    hvac_.supply_conc.fill(0);
    supply_conc_.fill(0);
    mixing_ = HVACMixing{};
    mixing_kept_ = false;
    return;
  }
  const MixingInputs inputs = MixingInputsOf(scenario_, flows_, terms_.current_outdoor_conc, hvac_);
  if (mixing_kept_ && SameMixingInputs(inputs, mixed_from_)) return;
  // The sources installed in the system reach the rooms through the step's own system (its
  // supply per emission), so the mixing itself carries only the outdoor intake, taken at the
  // outdoor value of the step it supplies.
  mixing_ = MixHVAC(scenario_, num_rooms_, flows_, terms_.current_outdoor_conc,
                    PerPollutant<float>{}, hvac_);
  // A system that supplies nothing keeps the supply of the step before, which changes.
  mixed_from_ = inputs;
  mixing_kept_ = mixing_.per_emission != 0;
}

StepStatus ConcentrationRun::Step() {
  const double start = clock_->Now();
  const double look = start + clock_->Tolerance();
  if (stop_requested_) finished_ = true;
  ScheduleFlows(look);
  const double next_change = NextChange(look);
  const RunClock::Plan plan = clock_->Next(next_change);
  StepBookkeeping(static_cast<float>(look), scenario_, terms_.current_outdoor_conc);
  SupplyAir();
  SetRemovalTerms(building_, num_rooms_, flows_, terms_);

  RoomStepper::Step step;
  step.start = start;
  step.length = plan.Length();
  step.regular = plan.regular;
  step.step_size = scenario_.StepSize;
  step.change_threshold = change_threshold_;
  step.after_change = after_change_;
  step.next_change = next_change;
  const RoomStepper::Outcome outcome = stepper_->Advance(
      building_, flows_, terms_, mixing_, hvac_, step, sources_, sinks_, arrays_, output_due_);
  if (outcome.status != StepStatus::Ok) return outcome.status;
  const double dt = outcome.taken;
  // The HVAC system took from the rooms' air as it was along the step.
  AccumulateHVAC(mixing_, num_rooms_, num_pollutants_, arrays_.step_integral,
                 static_cast<float>(dt), hvac_, scenario_.LeavingMass);
  for (int p = 0; p < num_pollutants_; ++p)
    if (outcome.filled[p])
      hvac_.filter_mass[p] = std::max(hvac_.filter_mass[p], scenario_.FilterCapacity);
  hvac_.supply_conc = supply_conc_ =
      SupplyConcentration(mixing_, num_rooms_, num_pollutants_, arrays_.new_conc);
  // The step ended where it was planned to, or earlier where something within it ended it.
  const bool whole = dt == plan.Length();
  const double end_time = whole ? plan.end : start + dt;
  const bool last_step = plan.last && whole;
  // The next step starts where something may change: on a change of an input the plan
  // stopped at, or where the step itself was cut short.
  after_change_ = plan.at_change || !whole || !plan.regular;
  clock_->Taken(plan, end_time);

  // The step's concentrations hold at its end, where the outdoor value may have changed.
  const float end = clock_->Time();
  PerPollutant<float> outdoor{};
  StepBookkeeping(static_cast<float>(clock_->Now() + clock_->Tolerance()), scenario_, outdoor);
  for (int p = 0; p < num_pollutants_; ++p) arrays_.new_conc[0][p] = outdoor[p];
  RoomBookkeeping(building_, flows_, static_cast<float>(dt), arrays_);
  for (int p = 0; p < num_pollutants_; ++p)
    breathed_[0][p] += terms_.current_outdoor_conc[p] * static_cast<float>(dt);
  for (int r = 1; r <= num_rooms_; ++r)
    for (int p = 0; p < num_pollutants_; ++p) breathed_[r][p] += arrays_.step_integral[r][p];

  if (clock_->IntervalPassed(start)) output_due_ = true;
  // The records show every change of an input where it happens: a curve's corners are
  // where the run turned them, and what is read back between records follows the run.
  if (plan.at_change && whole) output_due_ = true;
  if (last_step) output_due_ = finished_ = true;
  if (output_due_) Record(end);
  if (start > run_end_time_) finished_ = true;

  // A grown step is cut back to the smallest ahead of anything that changes the inputs, so
  // that no source's on-period and no schedule change is stepped over.
  clock_->CutBackAhead(NextChange(clock_->Now() + clock_->Tolerance()), 1);
  clock_->StepDone();
  return StepStatus::Ok;
}

bool ConcentrationRun::Steady() const {
  const auto before = buffer_->Record(buffer_->Count() - 2);
  const auto now = buffer_->Record(buffer_->Count() - 1);
  for (std::size_t i = 0; i < now.size(); ++i) {
    const float prev = before[i];
    if (!(prev <= 1e-5F || std::fabs(prev - now[i]) / prev < 0.05F)) return false;
  }
  return true;
}

void ConcentrationRun::Record(float time) {
  output_due_ = false;
  change_threshold_ = kRecordChange;
  ++record_count_;
  last_record_time_ = time;
  const int index = buffer_->Count();
  std::span<float> record = buffer_->Add(time);
  const std::span<float> integrals = buffer_->Integrals(index);
  std::size_t i = 0;
  for (int r = 0; r <= num_rooms_; ++r) {
    for (int p = 0; p < num_pollutants_; ++p, ++i) {
      record[i] = arrays_.new_conc[r][p];
      integrals[i] = breathed_[r][p];
    }
    breathed_[r].fill(0);
  }

  RunRecordInfo info;
  info.time = time;
  info.concentrations = record;
  if (num_pollutants_ > 0) {
    // The run keeps sink, leaving and airborne totals as concentration × m³; the window shows
    // them in the unit of what was emitted.
    info.total_emitted = scenario_.TotalEmitted[0];
    info.sink_mass = scenario_.SinkMass[0] * mass_per_conc_[0];
    info.leaving = scenario_.LeavingMass[0] * mass_per_conc_[0];
    info.airborne_mass =
        scenario_.AirborneMass[num_pollutants_ - 1] * mass_per_conc_[num_pollutants_ - 1];
    if (building_.TotalRoomVolume > 0) {
      info.has_average = true;
      info.average_concentration =
          scenario_.AirborneMass[num_pollutants_ - 1] / building_.TotalRoomVolume;
    }
  }
  info.hvac_fraction = hvac_fraction_;
  info.vent_rate = vent_rate_;
  observer_.RecordWritten(info);

  // A run that has been steady for a while may take longer steps.
  if (index > 0 && index % kGrowthCheckEvery == 0 && Steady()) clock_->Grow(step_adjust_);
  clock_->Recorded();
  if (buffer_->Full()) {
    if (!file_->WriteResultsBlock(*buffer_, settings_.data_separator)) write_failed_ = true;
    clock_->Halve();
  }
}

// The first time after `after` at which some input changes: a source switches, a schedule
// moves to its next point, the managed period begins or ends, the outdoor air changes.
double ConcentrationRun::NextChange(double after) const {
  const double t = after;
  double next =
      std::min({NextSwitchTime(switches_, t), NextHistoryChange(), NextOccupantChange(t)});
  if (has_managed_period_) {
    if (ManagedPeriodStart(scenario_) > t)
      next = std::min<double>(next, ManagedPeriodStart(scenario_));
    if (ManagedPeriodEnd(scenario_) > t) next = std::min<double>(next, ManagedPeriodEnd(scenario_));
  }
  if (!FlagIs(scenario_.ConstantOutdoorConc, 'Y')) {
    const int n = std::clamp<int>(scenario_.NumOutdoorConcPoints, 1, kMaxHistory);
    for (int i = 2; i <= n; ++i)
      if (scenario_.OutdoorConcTime[i] > t)
        next = std::min<double>(next, scenario_.OutdoorConcTime[i]);
  }
  return next;
}

double ConcentrationRun::NextOccupantChange(double after) const {
  double next = std::numeric_limits<double>::max();
  for (const OccupantTimes& o : occupants_) next = std::min(next, o.NextAfter(after));
  return next;
}

// The next point of the ventilation or HVAC history.
double ConcentrationRun::NextHistoryChange() const {
  double next = std::numeric_limits<double>::max();
  if (vent_follows_history_) next = std::min<double>(next, vent_history_.Next());
  if (hvac_follows_history_) next = std::min<double>(next, hvac_history_.Next());
  return next;
}

void ConcentrationRun::RunError(int number) {
  prompt_.Message(
      "Error. " + FormatDouble(number) + " Check data input. Probable 0 sink area or no run time.",
      "ERROR", MessageIcon::None);
}

RunOutcome ConcentrationRun::Finish(RunOutcome outcome) {
  scenario_.ExposureCompareTime = clock_->Time();
  bool written = file_->WriteResultsBlock(*buffer_, settings_.data_separator);
  written = file_->Finish() && written;
  scenario_.NumOutputRecords = record_count_;
  scenario_.LastOutputTime = last_record_time_;
  for (int r = 1; r <= num_rooms_; ++r) scenario_.PeakConc[r] = arrays_.room_peak[r];
  scenario_.AirCleanerMass = hvac_.filter_mass;
  if (!written && outcome != RunOutcome::Failed) {
    // A full disk or a lost share is no fault of the data: the file and the system's reason.
    prompt_.Message(file_->Failure(), "ERROR", MessageIcon::None);
    outcome = RunOutcome::Failed;
  }
  observer_.RunEnded(outcome);
  return outcome;
}

RunOutcome ConcentrationRun::Run() {
  if (!SetUp()) return RunOutcome::Failed;
  StartStepping();
  buffer_ = std::make_unique<ResultsBuffer>((num_rooms_ + 1) * num_pollutants_);
  if (!OpenWorkFile()) return RunOutcome::Failed;

  RunStartInfo start;
  start.end_time = run_end_time_;
  start.max_concentration = static_cast<float>(settings_.max_concentration);
  start.num_rooms = num_rooms_;
  start.num_pollutants = num_pollutants_;
  start.mass_format = formats_.mass;
  start.conc_format = formats_.conc;
  observer_.RunStarted(start);
  if (!(run_end_time_ > 0) || settings_.max_concentration == 0)
    prompt_.Message(
        "Check scenario input.  You probably have not entered information on how long you "
        "want the simulation to run.",
        "", MessageIcon::None);

  while (!finished_) {
    switch (Step()) {
      case StepStatus::Ok:
        break;
      case StepStatus::NegativeLoss:
        prompt_.Message("Error.  Scenario data not fully specified.", "Warning", MessageIcon::None);
        return Finish(RunOutcome::Failed);
      case StepStatus::NotFinite:
        RunError(kErrOverflow);
        return Finish(RunOutcome::Failed);
    }
    if (write_failed_) {
      prompt_.Message(file_->Failure(), "ERROR", MessageIcon::None);
      return Finish(RunOutcome::Failed);
    }
    if (observer_.StepDone(clock_->Time())) stop_requested_ = true;
  }
  return Finish(stop_requested_ ? RunOutcome::Stopped : RunOutcome::Completed);
}

}  // namespace

RunSettings RunSettingsFrom(const ProgramState& state) {
  RunSettings settings;
  settings.step_adjust_factor = state.StepAdjustFactor;
  settings.max_concentration = state.MaxConcentration;
  settings.temp_folder_name = JoinTempFolder({state.TempDrive, state.TempFolderName});
  settings.data_separator = state.DataSeparator;
  return settings;
}

RunOutcome RunConcentrationCalculation(BuildingRecord& building, const RunSettings& settings,
                                       Prompt& prompt, RunObserver& observer) {
  ConcentrationRun run(building, settings, prompt, observer);
  return run.Run();
}

}  // namespace quarn
