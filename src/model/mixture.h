#pragma once

#include <optional>
#include <span>

#include "model/prompt.h"

namespace quarn {

// One compound of a mixture: its mass (any unit, the same for all), molecular weight
// (g/mole) and saturation concentration or vapour pressure.
struct MixtureComponent {
  double mass = 0;
  double mol_wt = 0;
  double c0 = 0;
};

// The mixture as a whole: its molecular weight and its mole-fraction weighted C0.
struct Mixture {
  double mol_wt = 0;
  double c0 = 0;
};

// Raoult's law for the mixture: moles n = Σ m/MW, molecular weight Σm / n, C0 Σ(C0·m/MW) / n.
// A component whose molecular weight is 0 or less has no mole count and is left out. With
// no moles left the mixture is undefined: the message is shown and nothing is given back.
std::optional<Mixture> MixtureProperties(std::span<const MixtureComponent> components,
                                         Prompt& prompt);

}  // namespace quarn
