#include "model/concentration_run.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <memory>
#include <vector>

#include "model/air_cleaners.h"
#include "model/flow_setup.h"
#include "model/hvac.h"
#include "model/input_checks.h"
#include "model/mass_balance.h"
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
constexpr int kErrDiskFull = 61;

// The decimal number a Single shows at its seven digits: the step the user typed.
double DecimalValue(float value) {
  return ParseNumber(FormatSingle(value)).value_or(static_cast<double>(value));
}

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

class ConcentrationRun {
 public:
  ConcentrationRun(BuildingRecord& building, const RunSettings& settings, Prompt& prompt,
                   RunObserver& observer)
      : b_(building),
        s_(building.Scenario),
        settings_(settings),
        prompt_(prompt),
        observer_(observer),
        rooms_(RoomCount(building)),
        np_(PollutantCount(building.Scenario)) {}

  RunOutcome Run();

 private:
  bool SetUp();
  bool OpenWorkFile();
  void StartStepping();
  void ScheduleFlows(float look, float start);
  void SupplyAir(float t, float dt);
  StepStatus Step();
  void Record(float time);
  double NextChange(double after) const;
  void CutAhead();
  void AdvanceClock(float dt);
  void MassUnits();
  bool Steady() const;
  RunOutcome Finish(RunOutcome outcome);
  void RunError(int number);

  BuildingRecord& b_;
  ScenarioRecord& s_;
  const RunSettings& settings_;
  Prompt& prompt_;
  RunObserver& observer_;
  const int rooms_;
  const int np_;

  // Flows, sources, sinks, HVAC and concentrations as they stand during the run.
  WorkingFlows flows_;
  SourceStates sources_;
  SinkMasses sinks_{};
  HVACState hvac_;
  HVACMixing mixing_;             // how the HVAC system joins the rooms in the step in hand
  PerPollutant<float> supply_{};  // the HVAC supply concentration the rooms receive
  // Concentration per mass unit (or particle) per m³ of each pollutant, and its inverse for
  // the totals the progress window shows.
  PerPollutant<float> concPerMass_{};
  PerPollutant<float> massPerConc_{};
  RemovalTerms terms_;
  RoomArrays a_;
  SwitchTimes switches_;

  // Schedules.
  HistoryCursor vent_;
  HistoryCursor hvacHistory_;
  bool ventSchedule_ = false;
  bool hvacSchedule_ = false;
  bool managedPeriod_ = false;
  bool inManaged_ = false;
  float ventRate_ = 0;  // air changes per hour in force
  float fraction_ = 1;  // HVAC-history fraction in force

  // Stepping and output schedule.
  float stepAdjust_ = 1;
  float stepSize_ = 0.1F;  // the smallest step, the scenario's StepSize within the stable limit
  float longestStep_ = kLongestStep;
  float timeStep_ = 0.1F;
  // The clock counts whole steps of one size from the last change of step, each step taken
  // as the decimal number it shows (0.1, not 0.100000001), so that n steps reach n × step
  // exactly instead of drifting as a running Single sum does. simTime_ is the clock as a
  // Single, the time the models and the work file see.
  double clock_ = 0;
  double gridBase_ = 0;
  double gridStep_ = 0;
  float gridStepSingle_ = 0;
  int64_t gridSteps_ = 0;
  double tolerance_ = 0;  // a switch this close to a step boundary takes effect there
  bool grown_ = false;    // the step has grown: steps are shortened to end on every switch
  float simTime_ = 0;
  float runEndTime_ = 0;
  float outputMultiplier_ = 20;
  float outputBaseTime_ = 0;
  float nextOutputTime_ = 0;
  float changeThreshold_ = kRecordChange;
  bool outputDue_ = false;
  bool scheduleStepCut_ = false;
  bool stepCut_ = true;
  bool finished_ = false;
  bool stopRequested_ = false;
  bool writeFailed_ = false;
  int32_t recordCount_ = 0;
  float lastRecordTime_ = 0;

  std::string massFormat_;
  std::string concFormat_;
  std::unique_ptr<ResultsBuffer> buffer_;
  std::unique_ptr<WorkFileWriter> file_;
};

