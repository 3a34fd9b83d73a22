#pragma once

#include <span>
#include <string>

namespace quarn {

// What a concentration run tells the window that shows its progress, and how that
// window asks it to stop. The run owns its loop; the observer only watches.
struct RunStartInfo {
  float end_time = 0;           // simulated hours
  float max_concentration = 0;  // the scale of the progress chart
  int num_rooms = 0;
  int num_pollutants = 0;
  // Display patterns of a mass and of a concentration in the scenario's units.
  std::string mass_format;
  std::string conc_format;
};

struct RunRecordInfo {
  float time = 0;  // h, the time at which the concentrations hold
  // Concentrations of the record, room 0 (outdoors) to num_rooms, pollutants inner.
  std::span<const float> concentrations;
  // The totals the progress window shows for pollutant 0, all in the unit of what the sources
  // emit: particles in a "number" scenario, else the scenario's mass unit (mg for "ppm").
  float total_emitted = 0;
  float sink_mass = 0;      // held by the sinks at the end of the step
  float leaving = 0;        // left the building so far
  float airborne_mass = 0;  // of the last pollutant, over every room, in the same unit
  // The last pollutant's mean concentration over the total room volume, in the scenario's
  // concentration unit; only meaningful when has_average is true.
  float average_concentration = 0;
  bool has_average = false;
  float hvac_fraction = 1;  // the HVAC-history fraction in force
  float vent_rate = 0;      // the ventilation rate (air changes per hour) in force
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
