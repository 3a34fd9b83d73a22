#pragma once

#include "model/prompt.h"
#include "model/records.h"

namespace quarn {

// Turns each occupant's cumulative exposure work file (.CMP) into averages over
// consecutive windows of the occupant's AveragingTime, counted from time 0, and writes one
// line per completed window to the occupant's average exposure work file (.ave): the time
// of the row at which the window closed, the window number, the average of every pollutant,
// and in particle mode the mass median diameter and geometric standard deviation of the
// averaged size distribution. Values are separated by `separator`. A window's average is
// what the cumulative exposure gained over it divided by its length, so that it holds the
// exposure exactly as the run integrated it; between two rows the cumulative exposure is
// taken as the straight line. The window in progress at the end of the file is written when
// it is whole; a shorter remainder is not. A file with a time that goes backwards or lies
// past the simulated period, or an averaging time that would give more than a million
// windows, is refused with a message and gives no .ave file.
void CalculateAverageExposure(const ScenarioRecord& scenario, char separator, Prompt& prompt);

// Whether the averages are formed for this averaging time: a positive one that gives at most
// a million windows over the simulated period and the hours an exposure walk may run past it.
bool AveragingTimeGivesWindows(const ScenarioRecord& scenario, float averaging_time);

}  // namespace quarn
