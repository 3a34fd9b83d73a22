#include "ui/results/plot_series.h"

#include <algorithm>
#include <filesystem>
#include <span>
#include <system_error>

#include "model/exposure_units.h"
#include "model/mass_balance.h"
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
// A line of up to this many points is drawn point for point; a longer one is thinned for
// speed to its first and last points and the lowest and highest of each of kThinBlocks
// stretches between them, so that no peak, trough or end goes missing from the picture.
constexpr size_t kMaxLinePoints = 4000;
constexpr size_t kThinBlocks = 2000;
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

// Reads every record, taking `num_sets` values of each with `pick`.
template <class Pick>
std::optional<PlotFailure> ReadEveryRecord(const BuildingRecord& building, char separator,
                                           int num_sets, Pick pick, ConcentrationSeries& series) {
  const std::string& file = building.ConcWorkFile;
  ConcWorkFileReader reader(file, separator, building.NumRooms, building.Scenario.NumPollutants);
  if (!reader.IsOpen()) return ConcentrationNotCalculated();
  series = ConcentrationSeries{};
  series.values.assign(static_cast<size_t>(num_sets), {});
  while (true) {
    const ConcWorkFileReader::Status status = reader.Next();
    if (status == ConcWorkFileReader::Status::Error) return Unreadable(file, reader);
    if (status == ConcWorkFileReader::Status::End) break;
    series.times.push_back(reader.Time());
    for (int set = 0; set < num_sets; ++set) {
      series.values[static_cast<size_t>(set)].push_back(pick(reader, set));
    }
  }
  // A file without records is what a run leaves that never got going.
  if (series.times.empty()) return ConcentrationNotCalculated();
  return std::nullopt;
}

// The records of one line that are drawn: all of them, or when there are too many the first,
// the last, and the lowest and highest of each stretch between, in their order.
std::vector<size_t> KeptPoints(std::span<const float> values) {
  const size_t n = values.size();
  std::vector<size_t> kept;
  if (n <= kMaxLinePoints) {
    for (size_t i = 0; i < n; ++i) kept.push_back(i);
    return kept;
  }
  kept.push_back(0);
  const size_t inner = n - 2;
  for (size_t block = 0; block < kThinBlocks; ++block) {
    const auto from = static_cast<std::ptrdiff_t>(1 + inner * block / kThinBlocks);
    const auto to = static_cast<std::ptrdiff_t>(1 + inner * (block + 1) / kThinBlocks);
    if (from == to) continue;
    const auto [low, high] = std::minmax_element(values.begin() + from, values.begin() + to);
    const auto first = static_cast<size_t>(std::min(low, high) - values.begin());
    const auto second = static_cast<size_t>(std::max(low, high) - values.begin());
    kept.push_back(first);
    if (second != first) kept.push_back(second);
  }
  kept.push_back(n - 1);
  return kept;
}

