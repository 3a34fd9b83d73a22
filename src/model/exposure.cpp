#include "model/exposure.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "model/exposure_units.h"
#include "model/mass_balance.h"
#include "model/records.h"
#include "model/room_lookup.h"
#include "model/rounding.h"
#include "model/work_file.h"
#include "model/work_file_reader.h"
#include "text/number_read.h"
#include "text/number_text.h"
#include "text/paths.h"
#include "text/text_writer.h"
#include "text/work_folder.h"

namespace quarn {

namespace {

constexpr int kBlockRecords = 1500;
constexpr float kHoursPerYear = 24.0f * 365.0f;
// What an occupant's peak exposure holds before the walk stores its own: the record's
// value while the calculation is under way, and the walk's until it meets any air.
constexpr float kPeakNotStored = -99999;
constexpr float kPeakBeforeWalk = -100000;
// LongTermOptions: carry the run's average over the lifetime, or carry the activity pattern
// on in the concentrations of the last record.
constexpr int kLifetimeFromAverage = 1;
constexpr int kLifetimeFromLastRecord = 2;
constexpr char kInhalationMode[] = "I";
// A time on a segment boundary belongs to the segment that starts there.
constexpr double kBoundaryNudge = 0.00001;
constexpr char kGapMessage[] =
    "Error in exposure calculation. Check occupancy patterns for duplicated times or gap in "
    "times.";

// Times from the file and from the pattern meet within rounding of a Single.
double Tolerance(double t) {
  return 1e-6 * std::max(1.0, std::fabs(t));
}

std::string CountText(int n) {
  return FormatDouble(static_cast<double>(n));
}

// The records of one block. Record 0 of every block after the first is the last record of
// the block before, carried with its concentrations so that the walk goes on across the
// boundary exactly as within a block.
struct Block {
  int num_pollutants = 0;
  int record_width = 0;  // (NumRooms + 1) x NumPollutants
  std::vector<float> times;
  std::vector<float> concs;
  // The run's integral of each concentration since the record before (integrals work
  // file), when every record of the file has one.
  bool exact = false;
  std::vector<float> integrals;

