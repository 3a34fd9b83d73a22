#pragma once

#include <optional>

#include "model/records.h"

namespace quarn {

// Which results exist: those of an exposure calculation, and of a risk calculation on its
// exposures. The record keeps the fields of both whatever ran, so only these flags tell a
// result from a value left by another run or never calculated.
struct CalculatedResults {
  bool exposure = false;
  bool risk = false;
};

// An occupant's summary of one pollutant: none where nothing was calculated (or, for the
// RfD, none was entered), so that a window or a file gives no value of another run, and no
// zero that was never calculated, as a result.
struct SummaryFigures {
  std::optional<float> hours_above;  // only against a level that is set
  std::optional<float> total_exposure;
  std::optional<float> peak_exposure;
  std::optional<float> potential_dose;  // an inhaled mass per kg of body weight and day
  std::optional<float> rfd;
  std::optional<float> cancer_risk;  // of a particle count only through a particle's mass
};

SummaryFigures SummaryFiguresOf(const ScenarioRecord& scenario, CalculatedResults calculated,
                                int occupant, int p);

}  // namespace quarn
