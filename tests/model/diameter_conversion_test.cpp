#include "model/diameter_conversion.h"

#include <gtest/gtest.h>

#include <utility>

namespace quarn {
namespace {

// Reference values worked out apart from this code from the mean free path and slip
// correction formulas; compared to 1e-5 relative.
void ExpectNear(float actual, double expected) {
  EXPECT_NEAR(actual, expected, expected * 1e-5);
}

TEST(DiameterConversion, MeanFreePathFollowsPressureAndTemperature) {
  ExpectNear(MeanFreePath(1.0F, 295.0F), 0.066968);
  ExpectNear(MeanFreePath(0.5F, 295.0F), 0.133936);
  ExpectNear(MeanFreePath(1.0F, 296.15F), 0.0673);
}

TEST(DiameterConversion, SlipCorrectionAt22CAndOneAtmosphere) {
  const std::pair<float, double> table[] = {
      {0.01F, 23.23188}, {0.05F, 5.088511}, {0.1F, 2.884029}, {1.0F, 1.152997}, {10.0F, 1.015295}};
  for (const auto& [d, c] : table) {
    SCOPED_TRACE(d);
    ExpectNear(CunninghamCorrection(d, 22.0F, 1.0F), c);
  }
}

TEST(DiameterConversion, PhysicalDiameterInvertsAerodynamic) {
  const PhysicalDiameterResult back = PhysicalDiameter(0.05F, 22.0F, 1.0F, 1.0F);
  ASSERT_TRUE(back.converged);
  EXPECT_EQ(back.rounds, 11);
  // The stopping rule leaves a 0.1 % change in the last round.
  EXPECT_NEAR(AerodynamicDiameter(back.diameter, 22.0F, 1.0F, 1.0F), 0.05F, 0.05F * 2e-3);
}

}  // namespace
}  // namespace quarn
