#pragma once

#include <string>
#include <vector>

#include "model/program_state.h"
#include "model/prompt.h"

namespace quarn {

// The work files this program wrote and recorded in the model: the concentration work file
// of the last run and each occupant's instantaneous, cumulative and average exposure files.
// In a temporary folder the user chose only these are erased: it may hold files of other
// programs with the same extensions.
std::vector<std::string> RecordedWorkFiles(const BuildingRecord& building);

// Whether `folder` is the program's own default temporary folder, which nothing else writes.
bool IsDefaultTempFolder(const std::string& folder);

// Run when the user leaves the program. With the building or the scenario not saved it
// returns false at once, so that the caller asks before losing data. Otherwise, unless
// TempFilesFlag says not to ask, it offers to erase the work files and returns true whatever
// the answer. In the default temporary folder the work files of this copy of the program go
// ("*.TMP", "*.Emp", "*.cmp", "*.ave" in any letter case), also those of earlier buildings
// and of copies no longer running, never those of another running copy; in a folder the
// user chose the recorded ones (found whatever the letter case) and this copy's own folder
// there, never another copy's.
bool EraseTempFiles(ProgramState& state, Prompt& prompt);

}  // namespace quarn
