#pragma once

#include "model/program_state.h"
#include "model/prompt.h"
#include "model/run_observer.h"

namespace quarn {

// The one place where the building window starts a concentration run on the program's
// building with its settings.
RunOutcome RunConcentration(ProgramState& state, Prompt& prompt, RunObserver& observer);

}  // namespace quarn