  int Count() const { return static_cast<int>(times.size()); }
  float Conc(int k, int room, int p) const {
    return concs[static_cast<std::size_t>(k) * record_width + room * num_pollutants + p];
  }
  // The first record at or after t (the later of the two that bracket it).
  int IndexAtOrAfter(double t) const {
    const auto it = std::lower_bound(times.begin(), times.end(), t - Tolerance(t),
                                     [](float a, double b) { return a < b; });
    return std::min(static_cast<int>(it - times.begin()), Count() - 1);
  }
  float Integral(int k, int room, int p) const {
    return integrals[static_cast<std::size_t>(k) * record_width + room * num_pollutants + p];
  }
  void Add(float time, std::span<const float> values, std::span<const float> integral) {
    times.push_back(time);
    concs.insert(concs.end(), values.begin(), values.end());
    if (exact) integrals.insert(integrals.end(), integral.begin(), integral.end());
  }
  void KeepLastOnly() {
    times.erase(times.begin(), times.end() - 1);
    concs.erase(concs.begin(), concs.end() - record_width);
    if (exact) integrals.erase(integrals.begin(), integrals.end() - record_width);
  }
  // The record whose interval is exactly [from, to]: a record at `to` whose record before is
  // at `from` (or, for the first record of the run, `from` is 0).
  std::optional<int> IntervalOf(double from, double to, bool first_block) const {
    if (!exact || Count() == 0) return std::nullopt;
    const int k = IndexAtOrAfter(to);
    if (std::fabs(times[k] - to) > Tolerance(to)) return std::nullopt;
    if (k > 0 ? std::fabs(times[k - 1] - from) <= Tolerance(from)
              : first_block && std::fabs(from) <= Tolerance(0))
      return k;
    return std::nullopt;
  }
};

// Where one occupant's walk stands; kept from block to block.
struct Walk {
  bool active = true;  // false once the walk is done or stopped
  bool started = false;
  bool in_segment = false;
  bool location_warned = false;
  double t = 0;  // the time up to which exposure is integrated
  double segment_end = 0;
  int room = 0;
  float factor = 1;
  PerPollutant<float> previous{};   // E at t
  PerPollutant<float> conc_at_t{};  // the concentration met at t
  // Sums over a long run lose the last steps' small shares in single precision.
  PerPollutant<double> cum{};
  PerPollutant<double> hours_above{};
  PerPollutant<float> peak{};
  LineWriter emp;
  LineWriter cmp;
  WorkFileOutput emp_file;
  WorkFileOutput cmp_file;
};

struct Run {
  BuildingRecord& building;
  ScenarioRecord& scenario;
  Prompt& prompt;
  char separator;
  int num_rooms;
  int num_pollutants;
  bool inhalation;
  PerPollutant<float> outdoor_at_start{};
  // The irritant levels in the unit of the concentrations; 0 where none applies.
  PerPollutant<float> irritant{};
  bool first_block = true;
};

// The outdoor concentration in force at time 0, taken from the outdoor history exactly as
// the concentration run takes it (a constant outdoor concentration is row 1).
PerPollutant<float> OutdoorConcAtStart(const ScenarioRecord& s) {
  PerPollutant<float> c{};
  StepBookkeeping(0.0f, s, c);
  return c;
}

void PutLine(LineWriter& out, char separator, double t, const PerPollutant<float>& values,
             int num_pollutants) {
  out.Put(FileSingle(static_cast<float>(t)));
  out.Put(std::string_view(&separator, 1));
  for (int p = 0; p < num_pollutants; ++p) {
    out.Put(FileSingle(values[p]));
    out.Put(std::string_view(&separator, 1));
  }
  out.NewLine();
}

void WriteLines(const Run& run, Walk& w, double t, const PerPollutant<float>& e) {
  PutLine(w.emp, run.separator, t, e, run.num_pollutants);
  PerPollutant<float> cum{};
  for (int p = 0; p < run.num_pollutants; ++p) cum[p] = static_cast<float>(w.cum[p]);
  PutLine(w.cmp, run.separator, t, cum, run.num_pollutants);
}

void StopOccupant(Run& run, Walk& w, const std::string& text) {
  run.prompt.Message(text, "Error", MessageIcon::None);
  w.active = false;
}

// The concentration in `room` at time t. A record holds its concentrations at its own time
// (the end of the step that made them); between two records the concentration is taken as
// the straight line between them, so that a change of room between records meets the value
// of that moment and the trapezoid over the walk's points is exact for a linear rise. Before
// the first record of the run the line starts from the concentrations at time 0.
float ConcAt(const Run& run, const Block& b, double t, int room, int p) {
  const int k = b.IndexAtOrAfter(t);
  const double tk = b.times[k];
  if (std::fabs(tk - t) <= Tolerance(t) || tk < t) return b.Conc(k, room, p);
  double t0 = 0;
  double c0 = 0;
  if (k > 0) {
    t0 = b.times[k - 1];
    c0 = b.Conc(k - 1, room, p);
  } else if (run.first_block && t >= 0) {
    c0 = room == 0 ? run.outdoor_at_start[p] : run.scenario.InitialConc[room][p];
  } else {
    return b.Conc(k, room, p);
  }
  const double c1 = b.Conc(k, room, p);
  if (!(tk > t0)) return static_cast<float>(c1);
  return static_cast<float>(c0 + (c1 - c0) * (t - t0) / (tk - t0));
}

// Opens the segment of the pattern that holds w.t and writes its first line.
bool OpenSegment(Run& run, int o, Walk& w, const Block& b) {
  OccupantRecord& occ = run.scenario.Occupants[o];
  const double cycle = occ.CycleLength;
  const double into_walk = w.t - occ.StartTime + kBoundaryNudge;
  const double cycles = std::floor(into_walk / cycle);
  if (!(cycles >= 0) || cycles > std::numeric_limits<int32_t>::max()) {
    StopOccupant(run, w, kGapMessage);
    return false;
  }
  int32_t n = static_cast<int32_t>(cycles);  // completed cycles
  float tc = n == 0 ? static_cast<float>(into_walk) : PeriodicTime(into_walk, cycle);
  if (tc >= cycle) {  // rounding reached the end of the cycle: it is the next one's start
    tc = 0;
    ++n;
  } else if (n > 0) {
    // Rounding to thousandths steadies the time within the cycle, but must not carry it
    // back over a boundary of the pattern that is not on a thousandth (8:20 is 8.3333 h):
    // the walk would find the segment it has just left.
    const float exact = static_cast<float>(into_walk - static_cast<double>(n) * cycle);
    for (int i = 1; i <= std::clamp<int>(occ.NumSegments, 1, kMaxSchedule); ++i) {
      if ((tc < occ.TimeEnter[i] && occ.TimeEnter[i] <= exact) ||
          (tc < occ.TimeLeave[i] && occ.TimeLeave[i] <= exact)) {
        tc = exact;
        break;
      }
    }
  }
  const double cycle_start = occ.StartTime + static_cast<double>(n) * cycle;
  double end = 0;
  if (tc < occ.TimeEnter[1]) {
    if (!w.location_warned) {
      run.prompt.Message("You have not specified a location for occupant " + occ.Name +
                             " for time < " + FormatSingle(occ.TimeEnter[1]) +
                             " The program will assume that the location is outdoors.",
                         "Warning", MessageIcon::None);
      w.location_warned = true;
    }
    w.room = 0;
    end = cycle_start + occ.TimeEnter[1];
  } else {
    int entry = 0;
    const int segments = std::clamp<int>(occ.NumSegments, 1, kMaxSchedule);
    for (int i = 1; i <= segments; ++i) {
      if (occ.TimeEnter[i] <= tc && tc < occ.TimeLeave[i]) {
        entry = i;
        break;
      }
    }
    if (entry == 0) {
      StopOccupant(run, w, kGapMessage);
      return false;
    }
    w.room = FindRoomNumber(run.building, occ.Location[entry]);
    end = cycle_start + occ.TimeLeave[entry];
  }
  w.segment_end = std::min<double>(end, occ.EndTime);
  if (w.segment_end <= w.t + Tolerance(w.t)) {
    StopOccupant(run, w, kGapMessage);
    return false;
  }
  // The concentration met on entering: the room's initial one at time 0, otherwise that
  // of the moment of entry.
  const bool at_zero = std::fabs(w.t) < Tolerance(0);
  PerPollutant<float> e{};
  for (int p = 0; p < run.num_pollutants; ++p) {
    float c = ConcAt(run, b, w.t, w.room, p);
    if (at_zero) c = w.room == 0 ? run.outdoor_at_start[p] : run.scenario.InitialConc[w.room][p];
    w.conc_at_t[p] = c;
    e[p] = w.factor * c;
    w.peak[p] = std::max(w.peak[p], e[p]);
  }
  w.previous = e;
  w.in_segment = true;
  WriteLines(run, w, w.t, e);
  return true;
}

// The part of an interval of dt hours in which the concentration, c0 at its start and c1 at
// its end and taken as the straight line between them (as between two records), is at or
// above the level: the hours above start and end at the crossing, not at a record.
double HoursAtOrAbove(double c0, double c1, double level, double dt) {
  if (c0 >= level && c1 >= level) return dt;
  if (c0 < level && c1 < level) return 0;
  const double from_level = c0 >= level ? c0 - level : c1 - level;
  return dt * from_level / std::fabs(c1 - c0);
}

// Integrates from w.t to the point x: over a whole interval between records what the run
// itself computed, otherwise the trapezoid between the exposures at both ends.
void StepTo(Run& run, int o, Walk& w, const Block& b, double x) {
  OccupantRecord& occ = run.scenario.Occupants[o];
  const double dt = x - w.t;
  const std::optional<int> interval = b.IntervalOf(w.t, x, run.first_block);
  PerPollutant<float> e{};
  for (int p = 0; p < run.num_pollutants; ++p) {
    const float c = ConcAt(run, b, x, w.room, p);
    e[p] = w.factor * c;
    w.cum[p] += interval ? static_cast<double>(w.factor) * b.Integral(*interval, w.room, p)
                         : dt * (static_cast<double>(w.previous[p]) + e[p]) / 2.0;
    const float irritant = run.irritant[p];
    if (irritant > 0.0f) w.hours_above[p] += HoursAtOrAbove(w.conc_at_t[p], c, irritant, dt);
    w.conc_at_t[p] = c;
    occ.ExposureTime[p] += static_cast<float>(dt);
    w.peak[p] = std::max(w.peak[p], e[p]);
  }
  w.previous = e;
  w.t = x;
  WriteLines(run, w, x, e);
}

// Walks occupant o through the block, as far as its data reaches.
void WalkBlock(Run& run, int o, Walk& w, const Block& b, bool last_block) {
  if (!w.active || b.Count() == 0) return;
  const OccupantRecord& occ = run.scenario.Occupants[o];
  const double data_end = b.times.back();
  if (!w.started) {
    // The run starts at time 0 from the initial concentrations and writes each record at the
    // end of its step, so its first record comes after 0: the walk starts at 0 all the same,
    // or the exposure up to the first record would be lost. A file that begins later than 0
    // after its first block (the blocks that follow carry their start) begins where it does.
    const double data_start =
        run.first_block ? std::min(0.0, static_cast<double>(b.times.front())) : b.times.front();
    w.t = std::max<double>(data_start, occ.StartTime);
    if (w.t >= occ.EndTime || (last_block && w.t >= data_end)) {
      w.active = false;
      return;
    }
    if (w.t >= data_end) return;  // the exposure period starts in a later block
    w.started = true;
  }
  while (w.active) {
    if (!w.in_segment) {
      if (w.t >= occ.EndTime - Tolerance(occ.EndTime) ||
          (last_block && w.t >= data_end - Tolerance(data_end))) {
        w.active = false;
        break;
      }
      if (w.t >= data_end - Tolerance(data_end)) break;  // the next block goes on
      if (!OpenSegment(run, o, w, b)) break;
    } else if (w.t >= data_end - Tolerance(data_end)) {
      // A block that holds only the record carried from the one before (the file filled
      // whole blocks) has nothing new: the line at that record is written already.
      if (last_block) w.active = false;
      break;
    }
    const double target = std::min(w.segment_end, data_end);
    int k = b.IndexAtOrAfter(w.t);
    while (k < b.Count() && b.times[k] <= w.t + Tolerance(w.t)) ++k;
    for (; k < b.Count() && b.times[k] < target - Tolerance(target); ++k) {
      StepTo(run, o, w, b, b.times[k]);
    }
    StepTo(run, o, w, b, target);
    if (target >= w.segment_end - Tolerance(w.segment_end)) {
      w.in_segment = false;
    } else {
      if (last_block) w.active = false;  // the data end before the segment
      break;
    }
  }
}

bool FlushLines(Run& run, int o, Walk& w) {
  const OccupantRecord& occ = run.scenario.Occupants[o];
  std::string reason;
  const bool emp_written = w.emp_file.Write(w.emp.Bytes(), &reason);
  const bool written = emp_written && w.cmp_file.Write(w.cmp.Bytes(), &reason);
  w.emp = LineWriter();
  w.cmp = LineWriter();
  if (written) return true;
  const std::string& file = emp_written ? occ.CumExposureFile : occ.InstExposureFile;
  StopOccupant(run, w, WorkFileFailure(file, reason));
  return false;
}

// A share or a quota may report a failed write only when the file is closed.
void CloseWalkFiles(Run& run, int o, Walk& w) {
  const OccupantRecord& occ = run.scenario.Occupants[o];
  std::string reason;
  if (!w.emp_file.Close(&reason)) {
    StopOccupant(run, w, WorkFileFailure(occ.InstExposureFile, reason));
  } else if (!w.cmp_file.Close(&reason)) {
    StopOccupant(run, w, WorkFileFailure(occ.CumExposureFile, reason));
  }
}

// How far the walks have come, for the observer.
struct Progress {
  RunObserver& observer;
  double total_hours;
  double from = 0;  // the time of the data walked so far
  int shown = 0;    // the percentage last shown
};

void ReportProgress(Progress& progress, double percent) {
  const int p = static_cast<int>(std::clamp(percent, 0.0, 100.0));
  if (p > progress.shown) {
    progress.shown = p;
    progress.observer.Progress(p);
  }
}

void ProcessBlock(Run& run, std::vector<Walk>& walks, const Block& b, bool last_block,
                  Progress& progress) {
  const int occupants = static_cast<int>(walks.size()) - 1;
  const double block_end = b.Count() > 0 ? b.times.back() : progress.from;
  for (int o = 1; o <= occupants; ++o) {
    Walk& w = walks[o];
    if (w.active) {
      WalkBlock(run, o, w, b, last_block);
      FlushLines(run, o, w);
    }
    const double done = progress.from + (block_end - progress.from) * o / occupants;
    ReportProgress(progress, 100.0 * done / progress.total_hours);
  }
  progress.from = block_end;
  run.first_block = false;
}

void StoreResults(Run& run, std::vector<Walk>& walks) {
  for (int o = 1; o < static_cast<int>(walks.size()); ++o) {
    OccupantRecord& occ = run.scenario.Occupants[o];
    const Walk& w = walks[o];
    for (int p = 0; p < run.num_pollutants; ++p) {
      occ.HoursAboveIrritant[p] = static_cast<float>(w.hours_above[p]);
      occ.TotalExposure[p] = static_cast<float>(w.cum[p]);
      occ.PeakExposure[p] = w.peak[p];
      if (occ.ExposureTime[p] > 0) {
        occ.AverageExposure[p] = static_cast<float>(w.cum[p] / w.factor / occ.ExposureTime[p]);
      }
      if (run.inhalation) {
        // The inhaled amount, which the breathing rate and efficiency already gave.
        occ.Dose[p] = occ.TotalExposure[p];
        const std::optional<double> mg =
            MilligramsPerUnit(run.scenario.ConcUnits, run.scenario.Pollutants[p]);
        occ.PotentialDose[p] = 0;  // particle counts have no dose per body weight
        if (mg && occ.Weight > 0 && occ.ExposureTime[p] > 0) {
          // mg per kg of body weight per day
          occ.PotentialDose[p] =
              static_cast<float>(w.cum[p] * *mg / occ.Weight / (occ.ExposureTime[p] / 24.0));
        }
      } else {
        occ.Dose[p] = occ.TotalExposure[p] * occ.EfficiencyFactor;
      }
    }
  }
}

// Carries the results of the run over the occupant's whole exposure duration, assuming
// the pattern goes on repeating in the concentrations of the last record.
void ExtrapolateLifetimeExposure(Run& run, int o, float t_end, const Block& last, int p,
                                 float factor) {
  if (last.Count() == 0) return;
  OccupantRecord& occ = run.scenario.Occupants[o];
  const float lifetime_hours = occ.Lifetime * kHoursPerYear;
  const float remaining = lifetime_hours - t_end;
  float sum = 0, duration = 0;
  for (int i = 1; i <= ActivityEntries(occ); ++i) {
    const float d = occ.TimeLeave[i] - occ.TimeEnter[i];
    const std::optional<int16_t> room = RoundToInt16(occ.LocationRoom[i]);
    // Outdoors is room 0 of the work file: its last record holds the outdoor concentration
    // in force at the end of the run.
    const int r = room && *room >= 1 && *room <= run.num_rooms ? *room : 0;
    const float c = last.Conc(last.Count() - 1, r, p);
    sum += d * c;
    duration += d;
  }
  if (duration == 0.0f) return;
  // The lifetime exposure is a concentration times hours, as the first long-term option
  // gives it: the run's total carries the breathing factor in inhalation mode, so it is
  // taken back out before the held pattern is added.
  const float run_part = factor != 0.0f ? occ.TotalExposure[p] / factor : occ.TotalExposure[p];
  occ.LifetimeExposure[p] = remaining * sum / duration + run_part;
  if (occ.Lifetime > 0) occ.AverageExposure[p] = occ.LifetimeExposure[p] / lifetime_hours;
}

// The counts the calculation indexes its arrays with, within the record's bounds.
bool CountsInRange(const BuildingRecord& building, Prompt& prompt) {
  const ScenarioRecord& s = building.Scenario;
  if (building.NumRooms < 0 || building.NumRooms > kMaxRooms || s.NumPollutants < 1 ||
      s.NumPollutants > kMaxPollutants || s.NumOccupants < 0 || s.NumOccupants > kMaxOccupants) {
    prompt.Message("Error.  The numbers of rooms, pollutants or occupants are out of range.",
                   "Error", MessageIcon::None);
    return false;
  }
  return true;
}

Run StartRun(BuildingRecord& building, char separator, Prompt& prompt) {
  ScenarioRecord& s = building.Scenario;
  Run run{.building = building,
          .scenario = s,
          .prompt = prompt,
          .separator = separator,
          .num_rooms = building.NumRooms,
          .num_pollutants = s.NumPollutants,
          .inhalation = s.ExposureMode == kInhalationMode};
  run.outdoor_at_start = OutdoorConcAtStart(s);
  for (int p = 0; p < run.num_pollutants; ++p) {
    run.irritant[p] = IrritantLevelInUnits(s.ConcUnits, s.Pollutants[p]).value_or(0.0f);
  }
  return run;
}

// Readies occupant o's walk: clears the results, finds the pattern's cycle, creates the
// work files and stops the walk, with a message, when the occupant's data cannot be walked.
// False when the occupant has no activity pattern.
bool StartWalk(Run& run, int o, Walk& w) {
  OccupantRecord& occ = run.scenario.Occupants[o];
  for (int p = 0; p < run.num_pollutants; ++p) {
    occ.PeakExposure[p] = kPeakNotStored;
    occ.ExposureTime[p] = 0;
    w.peak[p] = kPeakBeforeWalk;
  }
  const bool has_pattern = occ.TimeLeave[1] != 0.0f;
  CheckActivityPatterns(occ, run.prompt);
  occ.CycleLength = ActivityCycle(occ);
  w.factor = run.inhalation ? occ.BreathingRate * occ.EfficiencyFactor : 1.0f;
  // Creating the average-exposure file empties it of an earlier run; the averaging step
  // fills it.
  std::string reason;
  const std::string* failed = nullptr;
  WorkFileOutput average;
  if (!w.emp_file.Create(occ.InstExposureFile, &reason)) {
    failed = &occ.InstExposureFile;
  } else if (!w.cmp_file.Create(occ.CumExposureFile, &reason)) {
    failed = &occ.CumExposureFile;
  } else if (!average.Create(occ.AvgExposureFile, &reason)) {
    failed = &occ.AvgExposureFile;
  }
  if (!has_pattern) {
    w.active = false;  // the warning above said what is missing
  } else if (failed != nullptr) {
    StopOccupant(run, w, WorkFileFailure(*failed, reason));
  } else if (const auto refusal = UnknownLocationMessage(run.building, occ)) {
    StopOccupant(run, w, *refusal);
  } else if (occ.StartTime >= occ.EndTime) {
    StopOccupant(run, w,
                 "Error in activity pattern for occupant # " + CountText(o) +
                     "!  Aborting calculation.  Reenter data and rerun exposure calculation.");
  } else if (!(w.factor > 0.0f) || !std::isfinite(w.factor)) {
    StopOccupant(run, w,
                 "Error.  Occupant " + occ.Name +
                     " has a breathing rate or efficiency factor of 0.  Enter both before "
                     "calculating inhalation exposure.");
  }
  return has_pattern;
}

// Reads the work file in blocks and walks every occupant through each. False after a
// message when the file cannot be read to its end: the walks then end where the good data
// end, so that what was integrated so far stays in the results and files. `block` is left
// holding the records of the last block.
bool WalkWorkFile(Run& run, std::vector<Walk>& walks, ConcWorkFileReader& reader,
                  Progress& progress, Block& block) {
  const std::string& file = run.building.ConcWorkFile;
  block.num_pollutants = run.num_pollutants;
  block.record_width = (run.num_rooms + 1) * run.num_pollutants;
  IntegralsFileReader integrals;
  block.exact = integrals.Open(IntegralsFileOf(file), block.record_width);
  std::vector<float> integral;
  int fresh = 0;  // records of this block read from the file (not carried)
  bool read = true;
  while (true) {
    const ConcWorkFileReader::Status status = reader.Next();
    if (status == ConcWorkFileReader::Status::Error) {
      run.prompt.Message(reader.RefusalMessage(file), "Error", MessageIcon::None);
      read = false;
    }
    if (status != ConcWorkFileReader::Status::Record) break;
    if (block.Count() > 0 && reader.Time() < block.times.back()) {
      run.prompt.Message("Error.  The times of the concentration file " + file +
                             " go back at line " + CountText(reader.LineNumber()) + ".",
                         "Error", MessageIcon::None);
      read = false;
      break;
    }
    // The integrals stand for the file only while they come with every record, as the run
    // wrote them.
    if (block.exact) {
      float time = 0;
      if (!integrals.Next(time, integral) || time != reader.Time()) {
        block.exact = false;
        block.integrals.clear();
      }
    }
    block.Add(reader.Time(), reader.Concentrations(), integral);
    if (++fresh == kBlockRecords) {
      ProcessBlock(run, walks, block, false, progress);
      block.KeepLastOnly();
      fresh = 0;
    }
  }
  ProcessBlock(run, walks, block, true, progress);
  return read;
}

// The long-term extension of every occupant's results, as LongTermOptions asks.
void ExtendOverLifetime(Run& run, const std::vector<Walk>& walks, const Block& last) {
  const int option = run.scenario.LongTermOptions;
  const float t_end = last.times.back();
  for (int o = 1; o < static_cast<int>(walks.size()); ++o) {
    OccupantRecord& occ = run.scenario.Occupants[o];
    const float factor = walks[o].factor;
    for (int p = 0; p < run.num_pollutants; ++p) {
      if (option == kLifetimeFromAverage) {
        occ.LifetimeExposure[p] = occ.AverageExposure[p] * occ.Lifetime * kHoursPerYear;
      } else if (option == kLifetimeFromLastRecord && factor > 0) {
        ExtrapolateLifetimeExposure(run, o, t_end, last, p, factor);
      }
    }
  }
}

bool IsLetterOrDigit(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// The whole name in letters, digits and "_" with two hex digits for every other byte, so that
// two different names never give one file name.
std::string EncodedName(const std::string& name) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : name) {
    if (IsLetterOrDigit(c)) {
      out += c;
    } else {
      const auto byte = static_cast<unsigned char>(c);
      out += '_';
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    }
  }
  return out;
}

}  // namespace

