#include "ui/common/results_watch.h"

#include "files/building_file.h"
#include "files/scenario_file.h"
#include "text/number_text.h"

namespace quarn {

std::string RunInputs(const ProgramState& state) {
  const BuildingRecord& b = state.Building;
  return BuildingFileBytes(b) + ScenarioFileBytes(b) + FileSingle(state.StepAdjustFactor);
}

void ResultsWatch::RunEnded(const ProgramState& state) {
  inputs_ = RunInputs(state);
  seen_ = true;
}

void ResultsWatch::ConcentrationRunEnded(const ProgramState& state, bool made) {
  inputs_ = RunInputs(state);
  seen_ = true;
  concentrations_current_ = made;
}

bool ResultsWatch::InputsChanged(const ProgramState& state) {
  std::string now = RunInputs(state);
  // The first look only learns the inputs: no results were made before it.
  const bool changed = seen_ && now != inputs_;
  seen_ = true;
  if (changed) concentrations_current_ = false;
  inputs_ = std::move(now);
  return changed;
}

}  // namespace quarn
