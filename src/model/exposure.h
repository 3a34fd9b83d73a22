#pragma once

#include <string>

#include "model/prompt.h"
#include "model/records.h"
#include "model/run_observer.h"

namespace quarn {

// The exposure calculation: after a concentration run each occupant is walked through the
// building along the activity pattern, and the concentration met on the way is integrated
// for every pollutant. The work file of the run is read once, in blocks, and per occupant
// an instantaneous (.EMP) and a cumulative (.CMP) exposure work file is written.
//
// Exposure E = F x concentration, F = BreathingRate x EfficiencyFactor in inhalation mode
// (ExposureMode "I": m³/h x mg/m³ = mg/h) and 1 otherwise (E is then a concentration).

struct ExposureRunResult {
  bool completed = false;              // the concentration file was read to its end
  bool occupant_data_complete = true;  // false when an occupant has no activity pattern
};

// The common part of an occupant's work-file names: two characters of the master file (kept
// to letters, digits, '-' and '_'), the scenario name and "0". A name of up to four letters
// and digits stands as it is ("House", "Wint" -> "HoWint0"); any other follows a "-" with
// each byte that is not a letter or digit as "_" and two hex digits ("Winter test" ->
// "Ho-Winter_20test0"), so distinct scenarios never share files and no file leaves its folder.
std::string ExposureFileBase(const std::string& master_file, const std::string& scenario_name);

// Sets ExposureFileBase and the .EMP, .CMP and .ave names of occupants 1 to NumOccupants
// in `folder` (occupant 1 of the example: HoWint01.EMP).
void SetExposureFileNames(BuildingRecord& building, const std::string& folder);

// The end of an occupant's activity pattern, and NumSegments: the pattern ends at the first
// entry from 2 on whose TimeEnter is 0. A pattern with no first entry (TimeLeave(1) = 0)
// shows a warning and returns 0.
float CheckActivityPatterns(OccupantRecord& occupant, Prompt& prompt);

// t within a cycle of length `period`: t itself up to one period, otherwise the rest after
// whole periods rounded to three decimals; 0 for a period of 0 or less.
float PeriodicTime(double t, double period);

// Runs the calculation over the concentration file Building.ConcWorkFile (values separated
// by `separator`), writes the occupants' work files in `folder`, and fills the occupants'
// result fields. Progress goes to observer.Progress, messages to the prompt.
ExposureRunResult RunExposureCalculation(BuildingRecord& building, const std::string& folder,
                                         char separator, Prompt& prompt, RunObserver& observer);

}  // namespace quarn
