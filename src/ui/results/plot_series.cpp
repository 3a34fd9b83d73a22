#include "ui/results/plot_series.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "model/exposure_units.h"
#include "model/program_state.h"
#include "model/prompt.h"
#include "model/unit_conversion.h"
#include "model/work_file_reader.h"
#include "platform/hourglass.h"
#include "ui/results/result_errors.h"

namespace quarn {
namespace {

// The smallest concentration a plot draws: lower values, zeros included, are drawn at it,
// so that a clean room shows as a line along the bottom rather than no line.
constexpr float kPlotFloor = 0.001f;
// A concentration series is thinned so that it holds about this many points.
constexpr int32_t kThinningBlock = 2000;
constexpr int kMaxConcentrationPoints = 1999;
constexpr int kCumulativeCapacity = 1266;
constexpr int kCumulativePoints = 1267;
constexpr int kInstantCapacity = 3000;
// Every this many lines of a cumulative file (after the first) give one point.
constexpr int kCumulativeStride = 5;
constexpr int kInstantStride = 5;
constexpr int kTicks = 10;

PlotFailure ConcentrationNotCalculated() {
  return {"Error.  Concentration not calculated.", "Error."};
}

PlotFailure ExposureNotCalculated() {
  return {"Exposure not calculated", "Error"};
}

PlotFailure Numbered(ResultError error) {
  return {ResultErrorText(error), "Error"};
}

PlotFailure Unreadable(const std::string& file_name, const ConcWorkFileReader& reader) {
  return {reader.RefusalMessage(file_name), "Error"};
}

bool Report(Prompt& prompt, const std::optional<PlotFailure>& failure) {
  if (!failure) return false;
  prompt.Message(failure->text, failure->title, MessageIcon::None);
  return true;
}

bool ValidCounts(const BuildingRecord& building) {
  const int pollutants = building.Scenario.NumPollutants;
  return building.NumRooms >= 1 && building.NumRooms <= kMaxRooms && pollutants >= 1 &&
         pollutants <= kMaxPollutants;
}

// Reads the first record and then one in every `s + extra` (s = records \ 2000), taking
// `num_sets` values of each with `pick`.
template <class Pick>
std::optional<PlotFailure> ReadThinned(const BuildingRecord& building, char separator, int extra,
                                       int num_sets, Pick pick, ConcentrationSeries& series) {
  const std::string& file = building.ConcWorkFile;
  const int rooms = building.NumRooms;
  const int pollutants = building.Scenario.NumPollutants;
  int32_t records = 0;
  if (auto failure = CountConcentrationRecords(file, separator, pollutants, rooms, records)) {
    return failure;
  }
  // A file without records is what a run leaves that never got going.
  if (records == 0) return ConcentrationNotCalculated();
  const int32_t period = records / kThinningBlock + extra;

  ConcWorkFileReader reader(file, separator, rooms, pollutants);
  if (!reader.IsOpen()) return ConcentrationNotCalculated();
  series = ConcentrationSeries{};
  series.values.assign(static_cast<size_t>(num_sets), {});
  int32_t skipped = 0;
  for (int32_t record = 0; record < records; ++record) {
    const ConcWorkFileReader::Status status = reader.Next();
    if (status == ConcWorkFileReader::Status::Error) return Unreadable(file, reader);
    if (status == ConcWorkFileReader::Status::End) break;
    if (record > 0 && ++skipped < period) continue;
    skipped = 0;
    series.times.push_back(reader.Time());
    for (int set = 0; set < num_sets; ++set) {
      series.values[static_cast<size_t>(set)].push_back(pick(reader, set));
    }
  }
  return std::nullopt;
}

// Calls `take(time, value)` for every line of an occupant's exposure file, the value
// being the pollutant's field; reading stops when `take` returns false.
template <class Take>
std::optional<PlotFailure> ReadExposureLines(const std::string& path, char separator, int pollutant,
                                             Take take) {
  std::error_code ec;
  if (path.empty() || !std::filesystem::exists(path, ec)) return ExposureNotCalculated();
  TextLineSource source(path);
  if (!source.IsOpen()) return Numbered(ResultError::PathFileAccess);
  std::string line;
  std::vector<float> fields;
  const size_t field = static_cast<size_t>(pollutant) + 1;
  while (source.Next(line)) {
    if (!SplitNumberLine(line, separator, fields)) return Numbered(ResultError::TypeMismatch);
    if (fields.size() <= field) return Numbered(ResultError::IndexOutOfRange);
    if (!take(fields[0], fields[field])) break;
  }
  return std::nullopt;
}

void Include(ExposureExtremes& extremes, float time, float value) {
  extremes.max_time = std::max(extremes.max_time, time);
  extremes.min_time = std::min(extremes.min_time, time);
  extremes.max_value = std::max(extremes.max_value, value);
  extremes.min_value = std::min(extremes.min_value, value);
}

void Add(ExposureSeries& series, float time, float value) {
  series.times.push_back(time);
  series.values.push_back(value);
}

void WarnTooMany(Prompt& prompt) {
  prompt.Message("Too many data points. ", "Warning", MessageIcon::None);
}

bool ValidExposureIndexes(const ScenarioRecord& s, int pollutant) {
  return s.NumOccupants >= 0 && s.NumOccupants <= kMaxOccupants && s.NumPollutants >= 1 &&
         s.NumPollutants <= kMaxPollutants && pollutant >= 0 && pollutant < s.NumPollutants;
}

// The very first line read is a point; then, with one counter running on across the
// occupants' files, every line that brings it above five. So the points are lines 1, 6,
// 12, 18, ... of all lines read, wherever the files begin.
std::optional<PlotFailure> ReadCumulativeSeries(const ScenarioRecord& s, char separator,
                                                int pollutant, Prompt& prompt,
                                                ExposureExtremes& extremes,
                                                OccupantSeries& series) {
  int counter = 0;
  bool first_line = true;
  for (int o = 1; o <= s.NumOccupants; ++o) {
    ExposureSeries& occupant = series[static_cast<size_t>(o)];
    auto take = [&](float time, float value) {
      Include(extremes, time, value);
      ++counter;
      if (first_line) {
        first_line = false;
      } else if (counter > kCumulativeStride) {
        counter = 0;
      } else {
        return true;
      }
      if (occupant.Count() == kCumulativeCapacity) {
        WarnTooMany(prompt);
        return false;
      }
      Add(occupant, time, value);
      return true;
    };
    const std::string& file = s.Occupants[static_cast<size_t>(o)].CumExposureFile;
    if (auto failure = ReadExposureLines(file, separator, pollutant, take)) return failure;
  }
  return std::nullopt;
}

// Replaces the sets with one per occupant of `points` points each. A point past the
// occupant's series is missing; so is one whose time goes back, which stays at the time
// before so that the line breaks where the time did.
void FillExposureGraph(GraphData& graph, const ScenarioRecord& s, const OccupantSeries& series,
                       const ExposureExtremes& extremes, int points, bool styled) {
  graph.kind = GraphKind::Line;
  graph.sets.clear();
  graph.Resize(s.NumOccupants, points);
  graph.x_axis.automatic = true;
  graph.x_axis.maximum = extremes.max_time;
  graph.x_axis.minimum = extremes.min_time;
  graph.y_axis.maximum = extremes.max_value;
  for (int o = 1; o <= s.NumOccupants; ++o) {
    const ExposureSeries& occupant = series[static_cast<size_t>(o)];
    for (int i = 1; i <= points; ++i) {
      GraphPoint& point = graph.Point(o, i);
      point.style = styled ? o - 1 : 0;
      if (i > occupant.Count()) {
        point.missing = true;
        continue;
      }
      const size_t at = static_cast<size_t>(i) - 1;
      const float previous = i > 1 ? occupant.times[at - 1] : 0.0f;
      if (occupant.times[at] < previous) {
        point.missing = true;
        point.x = previous;
        continue;
      }
      point.x = occupant.times[at];
      point.y = occupant.values[at];
    }
    graph.Set(o).legend = s.Occupants[static_cast<size_t>(o)].Name;
  }
}

enum class ConcentrationPlot { AllRooms, AllPollutants };

void SetConcentrationTitles(GraphData& graph, const std::string& units) {
  if (units == kNumber) {
    graph.left_title = "Concentration (#/cc)";
  } else if (units == kMicrograms) {
    graph.left_title = "Concentration (\xB5g/m\xB3)";
  } else if (units == kMilligrams) {
    graph.left_title = "Concentration (mg/m\xB3)";
  }
  // Any other unit (ppm) keeps the title the graph had: it was never given one here.
  graph.bottom_title = "Time (hrs)";
  graph.title = "Concentration vs time";
}

std::optional<PlotFailure> LoadConcentrationPlot(const ProgramState& state, GraphData& graph,
                                                 ConcentrationPlot kind, int index) {
  const BuildingRecord& building = state.Building;
  const ScenarioRecord& s = building.Scenario;
  const bool all_rooms = kind == ConcentrationPlot::AllRooms;
  ConcentrationSeries series;
  auto failure = all_rooms ? ReadPollutantSeries(building, state.DataSeparator, index, series)
                           : ReadRoomSeries(building, state.DataSeparator, index, series);
  if (failure) return failure;

  // Set 1 is room 1 (the series also holds outdoors) or pollutant 0.
  const int first = all_rooms ? 1 : 0;
  const int num_sets = all_rooms ? building.NumRooms : s.NumPollutants;
  auto value = [&](int set, int point) {
    return series.values[static_cast<size_t>(first + set - 1)][static_cast<size_t>(point - 1)];
  };
  int n = series.Count();
  float min_time = series.times.front();
  float max_time = min_time;
  float max_value = value(1, 1);
  for (int i = 1; i <= n; ++i) {
    min_time = std::min(min_time, series.times[static_cast<size_t>(i - 1)]);
    max_time = std::max(max_time, series.times[static_cast<size_t>(i - 1)]);
    for (int set = 1; set <= num_sets; ++set) max_value = std::max(max_value, value(set, i));
  }

  graph.kind = GraphKind::Line;
  graph.sets.clear();
  graph.x_axis = GraphAxis{false, min_time, max_time, kTicks};
  graph.y_axis = GraphAxis{false, 0.01, max_value, kTicks};
  if (n > kThinningBlock) n = kMaxConcentrationPoints;
  // The last point read is not drawn.
  const int points = n - 1;
  graph.Resize(num_sets, points);
  const float floor = state.ConcentrationFloor;
  for (int i = 1; i <= points; ++i) {
    for (int set = 1; set <= num_sets; ++set) {
      GraphPoint& point = graph.Point(set, i);
      point.x = series.times[static_cast<size_t>(i - 1)];
      const float v = value(set, i);
      point.y = v <= floor ? floor : v;
    }
  }
  for (int set = 1; set <= num_sets; ++set) {
    graph.Set(set).legend = all_rooms
                                ? "Room " + std::to_string(set)
                                : "Pollutant " + s.Pollutants[static_cast<size_t>(set - 1)].Name;
  }
  SetConcentrationTitles(graph, s.ConcUnits);
  graph.x_axis.automatic = true;
  graph.y_axis.automatic = true;
  graph.x_axis.ticks = kTicks;
  graph.y_axis.ticks = kTicks;
  return std::nullopt;
}

bool PlotConcentration(ProgramState& state, Prompt& prompt, GraphData& graph,
                       ConcentrationPlot kind, int index) {
  state.ConcentrationFloor = kPlotFloor;
  std::optional<PlotFailure> failure;
  {
    Hourglass hourglass;
    failure = LoadConcentrationPlot(state, graph, kind, index);
  }
  return Report(prompt, failure);
}

std::optional<PlotFailure> LoadCumulativePlot(const ProgramState& state, Prompt& prompt,
                                              GraphData& graph, int pollutant) {
  const ScenarioRecord& s = state.Building.Scenario;
  if (!ValidExposureIndexes(s, pollutant)) return Numbered(ResultError::IndexOutOfRange);
  ExposureExtremes extremes;
  OccupantSeries series;
  if (auto failure =
          ReadCumulativeSeries(s, state.DataSeparator, pollutant, prompt, extremes, series)) {
    return failure;
  }
  FillExposureGraph(graph, s, series, extremes, kCumulativePoints, true);
  graph.left_title = "Cumulative exposure (" + ExposureUnitsOf(s).cumulative + ")";
  if (s.ExposureMode == "I") {
    graph.title = "Cumulative Inhalation Exposure";
  } else {
    graph.title = "Cumulative exposure";
    graph.bottom_title = "Time (hrs)";
  }
  return std::nullopt;
}

std::optional<PlotFailure> LoadInstantPlot(const ProgramState& state, Prompt& prompt,
                                           GraphData& graph, int pollutant) {
  const ScenarioRecord& s = state.Building.Scenario;
  ExposureExtremes extremes;
  OccupantSeries series;
  if (auto failure = ReadExposurePlotData(s, state.ExposureCalculated, state.DataSeparator,
                                          pollutant, prompt, extremes, series)) {
    return failure;
  }
  int points = 0;
  for (const ExposureSeries& occupant : series) points = std::max(points, occupant.Count());
  if (points == 0) points = 2;
  FillExposureGraph(graph, s, series, extremes, points, false);
  graph.title = s.ExposureMode == "I" ? " Instantaneous Exposure" : "Instantaneous Exposure";
  graph.left_title = "Instantaneous exposure (" + ExposureUnitsOf(s).instantaneous + ")";
  graph.bottom_title = "Time (hrs)";
  return std::nullopt;
}

template <class Load>
bool PlotExposure(Prompt& prompt, Load load) {
  std::optional<PlotFailure> failure;
  {
    Hourglass hourglass;
    failure = load();
  }
  return Report(prompt, failure);
}

}  // namespace

std::optional<PlotFailure> CountConcentrationRecords(const std::string& file_name, char separator,
                                                     int num_pollutants, int num_rooms,
                                                     int32_t& count) {
  count = 0;
  ConcWorkFileReader reader(file_name, separator, num_rooms, num_pollutants);
  if (!reader.IsOpen()) return ConcentrationNotCalculated();
  while (true) {
    switch (reader.Next()) {
      case ConcWorkFileReader::Status::Record:
        ++count;
        break;
      case ConcWorkFileReader::Status::End:
        return std::nullopt;
      case ConcWorkFileReader::Status::Error:
        return Unreadable(file_name, reader);
    }
  }
}

std::optional<PlotFailure> ReadPollutantSeries(const BuildingRecord& building, char separator,
                                               int pollutant, ConcentrationSeries& series) {
  if (!ValidCounts(building) || pollutant < 0 || pollutant >= building.Scenario.NumPollutants) {
    return Numbered(ResultError::IndexOutOfRange);
  }
  auto pick = [pollutant](const ConcWorkFileReader& r, int room) {
    return r.Conc(room, pollutant);
  };
  return ReadThinned(building, separator, 1, building.NumRooms + 1, pick, series);
}

std::optional<PlotFailure> ReadRoomSeries(const BuildingRecord& building, char separator, int room,
                                          ConcentrationSeries& series) {
  if (!ValidCounts(building) || room < 0 || room > building.NumRooms) {
    return Numbered(ResultError::IndexOutOfRange);
  }
  auto pick = [room](const ConcWorkFileReader& r, int pollutant) {
    return r.Conc(room, pollutant);
  };
  return ReadThinned(building, separator, 2, building.Scenario.NumPollutants, pick, series);
}

std::optional<PlotFailure> ReadExposurePlotData(const ScenarioRecord& s,
                                                int16_t exposure_calculated, char separator,
                                                int pollutant, Prompt& prompt,
                                                ExposureExtremes& extremes,
                                                OccupantSeries& series) {
  if (!ValidExposureIndexes(s, pollutant)) return Numbered(ResultError::IndexOutOfRange);
  if (exposure_calculated == kFalse) return std::nullopt;
  for (int o = 1; o <= s.NumOccupants; ++o) {
    ExposureSeries& occupant = series[static_cast<size_t>(o)];
    int since_point = 0;
    auto take = [&](float time, float value) {
      if (occupant.Count() == kInstantCapacity) {
        WarnTooMany(prompt);
        return false;
      }
      if (occupant.Count() > 0 && ++since_point < kInstantStride) return true;
      since_point = 0;
      Include(extremes, time, value);
      Add(occupant, time, value);
      return true;
    };
    const std::string& file = s.Occupants[static_cast<size_t>(o)].InstExposureFile;
    if (auto failure = ReadExposureLines(file, separator, pollutant, take)) return failure;
  }
  return std::nullopt;
}

bool PlotConcentrationAllRooms(ProgramState& state, Prompt& prompt, GraphData& graph,
                               int pollutant) {
  return PlotConcentration(state, prompt, graph, ConcentrationPlot::AllRooms, pollutant);
}

bool PlotConcentrationAllPollutants(ProgramState& state, Prompt& prompt, GraphData& graph,
                                    int room) {
  return PlotConcentration(state, prompt, graph, ConcentrationPlot::AllPollutants, room);
}

bool PlotCumulativeExposure(ProgramState& state, Prompt& prompt, GraphData& graph, int pollutant) {
  return PlotExposure(prompt, [&] { return LoadCumulativePlot(state, prompt, graph, pollutant); });
}

bool PlotInstantExposure(ProgramState& state, Prompt& prompt, GraphData& graph, int pollutant) {
  return PlotExposure(prompt, [&] { return LoadInstantPlot(state, prompt, graph, pollutant); });
}

bool PrintAllPlots(ProgramState& state, Prompt& prompt, GraphData& graph) {
  state.ConcentrationFloor = kPlotFloor;
  const int rooms = std::clamp<int>(state.Building.NumRooms, 0, kMaxRooms);
  graph.kind = GraphKind::Line;
  graph.sets.clear();
  graph.Resize(rooms + 2, 2);
  for (GraphSet& set : graph.sets) {
    for (GraphPoint& point : set.points) point.missing = true;
  }
  graph.x_axis.automatic = true;
  graph.y_axis.automatic = true;
  graph.y_axis.maximum = -1E9;
  graph.x_axis.maximum = -1E8;
  graph.x_axis.minimum = 1E8;
  prompt.Message("Not implemented in this version. ", "", MessageIcon::None);
  return false;
}

void EmptyStub() {}

}  // namespace quarn