// The drawn points of one line. Where the time goes back (a new stretch of an exposure
// file), a missing point at the time before breaks the line, and each stretch is thinned
// on its own.
std::vector<GraphPoint> LinePoints(const std::vector<float>& times,
                                   const std::vector<float>& values) {
  std::vector<GraphPoint> points;
  size_t start = 0;
  while (start < times.size()) {
    size_t end = start + 1;
    while (end < times.size() && times[end] >= times[end - 1]) ++end;
    if (start > 0) {
      GraphPoint gap;
      gap.missing = true;
      gap.x = times[start - 1];
      points.push_back(gap);
    }
    const std::span<const float> stretch(values.data() + start, end - start);
    for (const size_t i : KeptPoints(stretch)) {
      GraphPoint point;
      point.x = times[start + i];
      point.y = stretch[i];
      points.push_back(point);
    }
    start = end;
  }
  return points;
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

bool ValidExposureIndexes(const ScenarioRecord& s, int pollutant) {
  return s.NumOccupants >= 0 && s.NumOccupants <= kMaxOccupants && s.NumPollutants >= 1 &&
         s.NumPollutants <= kMaxPollutants && pollutant >= 0 && pollutant < s.NumPollutants;
}

// Every line of each occupant's file, instantaneous or cumulative.
std::optional<PlotFailure> ReadOccupantFiles(const ScenarioRecord& s, char separator, int pollutant,
                                             bool cumulative, ExposureExtremes& extremes,
                                             OccupantSeries& series) {
  for (int o = 1; o <= s.NumOccupants; ++o) {
    ExposureSeries& occupant = series[static_cast<size_t>(o)];
    auto take = [&](float time, float value) {
      Include(extremes, time, value);
      occupant.times.push_back(time);
      occupant.values.push_back(value);
      return true;
    };
    const OccupantRecord& record = s.Occupants[static_cast<size_t>(o)];
    const std::string& file = cumulative ? record.CumExposureFile : record.InstExposureFile;
    if (auto failure = ReadExposureLines(file, separator, pollutant, take)) return failure;
  }
  return std::nullopt;
}

// One set per occupant, each line drawn whole (or thinned keeping its extremes).
std::optional<PlotFailure> FillExposureGraph(GraphData& graph, const ScenarioRecord& s,
                                             const OccupantSeries& series,
                                             const ExposureExtremes& extremes, bool styled) {
  const bool empty = std::all_of(series.begin(), series.end(),
                                 [](const ExposureSeries& o) { return o.Count() == 0; });
  if (empty)
    return PlotFailure{"Error.  No occupant's exposure file holds a point to plot.", "Error"};
  graph.kind = GraphKind::Line;
  graph.sets.clear();
  graph.Resize(s.NumOccupants, 0);
  graph.x_axis.automatic = true;
  graph.x_axis.maximum = extremes.max_time;
  graph.x_axis.minimum = extremes.min_time;
  graph.y_axis.maximum = extremes.max_value;
  for (int o = 1; o <= s.NumOccupants; ++o) {
    const ExposureSeries& occupant = series[static_cast<size_t>(o)];
    GraphSet& set = graph.Set(o);
    set.points = LinePoints(occupant.times, occupant.values);
    for (GraphPoint& point : set.points) point.style = styled ? o - 1 : 0;
    set.legend = s.Occupants[static_cast<size_t>(o)].Name;
  }
  return std::nullopt;
}

enum class ConcentrationPlot { AllRooms, AllPollutants };

constexpr const char* kTimeTitle = "Time (hrs)";

void SetConcentrationTitles(GraphData& graph, const std::string& units) {
  graph.left_title = "Concentration (" + ConcentrationText(units) + ")";
  graph.bottom_title = kTimeTitle;
  graph.title = "Concentration vs time";
}

// What the run held at time 0, before its first record: the rooms' initial concentrations and
// the outdoor one then in force, in the run's unit.
float ConcAtStart(const ScenarioRecord& s, const PerPollutant<float>& outdoor, int room,
                  int pollutant) {
  const auto p = static_cast<size_t>(pollutant);
  return room == 0 ? outdoor[p] : s.InitialConc[static_cast<size_t>(room)][p];
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
  // Every run starts at time 0, where its first record is one step later.
  const bool from_zero = series.times.front() > 0;
  PerPollutant<float> outdoor{};
  if (from_zero) StepBookkeeping(0.0f, s, outdoor);
  std::vector<float> times = series.times;
  if (from_zero) times.insert(times.begin(), 0.0f);

  graph.kind = GraphKind::Line;
  graph.sets.clear();
  graph.x_axis = GraphAxis{true, 0, times.back(), kTicks};
  graph.y_axis = GraphAxis{true, 0, 0, kTicks};
  graph.Resize(num_sets, 0);
  const float floor = state.ConcentrationFloor;
  for (int set = 1; set <= num_sets; ++set) {
    const int column = first + set - 1;
    std::vector<float> values = series.values[static_cast<size_t>(column)];
    if (from_zero) {
      const int room = all_rooms ? column : index;
      const int pollutant = all_rooms ? index : column;
      values.insert(values.begin(), ConcAtStart(s, outdoor, room, pollutant));
    }
    for (float& v : values) v = std::max(v, floor);
    GraphSet& drawn = graph.Set(set);
    drawn.points = LinePoints(times, values);
    graph.y_axis.maximum = std::max(
        graph.y_axis.maximum, static_cast<double>(*std::max_element(values.begin(), values.end())));
    if (all_rooms) {
      const std::string& name = building.RoomList[static_cast<size_t>(set)].Name;
      drawn.legend = name.empty() ? "Room " + std::to_string(set) : name;
    } else {
      drawn.legend = "Pollutant " + s.Pollutants[static_cast<size_t>(set - 1)].Name;
    }
  }
  SetConcentrationTitles(graph, s.ConcUnits);
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

std::optional<PlotFailure> LoadCumulativePlot(const ProgramState& state, GraphData& graph,
                                              int pollutant) {
  const ScenarioRecord& s = state.Building.Scenario;
  if (!ValidExposureIndexes(s, pollutant)) return Numbered(ResultError::IndexOutOfRange);
  ExposureExtremes extremes;
  OccupantSeries series;
  if (auto failure = ReadOccupantFiles(s, state.DataSeparator, pollutant, true, extremes, series)) {
    return failure;
  }
  if (auto failure = FillExposureGraph(graph, s, series, extremes, true)) return failure;
  graph.title = s.ExposureMode == "I" ? "Cumulative Inhalation Exposure" : "Cumulative exposure";
  graph.left_title = "Cumulative exposure (" + ExposureUnitsOf(s).cumulative + ")";
  graph.bottom_title = kTimeTitle;
  return std::nullopt;
}

std::optional<PlotFailure> LoadInstantPlot(const ProgramState& state, GraphData& graph,
                                           int pollutant) {
  const ScenarioRecord& s = state.Building.Scenario;
  ExposureExtremes extremes;
  OccupantSeries series;
  if (auto failure = ReadExposurePlotData(s, state.ExposureCalculated, state.DataSeparator,
                                          pollutant, extremes, series)) {
    return failure;
  }
  if (auto failure = FillExposureGraph(graph, s, series, extremes, false)) return failure;
  graph.title = s.ExposureMode == "I" ? " Instantaneous Exposure" : "Instantaneous Exposure";
  graph.left_title = "Instantaneous exposure (" + ExposureUnitsOf(s).instantaneous + ")";
  graph.bottom_title = kTimeTitle;
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

std::optional<PlotFailure> ReadPollutantSeries(const BuildingRecord& building, char separator,
                                               int pollutant, ConcentrationSeries& series) {
  if (!ValidCounts(building) || pollutant < 0 || pollutant >= building.Scenario.NumPollutants) {
    return Numbered(ResultError::IndexOutOfRange);
  }
  auto pick = [pollutant](const ConcWorkFileReader& r, int room) {
    return r.Conc(room, pollutant);
  };
  return ReadEveryRecord(building, separator, building.NumRooms + 1, pick, series);
}

std::optional<PlotFailure> ReadRoomSeries(const BuildingRecord& building, char separator, int room,
                                          ConcentrationSeries& series) {
  if (!ValidCounts(building) || room < 0 || room > building.NumRooms) {
    return Numbered(ResultError::IndexOutOfRange);
  }
  auto pick = [room](const ConcWorkFileReader& r, int pollutant) {
    return r.Conc(room, pollutant);
  };
  return ReadEveryRecord(building, separator, building.Scenario.NumPollutants, pick, series);
}

std::optional<PlotFailure> ReadExposurePlotData(const ScenarioRecord& s, bool exposure_calculated,
                                                char separator, int pollutant,
                                                ExposureExtremes& extremes,
                                                OccupantSeries& series) {
  if (!ValidExposureIndexes(s, pollutant)) return Numbered(ResultError::IndexOutOfRange);
  if (!exposure_calculated) return ExposureNotCalculated();
  return ReadOccupantFiles(s, separator, pollutant, false, extremes, series);
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
  return PlotExposure(prompt, [&] { return LoadCumulativePlot(state, graph, pollutant); });
}

bool PlotInstantExposure(ProgramState& state, Prompt& prompt, GraphData& graph, int pollutant) {
  return PlotExposure(prompt, [&] { return LoadInstantPlot(state, graph, pollutant); });
}

void EmptyStub() {}

}  // namespace quarn