bool ConcentrationRun::SetUp() {
  GetConcentrationFormats(s_.ConcUnits, massFormat_, concFormat_);
  stepAdjust_ = settings_.StepAdjustFactor;
  if (stepAdjust_ == 0) {
    stepAdjust_ = 1;
  } else if (!(stepAdjust_ >= 1)) {
    // A factor below 1 would shrink the step at every growth check and never finish.
    prompt_.Message("The step growth factor must be at least 1.  The run uses 1.", "Warning",
                    MessageIcon::Exclamation);
    stepAdjust_ = 1;
  }
  if (!SetupUnitsForCalculation(b_, settings_.OutdoorConcInput, settings_.InitialConcInput,
                                prompt_))
    return false;
  if (!CheckSourcesBeforeRun(b_, prompt_)) return false;
  MassUnits();
  for (int r = 1; r <= rooms_; ++r) {
    if (!(b_.RoomList[r].Volume > 0)) {
      RunError(kErrDivisionByZero);
      return false;
    }
  }

  sources_ = MakeSourceStates(s_);
  StartWorkingFlows(s_, flows_);
  ResetAccumulators(b_, flows_, sources_, sinks_);
  const bool flowsGiven = ClearResultArrays(a_.RoomMass, b_);
  if (!flowsGiven) {
    const float rate = FlagIs(s_.ConstantACH, 'Y') ? s_.OverallACH : s_.VentRate[1];
    SetOutdoorFlowsFromACH(b_, rooms_, rate, flows_);
  }
  SetupAirCleaners(s_, flows_, prompt_);
  return CheckFlowBalance(b_, flows_, prompt_);
}

// Sources emit in the scenario's mass unit (mg for a ppm scenario, particles for a particle
// one), which the rooms need as a concentration: ppm through the molecular weight, particles
// per m³ as particles per cm³.
void ConcentrationRun::MassUnits() {
  for (int p = 0; p < np_; ++p) {
    float perMass = 1;
    if (s_.ConcUnits == kPpm) {
      ConvertConcentrationUnits(kMilligrams, kPpm, 1.0F, perMass, s_.Pollutants[p]);
    } else if (s_.ConcUnits == kNumber) {
      perMass = 1e-6F;
    }
    concPerMass_[p] = perMass;
    massPerConc_[p] = s_.ConcUnits == kNumber ? 1e6F : 1 / perMass;
  }
}

bool ConcentrationRun::OpenWorkFile() {
  std::string reason;
  const std::string setting = settings_.TempDrive + settings_.TempFolderName;
  const std::optional<std::string> folder = WorkFolderOf(setting, &reason);
  if (!folder) {
    prompt_.Message(WorkFolderRefusal(reason), "ERROR", MessageIcon::None);
    return false;
  }
  const std::string path = JoinPath(*folder, SafeFileName(b_.MasterFile) + "SEN.TMP");
  file_ = std::make_unique<WorkFileWriter>();
  if (!file_->Create(path, &reason)) {
    file_.reset();
    prompt_.Message("Error.  The work file " + path + " could not be written: " + reason + ".",
                    "ERROR", MessageIcon::None);
    return false;
  }
  b_.ConcWorkFile = path;
  return true;
}

void ConcentrationRun::StartStepping() {
  SetInitialConcentrations(a_.RoomMass, a_.NewConc, a_.Conc, b_, rooms_);
  RoomFlowTerms(b_, rooms_, 1.0F, flows_, supply_);
  SetupRoomMassTerms(b_, sources_);
  switches_ = CollectSwitchOnTimes(b_);
  runEndTime_ = s_.YearsSimulated * 24 * 365;

  if (!(s_.StepSize > 0)) s_.StepSize = 0.1F;
  stepSize_ = s_.StepSize;
  const float stable = StableStepLimit(b_);
  if (stable > 0) {
    stepSize_ = std::min(stepSize_, stable);
    longestStep_ = std::min(longestStep_, stable);
  }
  timeStep_ = stepSize_;
  tolerance_ = 0.001 * static_cast<double>(s_.StepSize);
  outputMultiplier_ = 20;
  scheduleStepCut_ = true;
  LoadRoomFlowArrays(b_, rooms_, a_, supply_);

  ventSchedule_ = FlagIs(s_.ConstantACH, 'N');
  vent_.Start(s_.VentTime, !FlagIs(s_.VentScheduleFlag, 'N'));
  if (ventSchedule_) {
    // Point 1 comes into force at time 0 like any later point, which also re-arms the
    // look-ahead, so that the step is cut back ahead of the first change as well.
    scheduleStepCut_ = false;
    ventRate_ = s_.VentRate[1];
    SetOutdoorFlowsFromACH(b_, rooms_, ventRate_, flows_);
  } else {
    ventRate_ = ScaledArraySum(flows_.NaturalFromOutdoors, rooms_, b_.TotalRoomVolume);
  }
  hvacSchedule_ = FlagIs(s_.ConstantHVAC, 'N');
  hvacHistory_.Start(s_.HVACHistoryTime, !FlagIs(s_.HVACHistoryCycle, 'N'));
  fraction_ = hvacSchedule_ ? s_.HVACHistoryFraction[1] : 1.0F;
  RoomFlowTerms(b_, rooms_, fraction_, flows_, supply_);
  managedPeriod_ = s_.ManagedValue4 > 0;
  SumRoomFlows(b_, flows_);

  // Outdoors holds the outdoor concentration in force from the start.
  StepBookkeeping(0, s_, terms_.CurrentOutdoorConc);
  for (int p = 0; p < np_; ++p) a_.Conc[0][p] = a_.NewConc[0][p] = terms_.CurrentOutdoorConc[p];
  SetRemovalTerms(b_, rooms_, flows_, terms_);
  simTime_ = 0;
  clock_ = gridBase_ = 0;
  gridSteps_ = 0;
  gridStepSingle_ = 0;
}

