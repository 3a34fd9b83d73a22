#pragma once

#include <optional>
#include <string>

#include "model/records.h"

namespace quarn {

// The units in which the result windows, printouts and saved files label a scenario's
// exposures, doses and totals, in the program's text encoding (Windows-1252).
//
// Inhalation mode (ExposureMode "I") multiplies the concentration by breathing rate and
// efficiency (m³/h): the cumulative exposure is then an amount inhaled in the scenario's
// mass unit and the instantaneous exposure that amount per hour. Otherwise the exposure is
// the concentration itself and its integral a concentration times hours.
struct ExposureUnits {
  std::string concentration;  // "mg/m³", "µg/m³", "ppm", "#/cc"
  std::string cumulative;     // total and cumulative exposure: "mg" or "mg/m³·h"
  std::string instantaneous;  // instantaneous and peak exposure: "mg/h" or "mg/m³"
  std::string emitted;        // what a source emits in total: "mg", "µg" or "#"
  bool has_mass_dose = true;  // false for particle counts: they have no dose per body weight
};

ExposureUnits ExposureUnitsOf(const ScenarioRecord& scenario);

// A scenario's concentration unit as titles and headings write it: "mg/m³", "µg/m³", "ppm",
// "#/cc".
std::string ConcentrationText(const std::string& units);

// The milligrams per m³ that one unit of the scenario's concentration stands for (µg/m³
// 1/1000, ppm the molecular weight over 24.5 litres per mole); none for particle counts and
// for ppm without a molecular weight. An unknown unit counts as mg/m³.
std::optional<double> MilligramsPerUnit(const std::string& units, const PollutantRecord& pollutant);

// What one unit of the scenario's concentration in one m³ holds, in the unit its sources emit
// (ExposureUnits::emitted): the run keeps the masses in the sinks and the air cleaners as a
// concentration times m³. A particle count per cm³ holds a million particles a m³; ppm holds
// the molecular weight over 24.5 litres per mole in mg (1 without a molecular weight, as the
// run takes it).
double EmittedPerConcentrationVolume(const std::string& units, const PollutantRecord& pollutant);

// A pollutant's irritant level, entered in mg/m³, in the unit of the scenario's
// concentrations, so that every window counts the hours above it against the same value.
// None when the level is not set or does not convert; an unknown unit takes it as entered.
std::optional<float> IrritantLevelInUnits(const std::string& units,
                                          const PollutantRecord& pollutant);

// The irritant level as the summary heads its hours above it: in mg/m³ as the pollutant
// window takes it, except in a particle-count scenario, whose level is compared and shown in
// particles ("1.2E+04 #/cc").
std::string IrritantLevelText(const std::string& units, const PollutantRecord& pollutant);

// The unit risk a pollutant's cancer risk is worked out with, as entered: "1E-05 per µg/m³",
// or "none entered".
std::string UnitRiskText(const PollutantRecord& pollutant);

// What the cancer risk of a particle-count scenario assumes of the pollutant, the mass of a
// particle ("Cancer risk through the mass of a particle: 8.181E-6 µg (diameter 2.5 µm,
// density 1 g/cm³)"), or that there is none to give a risk; empty in a scenario of any
// other unit, whose risk assumes nothing.
std::string ParticleMassText(const std::string& units, const PollutantRecord& pollutant);

}  // namespace quarn
