#pragma once

#include <cstddef>
#include <string>

#include "model/program_state.h"
#include "model/prompt.h"
#include "model/records.h"
#include "model/run_observer.h"

namespace quarn {

// What a concentration run takes from the program's settings besides the building.
struct RunSettings {
  float step_adjust_factor = 0;  // growth of a steady step; 0 means 1
  double max_concentration = 0;  // scale of the progress chart
  // The temporary folder of the settings, whole: the work file goes in this copy's own
  // folder inside it, as <MasterFile>SEN.TMP.
  std::string temp_folder_name;
  char data_separator = ',';
  // How many of the systems a run meets it keeps worked out: a flow schedule that repeats
  // within them never works one out twice.
  std::size_t systems_kept = 48;
};

RunSettings RunSettingsFrom(const ProgramState& state);

// Integrates the concentration of every pollutant in every room over the simulated period
// and writes the records to the concentration work file. The building's entered data are
// only read; the run writes its results (the totals, peaks, record count and times, the
// air-cleaner masses, ConcWorkFile when it created a file) and StepSize 0 becomes 0.1.
// Completed or Stopped (the observer asked) runs leave a complete work file; a Failed run has
// said why through the prompt and leaves the records it computed, if it created a file.
RunOutcome RunConcentrationCalculation(BuildingRecord& building, const RunSettings& settings,
                                       Prompt& prompt, RunObserver& observer);

}  // namespace quarn