void ConcentrationRun::AdvanceClock(float dt) {
  if (dt != gridStepSingle_) {
    gridStepSingle_ = dt;
    gridStep_ = DecimalValue(dt);
    gridBase_ = clock_;
    gridSteps_ = 0;
  }
  ++gridSteps_;
  clock_ = gridBase_ + static_cast<double>(gridSteps_) * gridStep_;
  simTime_ = static_cast<float>(clock_);
}

// look is the step's start nudged by the switch tolerance: what the schedules compare.
void ConcentrationRun::ScheduleFlows(float look, float start) {
  const float t = look;
  if (ventSchedule_) {
    if (t + 2 * timeStep_ >= vent_.Next() && t < vent_.Next() && !scheduleStepCut_) {
      timeStep_ = stepSize_;
      outputMultiplier_ = 2;
      scheduleStepCut_ = true;
    }
    if (vent_.Advance(t, s_.VentTime)) {
      scheduleStepCut_ = false;
      ventRate_ = s_.VentRate[vent_.InForce()];
      SetOutdoorFlowsFromACH(b_, rooms_, ventRate_, flows_);
      SumRoomFlows(b_, flows_);
    }
  }
  if (hvacSchedule_) {
    if (t + 2 * timeStep_ >= hvacHistory_.Next() && t < hvacHistory_.Next()) timeStep_ = stepSize_;
    if (hvacHistory_.Advance(t, s_.HVACHistoryTime)) {
      stepCut_ = true;
      fraction_ = s_.HVACHistoryFraction[hvacHistory_.InForce()];
      RoomFlowTerms(b_, rooms_, fraction_, flows_, supply_);
      SumRoomFlows(b_, flows_);
    }
  }
  // The managed flow set replaces the HVAC and natural flows during its period only;
  // leaving the period brings back the flows in force.
  const bool managed = managedPeriod_ && s_.ManagedValue3 <= t &&
                       static_cast<double>(start) - tolerance_ <= s_.ManagedValue4;
  if (managed) {
    CopyScenarioFlows(b_, rooms_, flows_);
  } else if (inManaged_) {
    RoomFlowTerms(b_, rooms_, fraction_, flows_, supply_);
    SumRoomFlows(b_, flows_);
  }
  inManaged_ = managed;
}

void ConcentrationRun::SupplyAir(float t, float dt) {
  // A fraction of 0 switches the whole system off, unless the history scales only its
  // outdoor air: then the return air still circulates and is supplied back to the rooms.
  const bool switchedOff = fraction_ == 0 && s_.HVACHistoryOutdoorOnly == 0;
  const bool running = inManaged_ || (flows_.HVACInUse == true && !switchedOff);
  if (!running) {
    hvac_.SupplyConc.fill(0);
    supply_.fill(0);
    mixing_ = HVACMixing{};
    return;
  }
  PerPollutant<float> emission{};
  if (a_.RoomSourceCounts[0] > 0) {
    const EmissionStep step{t, dt, a_.RoomConc, a_.PreviousRoomConc, &concPerMass_};
    for (int p = 0; p < np_; ++p)
      SourceEmissionRate(s_, sources_, 0, 0, step, p, emission[p], s_.TotalEmitted);
  }
  mixing_ = MixHVAC(s_, rooms_, flows_, terms_.CurrentOutdoorConc, emission, hvac_);
}

