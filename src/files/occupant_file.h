#pragma once

#include <string>

#include "model/prompt.h"
#include "model/records.h"

namespace quarn {

// Activity pattern file (".ACT"): one occupant, one value a line. The name; per schedule
// entry TimeEnter, TimeLeave, Location and LocationRoom, for entry 1 and then entries 2, 3,
// ... while their TimeEnter is not 0 (at most 24); the line "DONE"; then BreathingRate,
// EfficiencyFactor, StartTime, EndTime, CycleLength, Lifetime, Population and Weight.
// AveragingTime, Number, NumSegments, the results and the work-file names are not stored.
// A name or location that would not read back whole (a comma, a leading double quote, a blank at
// either end) is written in double quotes.

// Writes `occupant` (the occupant window's copy of the occupant shown).
bool WriteActivityFile(const OccupantRecord& occupant, const std::string& file_name,
                       Prompt& prompt);

// Reads the file into occupant (1..3) of the scenario and sets its Number. The schedule ends
// at a line whose leading number is 0 ("DONE"); the entries after the last one read are
// cleared. A file that ends after StartTime, or after CycleLength, is an older layout: the
// fields it lacks keep their values. A missing file, or one that ends or breaks before
// StartTime, gives a message and changes nothing. After a true result the occupant window
// shows the occupant (FillOccupantGrid).
bool ReadOccupantFile(ScenarioRecord& scenario, int occupant, const std::string& file_name,
                      Prompt& prompt);

}  // namespace quarn
