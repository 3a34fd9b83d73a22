#include "model/unit_conversion.h"

#include <cmath>

#include "text/number_read.h"

namespace quarn {
namespace {

// Litres per mole of an ideal gas at the program's reference conditions.
constexpr double kMolarVolume = 24.5;

// π/6 of the sphere volume π d³ / 6, with π as 3.14159 and the quotient kept as a Single.
float PiOverSix() {
  return static_cast<float>(3.14159 / 6.0);
}

// The mass of one particle in µg per (particle/cm³ → µg/m³): π/6 d³ ρ with d in µm and ρ in
// g/cm³ gives pg per particle, and 10^6 cm³ per m³ turns pg/cm³ into µg/m³.
float ParticleMass(double diameter, double density) {
  return static_cast<float>(PiOverSix() * diameter * diameter * diameter * density);
}

// Mass per particle in the target unit times 10^6 cm³/m³: d in cm, ρ in g/cm³, toUnit the
// target unit per gram.
double MassToNumberDivisor(const PollutantRecord& pollutant, double to_unit) {
  const double d = pollutant.Diameter * 0.0001;  // µm -> cm
  return 100.0 * 100.0 * 100.0 * PiOverSix() * d * d * d * pollutant.Density * to_unit;
}

bool KnownUnits(std::string_view units) {
  return units == kMilligrams || units == kMicrograms || units == kPpm || units == kNumber;
}

}  // namespace

bool ConvertEntered(std::string_view what, const std::string& from, const std::string& to,
                    float value, float& result, int number, PollutantRecord& pollutant,
                    Prompt& prompt) {
  StoreUnitDensity(from, to, pollutant);
  const std::optional<float> converted = ConvertConcentrationUnits(from, to, value, pollutant);
  // Without a molecular weight ppm has no mass: into mass it would give zeros, out of it
  // infinities.
  const bool ppm_without_weight =
      from != to && (from == kPpm || to == kPpm) && !(pollutant.MolWt > 0);
  if (converted && std::isfinite(*converted) && !ppm_without_weight) {
    result = *converted;
    return true;
  }
  if (!converted && !(KnownUnits(from) && KnownUnits(to))) return true;  // nothing to convert
  std::string which = "pollutant " + std::to_string(number);
  if (!pollutant.Name.empty()) which += " (" + pollutant.Name + ")";
  std::string why = "Please check the units and the pollutant data.";
  if ((from == kPpm && to == kNumber) || (from == kNumber && to == kPpm)) {
    why = "A particle count and ppm have no conversion.";
  } else if (ppm_without_weight) {
    why =
        "ppm needs the pollutant's molecular weight, and it has none above 0: define the "
        "pollutants and transfer them first.";
  } else if (from == kNumber || to == kNumber) {
    why = "A particle count has a mass only for a pollutant named by its diameter in \xB5m.";
  }
  prompt.Message("Error.  The " + std::string(what) + " concentrations of " + which +
                     " cannot be converted from " + from + " to " + to + ".  " + why,
                 "Error", MessageIcon::Critical);
  return false;
}

std::optional<float> ParticleMassMicrograms(const PollutantRecord& pollutant) {
  const double diameter = LeadingNumber(pollutant.Name);
  if (!(diameter > 0) || !(pollutant.Density > 0)) return std::nullopt;
  const float mass = ParticleMass(diameter, pollutant.Density) * 1e-6f;  // pg -> µg
  if (!std::isfinite(mass) || !(mass > 0)) return std::nullopt;
  return mass;
}

void StoreUnitDensity(std::string_view from_units, std::string_view to_units,
                      PollutantRecord& pollutant) {
  if (from_units == kNumber && (to_units == kMicrograms || to_units == kMilligrams) &&
      LeadingNumber(pollutant.Name) > 0 && pollutant.Density == 0)
    pollutant.Density = 1.0f;
}

std::optional<ConcentrationConversion> ConcentrationConversion::Prepare(
    std::string_view from_units, std::string_view to_units, const PollutantRecord& pollutant) {
  ConcentrationConversion k;
  const double mw = pollutant.MolWt;
  if (from_units == to_units) return k;
  if (from_units == kNumber) {
    if (to_units != kMicrograms && to_units != kMilligrams) return std::nullopt;
    // A size bin is named by its diameter in µm; a name without one ("PM2.5") has no mass.
    if (!(LeadingNumber(pollutant.Name) > 0)) return std::nullopt;
    // An unset density means unit density (StoreUnitDensity).
    const float density = pollutant.Density == 0 ? 1.0f : pollutant.Density;
    k.times_ = ParticleMass(LeadingNumber(pollutant.Name), density);
    if (to_units == kMilligrams) k.over_ = 1000.0;
    return k;
  }
  if (from_units == kPpm) {
    if (to_units != kMicrograms && to_units != kMilligrams) return std::nullopt;
    k.times_ = mw;
    k.over_ = kMolarVolume;
    if (to_units == kMicrograms) k.then_times_ = 1000.0;
    return k;
  }
  if (from_units == kMicrograms || from_units == kMilligrams) {
    const bool micro = from_units == kMicrograms;
    if (to_units == kPpm) {
      k.times_ = kMolarVolume;
      k.over_ = mw;
      if (micro) k.then_over_ = 1000.0;
    } else if (micro && to_units == kMilligrams) {
      k.over_ = 1000.0;
    } else if (!micro && to_units == kMicrograms) {
      k.times_ = 1000.0;
    } else if (to_units == kNumber) {
      k.over_ = MassToNumberDivisor(pollutant, micro ? 1000000.0 : 1000.0);
    } else {
      return std::nullopt;
    }
    return k;
  }
  return std::nullopt;
}

std::optional<float> ConvertConcentrationUnits(std::string_view from_units,
                                               std::string_view to_units, float value,
                                               const PollutantRecord& pollutant) {
  const std::optional<ConcentrationConversion> conversion =
      ConcentrationConversion::Prepare(from_units, to_units, pollutant);
  if (!conversion) return std::nullopt;
  return (*conversion)(value);
}

std::optional<ConcentrationFormats> GetConcentrationFormats(std::string_view units) {
  if (units == kNumber) return ConcentrationFormats{"#.###E-## particles", "#.###E-## per cc"};
  if (units == kMicrograms) return ConcentrationFormats{"#.###E-## \xB5g", "#.###E-## \xB5g/m\xB3"};
  // A ppm scenario still accounts its emitted and collected masses in mg.
  if (units == kMilligrams || units == kPpm)
    return ConcentrationFormats{"#.###E-## mg", "#.###E-## mg/m\xB3"};
  return std::nullopt;
}

double UnitFactorFor(int16_t source_units_code, int16_t emission_units, double previous) {
  switch (source_units_code) {
    case 0:  // milligrams
      if (emission_units == 0) return 1.0;
      if (emission_units == 1) return 0.001;
      return previous;
    case 1:  // micrograms
      if (emission_units == 0) return 1000.0;
      if (emission_units == 1) return 1.0;
      return previous;
    case 2:  // number or ppm: a mass emission is accounted in mg
      if (emission_units == 0) return 1.0;
      if (emission_units == 1) return 0.001;
      if (emission_units == 2) return 1.0;
      return previous;
    default:
      return 1.0;
  }
}

void UnitConversionFactor(SourceRecord& source) {
  source.UnitFactor =
      UnitFactorFor(source.SourceUnitsCode, source.EmissionUnits, source.UnitFactor);
}

int16_t GetUnitsCode(const std::string& units) {
  if (units == "milligrams") return 0;
  if (units == "micrograms") return 1;
  if (units == "ppm") return 2;
  if (units == "number") return 3;
  if (units == "#/m3") return 4;
  return 0;
}

}  // namespace quarn