StepStatus ConcentrationRun::Step() {
  const float start = simTime_;
  const float look = static_cast<float>(clock_ + tolerance_);
  if (stopRequested_) finished_ = true;
  ScheduleFlows(look, start);
  float dt = timeStep_;
  double shortenedEnd = -1;
  if (grown_) {
    // Off the grid of whole steps, a step that would pass a switch ends on it instead.
    const double next = NextChange(clock_ + tolerance_);
    if (clock_ + static_cast<double>(dt) > next + tolerance_) {
      shortenedEnd = next;
      dt = static_cast<float>(next - clock_);
    }
  }
  // The run covers exactly the simulated period: the step that would pass its end is
  // shortened to land on it, and its record is the last.
  const bool lastStep =
      runEndTime_ > 0 && clock_ + static_cast<double>(dt) >= runEndTime_ - tolerance_;
  if (lastStep && clock_ + static_cast<double>(dt) > runEndTime_ + tolerance_) {
    shortenedEnd = runEndTime_;
    dt = static_cast<float>(runEndTime_ - clock_);
  }
  // The HVAC system mixes its outdoor intake at the outdoor value looked up for the step
  // before; the rooms' own outdoor air then takes the value of this step.
  SupplyAir(start, dt);
  StepBookkeeping(look, s_, terms_.CurrentOutdoorConc);
  SetRemovalTerms(b_, rooms_, flows_, terms_);

  const StepInput input{start, dt, changeThreshold_, mixing_, &concPerMass_};
  const StepStatus status =
      UpdateRooms(b_, flows_, terms_, input, sources_, sinks_, a_, outputDue_);
  if (status != StepStatus::Ok) return status;
  // The HVAC system took from the rooms' air as it was along the step.
  AccumulateHVAC(mixing_, rooms_, np_, a_.StepIntegral, dt, hvac_, s_.ResultTotal3);
  hvac_.SupplyConc = supply_ = SupplyConcentration(mixing_, rooms_, np_, a_.NewConc);
  if (shortenedEnd >= 0) {
    clock_ = gridBase_ = shortenedEnd;
    gridSteps_ = 0;
    gridStepSingle_ = 0;
    simTime_ = static_cast<float>(clock_);
  } else {
    AdvanceClock(dt);
  }
  // The step's concentrations hold at its end, where the outdoor value may have changed.
  const float end = simTime_;
  PerPollutant<float> outdoor{};
  StepBookkeeping(static_cast<float>(clock_ + tolerance_), s_, outdoor);
  for (int p = 0; p < np_; ++p) a_.NewConc[0][p] = outdoor[p];
  RoomBookkeeping(b_, flows_, dt, a_);

  if (static_cast<double>(start) > static_cast<double>(nextOutputTime_) + tolerance_) {
    outputDue_ = true;
    outputBaseTime_ = nextOutputTime_;
  }
  if (lastStep) outputDue_ = finished_ = true;
  if (outputDue_) Record(end);
  if (start > runEndTime_) finished_ = true;

  CutAhead();
  if (stepCut_) {
    stepCut_ = false;
    outputMultiplier_ = 2;
  }
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
  outputDue_ = false;
  changeThreshold_ = kRecordChange;
  ++recordCount_;
  lastRecordTime_ = time;
  const int index = buffer_->Count();
  std::span<float> record = buffer_->Add(time);
  std::size_t i = 0;
  for (int r = 0; r <= rooms_; ++r)
    for (int p = 0; p < np_; ++p) record[i++] = a_.NewConc[r][p];

  RunRecordInfo info;
  info.time = time;
  info.concentrations = record;
  if (np_ > 0) {
    // The run keeps sink, leaving and airborne totals as concentration × m³; the window shows
    // them in the unit of what was emitted.
    info.total_emitted = s_.TotalEmitted[0];
    info.sink_mass = s_.ResultTotal1[0] * massPerConc_[0];
    info.leaving = s_.ResultTotal3[0] * massPerConc_[0];
    info.airborne_mass = s_.ResultTotal4[np_ - 1] * massPerConc_[np_ - 1];
    if (b_.TotalRoomVolume > 0) {
      info.has_average = true;
      info.average_concentration = s_.ResultTotal4[np_ - 1] / b_.TotalRoomVolume;
    }
  }
  info.hvac_fraction = fraction_;
  info.vent_rate = ventRate_;
  observer_.RecordWritten(info);

  // A run that has been steady for a while may take longer steps.
  if (index > 0 && index % kGrowthCheckEvery == 0 && Steady() && timeStep_ < longestStep_) {
    const float grown = std::min(timeStep_ * stepAdjust_, longestStep_);
    if (grown > timeStep_) grown_ = true;
    timeStep_ = grown;
    outputMultiplier_ = 2;
  }
  nextOutputTime_ = timeStep_ * outputMultiplier_ + outputBaseTime_;
  if (buffer_->Full()) {
    if (!file_->WriteResultsBlock(*buffer_, settings_.DataSeparator)) writeFailed_ = true;
    if (timeStep_ > stepSize_) {
      timeStep_ /= 2;
      outputMultiplier_ = 2;
    }
  }
}

