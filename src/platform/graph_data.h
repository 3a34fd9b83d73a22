#pragma once

#include <algorithm>
#include <cassert>
#include <string>
#include <vector>

namespace quarn {

// What a graph shows, as plain data: the plot procedures build it and tests compare it
// without a display. Texts are Windows-1252 bytes, as in the model.
enum class GraphKind { Line, Bar };

struct GraphAxis {
  // An automatic axis spans the data with round numbers; a user-defined one spans
  // minimum to maximum as given.
  bool automatic = true;
  double minimum = 0;
  double maximum = 0;
  // The number of intervals between labelled ticks.
  int ticks = 10;

  bool operator==(const GraphAxis&) const = default;
};

// A point of a line plot, or a bar: a bar's value is its y and its name is its label.
struct GraphPoint {
  double x = 0;
  double y = 0;
  // A missing point is not drawn and breaks its set's line.
  bool missing = false;
  // Picks a bar's fill colour from the graph palette (0 the first colour).
  int style = 0;
  std::string label;

  bool operator==(const GraphPoint&) const = default;
};

struct GraphSet {
  std::string legend;
  std::vector<GraphPoint> points;
  // Measured points: a marker at each point and no line, so that a curve fitted through
  // them cannot hide them.
  bool markers = false;

  bool operator==(const GraphSet&) const = default;
};

// Sets and points are numbered from 1, as the plot procedures count them. A bar chart
// shows the points of set 1 as its bars.
struct GraphData {
  GraphKind kind = GraphKind::Line;
  std::string title;
  std::string left_title;    // beside the y axis, drawn vertically
  std::string bottom_title;  // under the x axis
  GraphAxis x_axis;
  GraphAxis y_axis;
  std::vector<GraphSet> sets;

  int NumSets() const { return static_cast<int>(sets.size()); }
  // The number of points of each set; what a set held before stays where it fits.
  void Resize(int num_sets, int num_points) {
    sets.resize(static_cast<size_t>(std::max(num_sets, 0)));
    for (GraphSet& set : sets) set.points.resize(static_cast<size_t>(std::max(num_points, 0)));
  }
  // Writing beyond what the data holds extends it, so that no number a procedure
  // computes can reach past the end of a table.
  GraphSet& Set(int number) {
    assert(number >= 1);
    const size_t index = static_cast<size_t>(std::max(number, 1) - 1);
    if (index >= sets.size()) sets.resize(index + 1);
    return sets[index];
  }
  GraphPoint& Point(int set, int point) {
    assert(point >= 1);
    std::vector<GraphPoint>& points = Set(set).points;
    const size_t index = static_cast<size_t>(std::max(point, 1) - 1);
    if (index >= points.size()) points.resize(index + 1);
    return points[index];
  }

  bool operator==(const GraphData&) const = default;
};

}  // namespace quarn
