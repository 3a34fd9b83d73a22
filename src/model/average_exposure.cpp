#include "model/average_exposure.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "model/lognormal_fit.h"
#include "model/records.h"
#include "model/work_file_reader.h"
#include "text/number_read.h"
#include "text/number_text.h"
#include "text/text_writer.h"
#include "text/work_folder.h"

namespace quarn {

namespace {

struct Windows {
  float length = 0;  // AveragingTime, h
  int number = 1;    // the window being gathered, from 1
  // The cumulative exposure where the window started.
  PerPollutant<double> start{};
  float mmd = 0;  // kept from window to window: a fit that fails leaves the last values
  float gsd = 0;
};

void PutItem(LineWriter& out, float value, char separator) {
  out.Put(FileSingle(value));
  out.Put(std::string_view(&separator, 1));
}

// Writes the window that ends where the cumulative exposure is `end`, and starts the next
// there.
void CloseWindow(Windows& win, double row_time, const PerPollutant<double>& end, int pollutants,
                 bool particles, const PerPollutant<float>& diameters, char separator,
                 LineWriter& out) {
  PerPollutant<float> averages{};
  for (int p = 0; p < pollutants; ++p) {
    averages[p] = static_cast<float>((end[p] - win.start[p]) / win.length);
  }
  PutItem(out, static_cast<float>(row_time), separator);
  PutItem(out, static_cast<float>(win.number), separator);
  for (int p = 0; p < pollutants; ++p) PutItem(out, averages[p], separator);
  if (particles) {
    LognormalFit(pollutants, diameters, averages, win.mmd, win.gsd);
    PutItem(out, win.mmd, separator);
    out.Put(FileSingle(win.gsd));
  }
  out.NewLine();
  ++win.number;
  win.start = end;
}

// The cumulative exposure of every pollutant on a row.
PerPollutant<double> CumulativeOf(const std::vector<float>& row, int pollutants) {
  PerPollutant<double> cum{};
  for (int p = 0; p < pollutants; ++p) cum[p] = row[1 + p];
  return cum;
}

// Goes on from the row `before` to the row `row`, and closes every window whose end the row
// reaches. The cumulative exposure is exact on the rows, and the concentration run writes a
// record on every window's end: the straight line between two rows only counts for an end
// between them when the averaging time has changed since the run.
void AddRow(Windows& win, const std::vector<float>& before, const std::vector<float>& row,
            int pollutants, bool particles, const PerPollutant<float>& diameters, char separator,
            LineWriter& out) {
  const double t_prev = before[0];
  const double t = row[0];
  // A row on a window's end closes that window: its Single time may lie a rounding below.
  const double on_boundary = 1e-6 * std::max(1.0, t);
  while (t - static_cast<double>(win.number - 1) * win.length > win.length - on_boundary) {
    const double window_end = std::min(static_cast<double>(win.number) * win.length, t);
    const double share = t > t_prev ? std::max(0.0, window_end - t_prev) / (t - t_prev) : 1;
    PerPollutant<double> end{};
    for (int p = 0; p < pollutants; ++p) {
      end[p] = before[1 + p] + (static_cast<double>(row[1 + p]) - before[1 + p]) * share;
    }
    CloseWindow(win, t, end, pollutants, particles, diameters, separator, out);
  }
}

// The exposure walk ends at most two steps of at most 24 h past the simulated period, so a
// time beyond that, or one before the previous row, cannot come from an exposure run. The
// limit also bounds the windows a row can close.
double LatestExposureTime(const ScenarioRecord& scenario) {
  return static_cast<double>(scenario.YearsSimulated) * 8760.0 + 48.0;
}

// At the end of the file the window in progress is whole when the time it reaches within
// itself comes to its length, give or take the rounding of the Single times.
void CloseLastWindow(Windows& win, const std::vector<float>& last, int pollutants, bool particles,
                     const PerPollutant<float>& diameters, char separator, LineWriter& out) {
  const double t_last = last[0];
  const double reached = t_last - static_cast<double>(win.number - 1) * win.length;
  if (reached >= static_cast<double>(win.length) * 0.999) {
    CloseWindow(win, t_last, CumulativeOf(last, pollutants), pollutants, particles, diameters,
                separator, out);
  }
}

// Reads one occupant's cumulative exposure file into the window lines. Returns false when a
// line is refused, after saying so.
bool AverageOccupantExposure(const ScenarioRecord& scenario, const OccupantRecord& occ,
                             TextLineSource& source, char separator, Prompt& prompt,
                             LineWriter& out) {
  const int pollutants = PollutantCount(scenario);
  const bool particles = IsParticleMode(scenario);
  PerPollutant<float> diameters{};
  for (int p = 0; p < pollutants; ++p) {
    diameters[p] = static_cast<float>(LeadingNumber(scenario.Pollutants[p].Name));
  }
  const double latest = LatestExposureTime(scenario);
  Windows win;
  win.length = occ.AveragingTime;
  std::vector<float> row;
  std::vector<float> before;
  std::string line;
  int rows = 0;
  double t_prev = 0;
  while (source.Next(line)) {
    if (line.find_first_not_of(' ') == std::string::npos) continue;
    const bool read =
        SplitNumberLine(line, separator, row) && static_cast<int>(row.size()) == 1 + pollutants;
    if (!read || !(row[0] >= t_prev && row[0] <= latest)) {
      prompt.Message("Error.  Line " + FormatDouble(source.LineNumber()) +
                         " of the exposure file " + occ.CumExposureFile +
                         " is not a line of exposures.",
                     "Error", MessageIcon::None);
      return false;
    }
    // The windows count what the exposure gains from the first row on, where the data begin.
    if (rows++ > 0) {
      AddRow(win, before, row, pollutants, particles, diameters, separator, out);
    } else {
      win.start = CumulativeOf(row, pollutants);
    }
    t_prev = row[0];
    before.swap(row);
  }
  if (rows > 1) CloseLastWindow(win, before, pollutants, particles, diameters, separator, out);
  return true;
}

// An averaging time that is not positive, or so short that the run would close more windows
// than anyone could read, is refused before the file is read.
bool AveragingTimeUsable(const ScenarioRecord& scenario, const OccupantRecord& occ,
                         Prompt& prompt) {
  if (!(occ.AveragingTime > 0)) {
    prompt.Message(
        "Error.  You have not defined an averaging time. Go to scenario occupant and define "
        "averaging time.",
        "", MessageIcon::None);
    return false;
  }
  if (!AveragingTimeGivesWindows(scenario, occ.AveragingTime)) {
    prompt.Message("Error.  The averaging time of occupant " + occ.Name +
                       " would give more than a million averages over the simulated period.  "
                       "Go to scenario occupant and define a longer averaging time.",
                   "Error", MessageIcon::None);
    return false;
  }
  return true;
}

}  // namespace

bool AveragingTimeGivesWindows(const ScenarioRecord& scenario, float averaging_time) {
  constexpr double kMaxWindows = 1e6;
  return averaging_time > 0 &&
         LatestExposureTime(scenario) / static_cast<double>(averaging_time) <= kMaxWindows;
}

void CalculateAverageExposure(const ScenarioRecord& scenario, char separator, Prompt& prompt) {
  const int occupants = OccupantCount(scenario);
  for (int o = 1; o <= occupants; ++o) {
    const OccupantRecord& occ = scenario.Occupants[o];
    std::remove(occ.AvgExposureFile.c_str());
    TextLineSource source(occ.CumExposureFile);
    if (!source.IsOpen()) continue;  // no exposure calculated: no averages either
    if (!AveragingTimeUsable(scenario, occ, prompt)) continue;
    LineWriter out;
    if (!AverageOccupantExposure(scenario, occ, source, separator, prompt, out)) continue;
    std::string error;
    if (!WriteWorkFile(occ.AvgExposureFile, out.Bytes(), &error)) {
      prompt.Message(WorkFileFailure(occ.AvgExposureFile, error), "Error", MessageIcon::None);
    }
  }
}

}  // namespace quarn