// The first time after `after` at which some input changes: a source switches, a schedule
// moves to its next point, the managed period begins or ends, the outdoor air changes.
double ConcentrationRun::NextChange(double after) const {
  const double t = after;
  double next = NextSwitchTime(switches_, t);
  if (ventSchedule_) next = std::min<double>(next, vent_.Next());
  if (hvacSchedule_) next = std::min<double>(next, hvacHistory_.Next());
  if (managedPeriod_) {
    if (s_.ManagedValue3 > t) next = std::min<double>(next, s_.ManagedValue3);
    if (s_.ManagedValue4 > t) next = std::min<double>(next, s_.ManagedValue4);
  }
  if (!FlagIs(s_.ConstantOutdoorConc, 'Y')) {
    const int n = std::clamp<int>(s_.NumOutdoorConcPoints, 1, kMaxHistory);
    for (int i = 2; i <= n; ++i)
      if (s_.OutdoorConcTime[i] > t) next = std::min<double>(next, s_.OutdoorConcTime[i]);
  }
  return next;
}

// A grown step is cut back to the smallest ahead of anything that changes the inputs, so
// that no source's on-period and no schedule change is stepped over.
void ConcentrationRun::CutAhead() {
  if (!(timeStep_ > stepSize_)) return;
  const double next = NextChange(clock_ + tolerance_);
  if (clock_ + timeStep_ >= next - tolerance_) {
    timeStep_ = stepSize_;
    outputMultiplier_ = 2;
    stepCut_ = true;
  }
}

void ConcentrationRun::RunError(int number) {
  prompt_.Message(
      "Error. " + FormatDouble(number) + " Check data input. Probable 0 sink area or no run time.",
      "ERROR", MessageIcon::None);
}

RunOutcome ConcentrationRun::Finish(RunOutcome outcome) {
  s_.ExposureCompareTime = simTime_;
  bool written = file_->WriteResultsBlock(*buffer_, settings_.DataSeparator);
  written = file_->Finish() && written;
  s_.NumOutputRecords = recordCount_;
  s_.LastOutputTime = lastRecordTime_;
  for (int r = 1; r <= rooms_; ++r) s_.PeakConc[r] = a_.RoomPeak[r];
  s_.AirCleanerMass = hvac_.FilterMass;
  if (!written && outcome != RunOutcome::Failed) {
    RunError(kErrDiskFull);
    outcome = RunOutcome::Failed;
  }
  observer_.RunEnded(outcome);
  return outcome;
}

RunOutcome ConcentrationRun::Run() {
  if (!SetUp()) return RunOutcome::Failed;
  StartStepping();
  buffer_ = std::make_unique<ResultsBuffer>((rooms_ + 1) * np_);
  if (!OpenWorkFile()) return RunOutcome::Failed;

  RunStartInfo start;
  start.end_time = runEndTime_;
  start.max_concentration = static_cast<float>(settings_.MaxConcentration);
  start.num_rooms = rooms_;
  start.num_pollutants = np_;
  start.mass_format = massFormat_;
  start.conc_format = concFormat_;
  observer_.RunStarted(start);
  if (!(runEndTime_ > 0) || settings_.MaxConcentration == 0)
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
    if (writeFailed_) {
      RunError(kErrDiskFull);
      return Finish(RunOutcome::Failed);
    }
    if (observer_.StepDone(simTime_)) stopRequested_ = true;
  }
  return Finish(stopRequested_ ? RunOutcome::Stopped : RunOutcome::Completed);
}

}  // namespace

RunSettings RunSettingsFrom(const ProgramState& state) {
  RunSettings settings;
  settings.StepAdjustFactor = state.StepAdjustFactor;
  settings.MaxConcentration = state.MaxConcentration;
  settings.TempDrive = state.TempDrive;
  settings.TempFolderName = state.TempFolderName;
  settings.DataSeparator = state.DataSeparator;
  settings.OutdoorConcInput = state.OutdoorConcInput;
  settings.InitialConcInput = state.InitialConcInput;
  return settings;
}

RunOutcome RunConcentrationCalculation(BuildingRecord& building, const RunSettings& settings,
                                       Prompt& prompt, RunObserver& observer) {
  ConcentrationRun run(building, settings, prompt, observer);
  return run.Run();
}

}  // namespace quarn
