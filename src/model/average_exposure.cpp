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
  // Gathered in double: the row intervals then add up to the window exactly, and a
  // constant exposure averages to itself over thousands of rows.
  PerPollutant<double> sums{};
  float mmd = 0;  // kept from window to window: a fit that fails leaves the last values
  float gsd = 0;
};

void PutItem(LineWriter& out, float value, char separator) {
  out.Put(FileSingle(value));
  out.Put(std::string_view(&separator, 1));
}

void CloseWindow(Windows& win, double row_time, int pollutants, bool particles,
                 const PerPollutant<float>& diameters, char separator, LineWriter& out) {
  PerPollutant<float> averages{};
  for (int p = 0; p < pollutants; ++p) averages[p] = static_cast<float>(win.sums[p] / win.length);
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
  win.sums = {};
}

// Adds the interval from the row `before` to the row `row` that ends at `t`, and closes
// every window the interval reaches past. The exposure runs in a straight line between the
// rows, as the cumulative exposure takes it (the trapezoid), so that a window's average
// times its length is what the cumulative exposure gains over the window.
void AddRow(Windows& win, const std::vector<float>& before, const std::vector<float>& row,
            int pollutants, bool particles, const PerPollutant<float>& diameters, char separator,
            LineWriter& out) {
  const double t_prev = before[0];
  const double t = row[0];
  const auto value_at = [&](int p, double when) {
    const double x0 = before[1 + p];
    const double x1 = row[1 + p];
    return t > t_prev ? x0 + (x1 - x0) * (when - t_prev) / (t - t_prev) : x1;
  };
  const auto add = [&](double from, double to) {
    for (int p = 0; p < pollutants; ++p)
      win.sums[p] += (to - from) * (value_at(p, from) + value_at(p, to)) / 2;
  };
  double from = t_prev;
  // A row on a window's end closes that window: its Single time may lie a rounding below.
  const double on_boundary = 1e-6 * std::max(1.0, t);
  while (t - static_cast<double>(win.number - 1) * win.length > win.length - on_boundary) {
    const double window_end = std::min(static_cast<double>(win.number) * win.length, t);
    add(from, window_end);
    CloseWindow(win, t, pollutants, particles, diameters, separator, out);
    from = window_end;  // the rest of the interval starts the next window
  }
  add(from, t);
}

// The exposure walk ends at most two steps of at most 24 h past the simulated period, so a
// time beyond that, or one before the previous row, cannot come from an exposure run. The
// limit also bounds the windows a row can close.
double LatestExposureTime(const ScenarioRecord& scenario) {
  return static_cast<double>(scenario.YearsSimulated) * 8760.0 + 48.0;
}

constexpr double kMaxWindows = 1e6;

// At the end of the file the window in progress is whole when the time it reaches within
// itself comes to its length, give or take the rounding of the Single times.
void CloseLastWindow(Windows& win, double t_last, int pollutants, bool particles,
                     const PerPollutant<float>& diameters, char separator, LineWriter& out) {
  const double reached = t_last - static_cast<double>(win.number - 1) * win.length;
  if (reached >= static_cast<double>(win.length) * 0.999) {
    CloseWindow(win, t_last, pollutants, particles, diameters, separator, out);
  }
}

// Reads one occupant's exposure file into the window lines. Returns false when a line is
// refused, after saying so.
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
                         " of the exposure file " + occ.InstExposureFile +
                         " is not a line of exposures.",
                     "Error", MessageIcon::None);
      return false;
    }
    // The first row only marks where the data begin.
    if (rows++ > 0) AddRow(win, before, row, pollutants, particles, diameters, separator, out);
    t_prev = row[0];
    before.swap(row);
  }
  if (rows > 1) CloseLastWindow(win, t_prev, pollutants, particles, diameters, separator, out);
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
  if (!(LatestExposureTime(scenario) / static_cast<double>(occ.AveragingTime) <= kMaxWindows)) {
    prompt.Message("Error.  The averaging time of occupant " + occ.Name +
                       " would give more than a million averages over the simulated period.  "
                       "Go to scenario occupant and define a longer averaging time.",
                   "Error", MessageIcon::None);
    return false;
  }
  return true;
}

}  // namespace

void CalculateAverageExposure(const ScenarioRecord& scenario, char separator, Prompt& prompt) {
  const int occupants = OccupantCount(scenario);
  for (int o = 1; o <= occupants; ++o) {
    const OccupantRecord& occ = scenario.Occupants[o];
    std::remove(occ.AvgExposureFile.c_str());
    TextLineSource source(occ.InstExposureFile);
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
