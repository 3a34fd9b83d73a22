#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "model/prompt.h"
#include "model/records.h"

namespace quarn {

// The four concentration units, by the words the scenario stores (compared exactly, case
// included): mg/m³, µg/m³, parts per million by volume, and particles per cubic centimetre.
inline constexpr std::string_view kMilligrams = "milligrams";
inline constexpr std::string_view kMicrograms = "micrograms";
inline constexpr std::string_view kPpm = "ppm";
inline constexpr std::string_view kNumber = "number";

// Converts value from one unit to another for the pollutant. Gases go through the molecular
// weight (24.5 litres per mole at the program's reference conditions); particles through the
// particle mass π/6 d³ ρ, where number to mass takes the diameter from the pollutant's Name (a
// size bin is named by its diameter in µm; a name that does not begin with one does not
// convert) and counts a density of exactly 0 as 1 g/cm³, and mass to number takes the
// diameter from its Diameter. Equal names give the value. nullopt for a pair without a rule
// ("ppm" and "number" cannot be converted into each other).
std::optional<float> ConvertConcentrationUnits(std::string_view from_units,
                                               std::string_view to_units, float value,
                                               const PollutantRecord& pollutant);

// The mass of one particle of a size bin in µg, as a count becomes a mass: π/6 d³ ρ with the
// diameter (µm) that names the bin and its density (g/cm³). None when the name gives no
// diameter or no density is set: a mass that rests on an assumed density is not given.
std::optional<float> ParticleMassMicrograms(const PollutantRecord& pollutant);

// Where a number-to-mass conversion counts an unset density as 1 g/cm³, stores that density
// in the pollutant, so that the pollutant window, the saved scenario and later conversions
// agree with the values converted. The run set-up and the windows that convert entered
// values call it on the pollutant whose values they convert; it changes nothing for any
// other pair of units or a pollutant that has a density.
void StoreUnitDensity(std::string_view from_units, std::string_view to_units,
                      PollutantRecord& pollutant);

// The same conversion read once for the many values of a run: Prepare gives nullopt where
// ConvertConcentrationUnits does, and the conversion then gives the same Single for every
// value.
class ConcentrationConversion {
 public:
  static std::optional<ConcentrationConversion> Prepare(std::string_view from_units,
                                                        std::string_view to_units,
                                                        const PollutantRecord& pollutant);
  float operator()(float value) const {
    return static_cast<float>(static_cast<double>(value) * times_ / over_ * then_times_ /
                              then_over_);
  }

 private:
  // Every rule is a product and quotient of doubles in this order; a factor of 1 changes
  // no bit of the result.
  double times_ = 1;
  double over_ = 1;
  double then_times_ = 1;
  double then_over_ = 1;
};

// One entered value into the scenario's units, for the run set-up and the windows that read
// entered concentrations back. `what` names the values in the message ("initial",
// "outdoor"), `number` the pollutant (from 1). False, after a message that says why, when
// the two known units have no rule between them, the result has no value, or ppm is
// converted for a pollutant without a molecular weight (which would give zeros or
// infinities); an unknown unit converts nothing and leaves result as it was. Stores the unit
// density in the pollutant as StoreUnitDensity says.
bool ConvertEntered(std::string_view what, const std::string& from, const std::string& to,
                    float value, float& result, int number, PollutantRecord& pollutant,
                    Prompt& prompt);

// The display patterns of a mass and of a concentration in a unit.
struct ConcentrationFormats {
  std::string mass;
  std::string conc;
};
// nullopt for a name that is not one of the four units.
std::optional<ConcentrationFormats> GetConcentrationFormats(std::string_view units);

// The factor that turns a source's emission (in its EmissionUnits: 0 mg/h, 1 µg/h,
// 2 Number/h) into the scenario's mass unit (SourceUnitsCode: 0 milligrams, 1 micrograms,
// 2 number or ppm). A particle emission has no mass factor in a mass scenario, so there, and
// for an unknown emission unit, the previous factor stays; the pre-run source check refuses
// those sources rather than run with a stale factor.
double UnitFactorFor(int16_t source_units_code, int16_t emission_units, double previous);
void UnitConversionFactor(SourceRecord& source);

// The display unit code of a unit name: "milligrams" 0, "micrograms" 1, "ppm" 2, "number" 3,
// "#/m3" 4, anything else 0.
int16_t GetUnitsCode(const std::string& units);

}  // namespace quarn
