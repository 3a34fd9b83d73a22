#pragma once

#include <string>

#include "files/scenario_file.h"
#include "model/prompt.h"
#include "model/records.h"

namespace quarn {

// Reads the scenario layouts that came before "V1.96" (never written any more): files that
// begin with "V1.95", "V1.92", "V1.9" or "V1.8", files that begin with "NEWEST" or "New",
// and the oldest files with no marker line. The generation decides which items a file
// holds: the gas velocity of a source from V1.92, the total mass and the third raw
// parameter from V1.95, pressure, temperature and body weight from V1.9, the sources of
// the HVAC system (room 0) only in files that begin with a version.
//
// Like NewReadScenario: a file with a building head asks whether to go on before anything is
// reset and is refused when its room count is not the building's; the whole file is read
// into a reset copy of the building's scenario, handed back only when it was read whole.
// The items after the occupants' start and end times are optional: a file may end there.
ScenarioFileRead ReadScenarioFile(const BuildingRecord& building, const std::string& file_name,
                                  Prompt& prompt);

// The generation of a first item: "V1.95" 195, "V1.92" 192, "V1.9" 19, "V1.8" 18, and 0 for
// every other text (a small "v" included).
int OldScenarioGeneration(const std::string& first_item);

}  // namespace quarn
