#pragma once

#include <functional>
#include <string>
#include <vector>

namespace quarn {

// A source of uniform numbers in [0, 1).
using UniformSource = std::function<float()>;

// The program's own uniform numbers: one generator for the whole run, never seeded, so
// that every run of the program draws the same sequence.
float ProgramUniform();

// One row of the HVAC flow history grid: the texts of its time and fraction cells.
struct FlowHistoryRow {
  std::string time;
  std::string fraction;
  bool operator==(const FlowHistoryRow&) const = default;
};

// A random on/off history over 24 hours in steps of 0.48 h, on at each step with
// probability (Int(50 f) + 1) / 51 for a fraction of time on f from 0 to 1 (f 0 still
// turns on now and then, f 1 and above is always on). Gives row 1 at time 0, one row per
// change of state, and a closing row at 24 h that repeats the state of row 1, so that the
// history read as a cycle starts over where it began.
std::vector<FlowHistoryRow> GenerateRandomFlowHistory(float fraction_on, const UniformSource& draw);

}  // namespace quarn