std::string ExposureFileBase(const std::string& master_file, const std::string& scenario_name) {
  const std::string master = SafeFileName(master_file).substr(0, 2);
  // The first four characters of the first word name the files only when they are the whole
  // name: scenarios "HANDMG" and "HANDPPM" would otherwise write each other's results.
  if (scenario_name.size() <= 4 &&
      std::all_of(scenario_name.begin(), scenario_name.end(), IsLetterOrDigit))
    return master + scenario_name + "0";
  return master + "-" + EncodedName(scenario_name) + "0";
}

void SetExposureFileNames(BuildingRecord& building, const std::string& folder) {
  ScenarioRecord& s = building.Scenario;
  s.ExposureFileBase = ExposureFileBase(building.MasterFile, s.Name);
  const int occupants = OccupantCount(s);
  for (int o = 1; o <= occupants; ++o) {
    const std::string base = JoinPath(folder, s.ExposureFileBase + CountText(o));
    s.Occupants[o].InstExposureFile = base + ".EMP";
    s.Occupants[o].CumExposureFile = base + ".CMP";
    s.Occupants[o].AvgExposureFile = base + ".ave";
  }
}

float CheckActivityPatterns(OccupantRecord& occupant, Prompt& prompt) {
  if (occupant.TimeLeave[1] == 0.0f) {
    prompt.Message("Warning.  The activity pattern for occupant " + occupant.Name +
                       " has not been specified.  Reenter occupant data before continuing.",
                   "Warning.", MessageIcon::None);
    return 0;
  }
  const int last = ActivityEntries(occupant);
  occupant.NumSegments = static_cast<int16_t>(last);
  return occupant.TimeLeave[last];
}

