#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/records.h"
#include "platform/graph_data.h"

namespace quarn {

class Prompt;
struct ProgramState;

// The line plots of a run's results, built from its work files into the plain data that
// the plot window's graph shows. Each procedure replaces the sets of the graph data it is
// given and returns the error flag: true when it showed why there is nothing to plot, so
// that the caller closes the window it opened for the plot.

// A message shown in place of a plot, and its title.
struct PlotFailure {
  std::string text;
  std::string title;
};

// Concentrations against time, one entry a record of the work file.
struct ConcentrationSeries {
  std::vector<float> times;
  // values[set][j - 1]: the set is the room (0 outdoors to NumRooms) of a pollutant
  // series, or the pollutant (0 to NumPollutants - 1) of a room series.
  std::vector<std::vector<float>> values;

  int Count() const { return static_cast<int>(times.size()); }
};

// One occupant's exposure against time; point j (from 1) at index j - 1.
struct ExposureSeries {
  std::vector<float> times;
  std::vector<float> values;

  int Count() const { return static_cast<int>(times.size()); }
};
// Occupants 1 to 3; entry 0 stays empty.
using OccupantSeries = std::array<ExposureSeries, kMaxOccupants + 1>;

// The running extremes of the exposure readers, from where no series has been.
struct ExposureExtremes {
  float max_time = -1E9f;
  float max_value = -1E9f;
  float min_time = 1E9f;
  float min_value = 1E9f;
};

// Every record of the work file: the series of one pollutant in every room (0 outdoors to
// NumRooms), or of every pollutant in one room. A failure when no record can be read.
std::optional<PlotFailure> ReadPollutantSeries(const BuildingRecord& building, char separator,
                                               int pollutant, ConcentrationSeries& series);
std::optional<PlotFailure> ReadRoomSeries(const BuildingRecord& building, char separator, int room,
                                          ConcentrationSeries& series);

// Every line of every occupant's instantaneous exposure to one pollutant. A failure before
// the exposure has been calculated.
std::optional<PlotFailure> ReadExposurePlotData(const ScenarioRecord& scenario,
                                                bool exposure_calculated, char separator,
                                                int pollutant, ExposureExtremes& extremes,
                                                OccupantSeries& series);

// The plots draw every record from time 0 (a line too long to draw fast keeps its first,
// last, lowest and highest points) and say so when there is nothing to draw.
// One set per room 1..NumRooms, named as the room: the concentration of `pollutant` (from 0).
bool PlotConcentrationAllRooms(ProgramState& state, Prompt& prompt, GraphData& graph,
                               int pollutant);
// One set per pollutant: the concentrations in `room` (1..NumRooms).
bool PlotConcentrationAllPollutants(ProgramState& state, Prompt& prompt, GraphData& graph,
                                    int room);
// One set per occupant: cumulative exposure to `pollutant`.
bool PlotCumulativeExposure(ProgramState& state, Prompt& prompt, GraphData& graph, int pollutant);
// One set per occupant: instantaneous exposure to `pollutant`.
bool PlotInstantExposure(ProgramState& state, Prompt& prompt, GraphData& graph, int pollutant);

// What the plot window's scale options do in this version: nothing.
void EmptyStub();

}  // namespace quarn
