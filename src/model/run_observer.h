#pragma once

#include <span>

namespace quarn {

// What a concentration run tells the window that shows its progress, and how that
// window asks it to stop. The run owns its loop; the observer only watches.
struct RunStartInfo {
  float end_time = 0;           // simulated hours
  float max_concentration = 0;  // the scale of the progress chart
  int num_rooms = 0;
  int num_pollutants = 0;
};

struct RunRecordInfo {
  float time = 0;
  // Concentrations of the record, room 0 (outdoors) to num_rooms, pollutants inner.
  std::span<const float> concentrations;
  float total_emitted = 0;  // the totals the progress window shows for pollutant 0
  float airborne_mass = 0;
  float average_concentration = 0;
};

enum class RunOutcome { Completed, Stopped, Failed };

class RunObserver {
 public:
  virtual ~RunObserver() = default;
  virtual void RunStarted(const RunStartInfo& /*info*/) {}
  virtual void RecordWritten(const RunRecordInfo& /*record*/) {}
  // Called after every step; returning true asks the run to stop at the top of the next one.
  virtual bool StepDone(float /*time*/) { return false; }
  virtual void RunEnded(RunOutcome /*outcome*/) {}
  // The exposure calculation reports its percentage here, without yielding.
  virtual void Progress(int /*percent*/) {}
};

}  // namespace quarn
