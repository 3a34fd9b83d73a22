#pragma once

#include <string>
#include <vector>

#include "model/program_state.h"
#include "model/prompt.h"

namespace quarn {

// The work files this program wrote and recorded in the model: the concentration work file
// of the last run and each occupant's instantaneous, cumulative and average exposure files.
// Only these are ever erased: the temporary folder is the user's choice and may hold files
// of other programs with the same extensions.
std::vector<std::string> RecordedWorkFiles(const BuildingRecord& building);

// Run when the user leaves the program. With the building or the scenario not saved it
// returns false at once, so that the caller asks before losing data. Otherwise, unless
// TempFilesFlag says not to ask, it offers to erase the recorded work files (found whatever
// the letter case of their names) and returns true whatever the answer.
bool EraseTempFiles(ProgramState& state, Prompt& prompt);

}  // namespace quarn
