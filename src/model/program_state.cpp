#include "model/program_state.h"

namespace quarn {

ProgramState& AppState() {
  static ProgramState state;
  return state;
}

}  // namespace quarn
