#include "ui/main/concentration_command.h"

#include "model/concentration_run.h"

namespace quarn {

RunOutcome RunConcentration(ProgramState& state, Prompt& prompt, RunObserver& observer) {
  return RunConcentrationCalculation(state.Building, RunSettingsFrom(state), prompt, observer);
}

}  // namespace quarn
