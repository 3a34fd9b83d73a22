#include "model/mixture.h"

namespace quarn {

std::optional<Mixture> MixtureProperties(std::span<const MixtureComponent> components,
                                         Prompt& prompt) {
  double mass = 0;      // Σ m
  double moles = 0;     // Σ m / MW
  double weighted = 0;  // Σ C0 · m / MW
  for (const MixtureComponent& c : components) {
    if (c.mass == 0) continue;
    if (!(c.mol_wt > 0)) {
      prompt.Message("Error.  " + c.name +
                         " has no molecular weight above 0.  The mixture was not calculated.",
                     "Error", MessageIcon::Exclamation);
      return std::nullopt;
    }
    mass += c.mass;
    moles += c.mass / c.mol_wt;
    weighted += c.c0 * c.mass / c.mol_wt;
  }
  if (!(moles > 0)) {
    prompt.Message(
        "Error.  No component has both a mass and a molecular weight above 0.  "
        "The mixture was not calculated.",
        "Error", MessageIcon::Exclamation);
    return std::nullopt;
  }
  return Mixture{mass / moles, weighted / moles};
}

}  // namespace quarn
