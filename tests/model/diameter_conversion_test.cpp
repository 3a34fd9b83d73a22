#include "model/diameter_conversion.h"

#include <gtest/gtest.h>

#include <tuple>
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

TEST(DiameterConversion, BothDiametersSettleAlikeAndInvertEachOther) {
  // da² C(da) = ρ dp² C(dp) at 22 °C and 1 atm, solved apart from this code by bisection;
  // the iteration stops on a 0.1 % change, which leaves it well within 1e-3.
  const std::tuple<float, float, double> table[] = {
      {0.01F, 1.0F, 0.01},       {0.1F, 1.0F, 0.1},       {2.5F, 1.0F, 2.5},
      {0.01F, 2.0F, 0.01959480}, {0.1F, 2.0F, 0.1683597}, {1.0F, 2.0F, 1.443997},
      {2.5F, 2.0F, 3.566409},    {10.0F, 4.0F, 20.07604}};
  for (const auto& [dp, rho, da] : table) {
    SCOPED_TRACE(::testing::Message() << dp << " " << rho);
    const DiameterResult aero = AerodynamicDiameter(dp, 22.0F, 1.0F, rho);
    ASSERT_TRUE(aero.converged);
    EXPECT_NEAR(aero.diameter, da, da * 1e-3);
    const DiameterResult back = PhysicalDiameter(static_cast<float>(da), 22.0F, 1.0F, rho);
    ASSERT_TRUE(back.converged);
    EXPECT_NEAR(back.diameter, dp, dp * 1e-3);
  }
}

}  // namespace
}  // namespace quarn
