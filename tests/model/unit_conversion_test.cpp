#include <gtest/gtest.h>

#include "model/unit_conversion.h"

#include "common/scripted_prompt.h"

namespace quarn {
namespace {

PollutantRecord Gas(float mw) {
  PollutantRecord p;
  p.MolWt = mw;
  return p;
}

PollutantRecord Particle(const char* name, float diameter, float density) {
  PollutantRecord p;
  p.Name = name;
  p.Diameter = diameter;
  p.Density = density;
  return p;
}

float Convert(std::string_view from, std::string_view to, float value, const PollutantRecord& p) {
  const std::optional<float> result = ConvertConcentrationUnits(from, to, value, p);
  EXPECT_TRUE(result) << from << " -> " << to;
  return result.value_or(-1);
}

TEST(ConvertConcentrationUnits, GasThroughTheMolarVolume) {
  // MW 24.5 g/mol: 1 ppm = 1 · 24.5 / 24.5 = 1 mg/m³ = 1000 µg/m³.
  PollutantRecord g = Gas(24.5f);
  EXPECT_FLOAT_EQ(Convert("ppm", "milligrams", 1, g), 1.0f);
  EXPECT_FLOAT_EQ(Convert("ppm", "micrograms", 1, g), 1000.0f);
  EXPECT_FLOAT_EQ(Convert("milligrams", "ppm", 1, g), 1.0f);
  EXPECT_FLOAT_EQ(Convert("micrograms", "ppm", 1000, g), 1.0f);
  // MW 49: 2 ppm = 2 · 49 / 24.5 = 4 mg/m³, and back.
  PollutantRecord h = Gas(49);
  EXPECT_FLOAT_EQ(Convert("ppm", "milligrams", 2, h), 4.0f);
  EXPECT_FLOAT_EQ(Convert("milligrams", "ppm", 4, h), 2.0f);
  EXPECT_FLOAT_EQ(Convert("milligrams", "micrograms", 2.5f, h), 2500.0f);
  EXPECT_FLOAT_EQ(Convert("micrograms", "milligrams", 2500, h), 2.5f);
}

TEST(ConvertConcentrationUnits, ParticlesThroughTheParticleMass) {
  // 1 per cc of 1 µm at 1 g/cm³: π/6 · 1³ · 1 = 3.14159 / 6 = 0.52359833 µg/m³.
  PollutantRecord p = Particle("1", 1, 1);
  EXPECT_NEAR(Convert("number", "micrograms", 1, p), 0.5235983f, 1e-7);
  EXPECT_NEAR(Convert("number", "milligrams", 1, p), 0.0005235983f, 1e-10);
  // Back with Diameter 1 µm = 1e-4 cm: 0.5236 / (1e6 · 0.5236 · 1e-12 · 1 · 1e6) = 1.
  EXPECT_NEAR(Convert("micrograms", "number", 0.5235983f, p), 1.0f, 1e-6);
  EXPECT_NEAR(Convert("milligrams", "number", 0.0005235983f, p), 1.0f, 1e-6);
  // Number to mass reads the diameter from the name ("2.5" µm), not from Diameter:
  // π/6 · 2.5³ · 1 = 0.52359833 · 15.625 = 8.1812239 µg/m³ for 1 per cc.
  PollutantRecord bin = Particle("2.5 um", 0, 1);
  EXPECT_NEAR(Convert("number", "micrograms", 1, bin), 8.181224f, 1e-5);
}

TEST(ConvertConcentrationUnits, UnsetDensityCountsAsOneAndIsStoredWhereAsked) {
  const PollutantRecord p = Particle("1", 1, 0);
  EXPECT_NEAR(Convert("number", "micrograms", 1, p), 0.5235983f, 1e-7);
  // The store is the number-to-mass pair's only, for a bin named by its diameter.
  PollutantRecord stored = p;
  StoreUnitDensity("micrograms", "number", stored);
  PollutantRecord unnamed = Particle("PM2.5", 1, 0);
  StoreUnitDensity("number", "micrograms", unnamed);
  EXPECT_FLOAT_EQ(stored.Density + unnamed.Density, 0.0f);
  StoreUnitDensity("number", "milligrams", stored);
  EXPECT_FLOAT_EQ(stored.Density, 1.0f);
  // A value entered per cc into a mass scenario leaves the density with its pollutant.
  PollutantRecord entered = p;
  float result = 0;
  testing::ScriptedPrompt prompt;
  ASSERT_TRUE(ConvertEntered("initial", "number", "micrograms", 1, result, 1, entered, prompt));
  EXPECT_NEAR(result, 0.5235983f, 1e-7);
  EXPECT_FLOAT_EQ(entered.Density, 1.0f);
}

TEST(ConvertConcentrationUnits, PairsWithoutARuleGiveNothing) {
  PollutantRecord p = Particle("1", 1, 1);
  p.MolWt = 24.5f;
  EXPECT_FALSE(ConvertConcentrationUnits("number", "ppm", 1, p));
  EXPECT_FALSE(ConvertConcentrationUnits("ppm", "number", 1, p));
  EXPECT_FALSE(ConvertConcentrationUnits("Milligrams", "ppm", 1, p));  // case counts
  EXPECT_FALSE(ConvertConcentrationUnits("ppm", "", 1, p));
  // Equal names copy, whatever they are.
  EXPECT_EQ(ConvertConcentrationUnits("ppm", "ppm", 7, p), 7.0f);
}

TEST(GetConcentrationFormats, MassAndConcentrationPatterns) {
  const auto formats = [](std::string_view units) {
    const std::optional<ConcentrationFormats> f = GetConcentrationFormats(units);
    return f ? f->mass + " | " + f->conc : "none";
  };
  EXPECT_EQ(formats("number"), "#.###E-## particles | #.###E-## per cc");
  EXPECT_EQ(formats("micrograms"), "#.###E-## \xB5g | #.###E-## \xB5g/m\xB3");
  EXPECT_EQ(formats("milligrams"), "#.###E-## mg | #.###E-## mg/m\xB3");
  EXPECT_EQ(formats("ppm"), "#.###E-## mg | #.###E-## mg/m\xB3");
  EXPECT_EQ(formats("PPM"), "none");
}

TEST(UnitConversionFactor, EveryUnitsCodeAndEmissionUnit) {
  // Rows: SourceUnitsCode 0 mg, 1 µg, 2 number/ppm, 3 other; columns: EmissionUnits 0 mg/h,
  // 1 µg/h, 2 Number/h, 3 unknown. -1 marks "the previous factor stays" (7.5 here).
  const double table[4][4] = {
      {1.0, 0.001, -1, -1}, {1000.0, 1.0, -1, -1}, {1.0, 0.001, 1.0, -1}, {1.0, 1.0, 1.0, 1.0}};
  for (int code = 0; code < 4; ++code) {
    for (int units = 0; units < 4; ++units) {
      SourceRecord s;
      s.SourceUnitsCode = static_cast<int16_t>(code);
      s.EmissionUnits = static_cast<int16_t>(units);
      s.UnitFactor = 7.5;
      UnitConversionFactor(s);
      const double expected = table[code][units] < 0 ? 7.5 : table[code][units];
      EXPECT_DOUBLE_EQ(s.UnitFactor, expected) << "code " << code << " units " << units;
    }
  }
}

}  // namespace
}  // namespace quarn
