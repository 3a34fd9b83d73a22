#include "model/exposure_units.h"

#include <cmath>

#include "model/unit_conversion.h"
#include "text/number_read.h"
#include "text/number_text.h"

namespace quarn {

namespace {

// Litres per mole of an ideal gas at the program's reference conditions.
constexpr double kMolarVolume = 24.5;

// What a cubic metre of air at one unit of the concentration holds.
std::string AmountText(const std::string& units) {
  if (units == kMicrograms) return "\xB5g";
  if (units == kPpm || units == kNumber) return ConcentrationText(units) + "\xB7m\xB3";
  return "mg";
}

}  // namespace

std::string ConcentrationText(const std::string& units) {
  if (units == kMicrograms) return "\xB5g/m\xB3";
  if (units == kPpm) return "ppm";
  if (units == kNumber) return "#/cc";
  // No unit, or one the program does not know, is taken as mg/m³, as the conversions take it.
  return "mg/m\xB3";
}

ExposureUnits ExposureUnitsOf(const ScenarioRecord& scenario) {
  const std::string& units = scenario.ConcUnits;
  ExposureUnits out;
  out.concentration = ConcentrationText(units);
  if (scenario.ExposureMode == "I") {
    out.cumulative = AmountText(units);
    out.instantaneous = out.cumulative + "/h";
  } else {
    out.cumulative = out.concentration + "\xB7h";
    out.instantaneous = out.concentration;
  }
  // A ppm run emits milligrams; a particle run counts particles.
  out.emitted = units == kMicrograms ? "\xB5g" : units == kNumber ? "#" : "mg";
  out.has_mass_dose = units != kNumber;
  return out;
}

std::optional<double> MilligramsPerUnit(const std::string& units,
                                        const PollutantRecord& pollutant) {
  if (units == kMilligrams) return 1.0;
  if (units == kMicrograms) return 0.001;
  if (units == kPpm) {
    if (pollutant.MolWt > 0) return pollutant.MolWt / kMolarVolume;
    return std::nullopt;
  }
  if (units == kNumber) return std::nullopt;
  return 1.0;  // a unit the program does not know is taken as mg/m³, as entered levels are
}

double EmittedPerConcentrationVolume(const std::string& units, const PollutantRecord& pollutant) {
  if (units == kNumber) return 1e6;
  if (units == kPpm) return MilligramsPerUnit(units, pollutant).value_or(1.0);
  return 1.0;  // mg/m³ in mg, µg/m³ in µg
}

std::optional<float> IrritantLevelInUnits(const std::string& units,
                                          const PollutantRecord& pollutant) {
  if (!(pollutant.IrritantConc > 0)) return std::nullopt;
  // A unit the program does not know is taken as the one the level was entered in.
  if (units != kMicrograms && units != kPpm && units != kNumber) return pollutant.IrritantConc;
  const std::optional<float> level =
      ConvertConcentrationUnits(kMilligrams, units, pollutant.IrritantConc, pollutant);
  if (!level || !std::isfinite(*level) || !(*level > 0)) return std::nullopt;
  return level;
}

std::string IrritantLevelText(const std::string& units, const PollutantRecord& pollutant) {
  if (units == kNumber) {
    const std::optional<float> level = IrritantLevelInUnits(units, pollutant);
    return FormatSingle(level.value_or(0.0f)) + " #/cc";
  }
  return FormatSingle(pollutant.IrritantConc) + " mg/m3";
}

std::string UnitRiskText(const PollutantRecord& pollutant) {
  if (pollutant.CancerRisk == 0) return "none entered";
  return FormatSingle(pollutant.CancerRisk) + " per \xB5g/m\xB3";
}

std::string ParticleMassText(const std::string& units, const PollutantRecord& pollutant) {
  if (units != kNumber) return "";
  const std::string what = "Cancer risk through the mass of a particle: ";
  const std::optional<float> mass = ParticleMassMicrograms(pollutant);
  if (!mass) return what + "none without a diameter and density";
  return what + FormatPattern(*mass, "0.000E-") + " \xB5g (diameter " +
         FormatSingle(static_cast<float>(LeadingNumber(pollutant.Name))) + " \xB5m, density " +
         FormatSingle(pollutant.Density) + " g/cm\xB3)";
}

}  // namespace quarn
