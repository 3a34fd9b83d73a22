#pragma once

#include "model/records.h"

namespace quarn {

// Default values that depend on the particle diameter d (µm), offered by the penetration,
// pollutant and sink windows in particle mode.

// Fraction of outdoor particles that penetrates the building envelope: a fitted curve in
// ln d, held to [0.01, 1]. 0 for a diameter of 0 or less.
float PenetrationFromDiameter(float d);

// Deposition velocity onto indoor surfaces: a diffusion term that falls with size plus a
// settling term that rises with it. 0 for a diameter of 0 or less.
float DepositionFromDiameter(float d);

// Every pollutant's DepositionVelocity from its Diameter, copied into ka of sink slots 0..2
// of every room 1..NumRooms (all slots, used or not, so that a sink added later starts with
// the default).
void SetDepositionDefaults(BuildingRecord& building);

}  // namespace quarn
