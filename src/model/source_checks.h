#pragma once

#include <string>
#include <vector>

#include "model/prompt.h"
#include "model/records.h"

namespace quarn {

// Sources that a concentration run would compute nonsense for: a model that would divide by
// zero, or take a power or root of a negative number, on a path the run reaches (a model 3
// source whose MVB0 is 0 once it has been on for a moment, a spill with no moles at the
// start, ...), and emissions or concentrations whose unit cannot be converted into the
// scenario's (particles per hour in a mass scenario, concentrations between "ppm" and
// "number"). Without the check the run would not stop: it would write NaN or keep a stale
// factor. Sources that are never on are not checked.
struct SourceProblem {
  int room = -1;          // 0 the HVAC system, 1..13 a room; -1 the scenario as a whole
  int slot = 0;           // source slot 1..3; 0 for a scenario problem
  int pollutant = -1;     // the pollutant concerned; -1 when the source as a whole is meant
  std::string parameter;  // what to correct, as the input windows name it
  std::string reason;     // why the run cannot use it
};

std::vector<SourceProblem> FindSourceProblems(const BuildingRecord& building);

// Shows one message per source with problems (naming the room, the source, and for each
// problem the pollutant and the parameter) and one per unit problem of the scenario.
// Returns true when the run may go ahead.
bool CheckSourcesBeforeRun(const BuildingRecord& building, Prompt& prompt);

// What the source windows refuse to store whatever else the scenario holds: a petroleum
// spill with no air moving over it (a gas velocity of 0 or less), which would never
// evaporate. Says why through the prompt, naming the room and the source, and returns false;
// true when `source`, shown as source `slot` of `room` (0 the HVAC system), may be stored.
bool SourceMayBeStored(const BuildingRecord& building, int room, int slot,
                       const SourceRecord& source, Prompt& prompt);

// The on/off schedule that the source window's Transfer stores as Sources(room, slot): a
// source without a cycle never emits, and a cycle that goes off no later than it comes on
// emits nothing. Empty when the schedule is whole; otherwise the refusal, naming the room,
// the source and the cycle.
std::string SourceScheduleRefusal(const BuildingRecord& building, int room, int slot,
                                  const SourceRecord& source);

}  // namespace quarn
