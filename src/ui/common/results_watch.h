#pragma once

#include <string>

#include "model/program_state.h"

namespace quarn {

// Whether the results of the last run still belong to the building and scenario as they
// stand. Results are of the inputs a run had: once the user changes the building, the
// scenario or the calculation options, the windows that show results are of another model,
// and a new concentration run is no repetition of the one before.
class ResultsWatch {
 public:
  // A run has ended: the inputs as it left them (a run writes its defaults into them) are
  // those of the results from now on. The runs after a concentration run (exposure,
  // averages, risk) leave its concentrations of the inputs they were of.
  void RunEnded(const ProgramState& state);
  // The same for a concentration run, whose concentrations are of these inputs when it made
  // any (a failed run made none).
  void ConcentrationRunEnded(const ProgramState& state, bool made);
  // True, once, when the inputs differ from those of the last run or of the last change
  // seen: the results on the screen are of other inputs and end. The first look only
  // learns them.
  bool InputsChanged(const ProgramState& state);
  // Nothing has changed since the last concentration run (as last seen by InputsChanged).
  bool ConcentrationsCurrent() const { return concentrations_current_; }

 private:
  std::string inputs_;
  bool seen_ = false;  // inputs_ holds inputs
  bool concentrations_current_ = false;
};

// What a run reads from the model, as the bytes of the building and scenario files it would
// be saved as, with the calculation options beside them.
std::string RunInputs(const ProgramState& state);

}  // namespace quarn
