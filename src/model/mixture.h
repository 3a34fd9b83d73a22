#pragma once

#include <optional>
#include <span>
#include <string>

#include "model/prompt.h"

namespace quarn {

// One compound of a mixture: its mass (any unit, the same for all), molecular weight
// (g/mole) and saturation concentration or vapour pressure.
struct MixtureComponent {
  double mass = 0;
  double mol_wt = 0;
  double c0 = 0;
  std::string name;  // as the message names it
};

// The mixture as a whole: its molecular weight and its mole-fraction weighted C0.
struct Mixture {
  double mol_wt = 0;
  double c0 = 0;
};

// Raoult's law for the mixture: moles n = Σ m/MW, molecular weight Σm / n, C0 Σ(C0·m/MW) / n.
// A component with a mass but without a molecular weight above 0 has no mole count: the
// mixture is refused with a message naming it, since leaving it out would give the
// properties of another mixture. A component without mass is no part of the mixture. With
// no moles at all the mixture is undefined: a message, and nothing is given back.
std::optional<Mixture> MixtureProperties(std::span<const MixtureComponent> components,
                                         Prompt& prompt);

}  // namespace quarn