float PeriodicTime(double t, double period) {
  if (t <= period) return static_cast<float>(t);
  if (period > 0) return RoundTo3Decimals(static_cast<float>(t - period * std::floor(t / period)));
  return 0;
}

ExposureRunResult RunExposureCalculation(BuildingRecord& building, const std::string& folder,
                                         char separator, Prompt& prompt, RunObserver& observer) {
  ExposureRunResult result;
  if (!CountsInRange(building, prompt)) return result;
  Run run = StartRun(building, separator, prompt);
  const ScenarioRecord& s = building.Scenario;
  const int occupants = s.NumOccupants;
  observer.Progress(0);
  Progress progress{observer, s.YearsSimulated > 0 ? s.YearsSimulated * kHoursPerYear : 1.0};

  std::string reason;
  const std::optional<std::string> work_folder = WorkFolderOf(folder, &reason);
  if (!work_folder) {
    prompt.Message(WorkFolderRefusal(reason), "Error", MessageIcon::None);
    return result;
  }
  SetExposureFileNames(building, *work_folder);
  std::vector<Walk> walks(static_cast<std::size_t>(occupants) + 1);
  for (int o = 1; o <= occupants; ++o) {
    if (!StartWalk(run, o, walks[o])) result.occupant_data_complete = false;
  }

  ConcWorkFileReader reader(building.ConcWorkFile, separator, building.NumRooms, s.NumPollutants);
  if (!reader.IsOpen()) {
    prompt.Message("Error.  The concentration file " + building.ConcWorkFile +
                       " cannot be opened.  Run the concentration calculation first.",
                   "Error", MessageIcon::None);
    StoreResults(run, walks);
    return result;
  }
  Block last_block;
  const bool read = WalkWorkFile(run, walks, reader, progress, last_block);
  for (int o = 1; o <= occupants; ++o) CloseWalkFiles(run, o, walks[o]);
  StoreResults(run, walks);
  if (read && last_block.Count() > 0) ExtendOverLifetime(run, walks, last_block);
  observer.Progress(100);
  result.completed = read;
  return result;
}

}  // namespace quarn
