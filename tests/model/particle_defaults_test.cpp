#include "model/particle_defaults.h"

#include <gtest/gtest.h>

namespace quarn {
namespace {

TEST(PenetrationFromDiameter, FittedCurveHeldBetweenOnePercentAndOne) {
  // ln 1 = 0 leaves the constant: exp(-0.4596) = 0.63154.
  EXPECT_NEAR(PenetrationFromDiameter(1), 0.6315F, 1e-4F);
  // 1 nm: x = -6.9078, exp(-2.7359 - 2.1950 + 1.9494 - 0.4596) = 0.03203.
  EXPECT_NEAR(PenetrationFromDiameter(0.001F), 0.03203F, 1e-5F);
  // 0.01 nm: the curve gives 1.2e-7, held at 0.01; 10 cm: 17.5, held at 1.
  EXPECT_EQ(PenetrationFromDiameter(1e-5F), 0.01F);
  EXPECT_EQ(PenetrationFromDiameter(1e5F), 1.0F);
  EXPECT_EQ(PenetrationFromDiameter(0), 0.0F);
  EXPECT_EQ(PenetrationFromDiameter(-1), 0.0F);
}

TEST(DepositionFromDiameter, DiffusionPlusSettling) {
  // exp(-3.8) + exp(-4.1) = 0.022371 + 0.016573.
  EXPECT_NEAR(DepositionFromDiameter(1), 0.03894F, 1e-5F);
  // 10 µm: exp(-3.8 - 0.8 ln 10) + exp(2.4 ln 10 - 4.1) = 0.0035455 + 4.16287.
  EXPECT_NEAR(DepositionFromDiameter(10), 4.16641F, 1e-4F);
  // A diameter without a logarithm deposits nothing.
  EXPECT_EQ(DepositionFromDiameter(0), 0.0F);
  EXPECT_EQ(DepositionFromDiameter(-2), 0.0F);
}

// The logarithm is taken in double precision and rounded to a Single once; the single-precision
// logarithm rounds some diameters the other way and changes the last digit of the stored
// value. Reference values: x = ln d rounded to Single, then the formulas rounded as stored.
TEST(ParticleDefaults, LogarithmRoundedOnceToSingle) {
  EXPECT_EQ(DepositionFromDiameter(0.824F), 0.0365319625F);
  EXPECT_EQ(DepositionFromDiameter(2.174F), 0.118879214F);
  EXPECT_EQ(PenetrationFromDiameter(7.086F), 0.324249804F);
  EXPECT_EQ(PenetrationFromDiameter(7.134F), 0.323447704F);
}

TEST(SetDepositionDefaults, WritesEverySinkSlotOfEveryRoom) {
  BuildingRecord b;
  b.NumRooms = 2;
  ScenarioRecord& s = b.Scenario;
  s.NumPollutants = 2;
  s.Pollutants[0].Diameter = 1;
  s.Pollutants[1].Diameter = 10;
  s.NumSinks[1] = 1;        // slots 0 and 2 are written all the same
  s.Sinks[3][1].ka[0] = 9;  // room 3 is not in the building

  SetDepositionDefaults(b);
  EXPECT_NEAR(s.Pollutants[0].DepositionVelocity, 0.03894F, 1e-5F);
  EXPECT_NEAR(s.Pollutants[1].DepositionVelocity, 4.16641F, 1e-4F);
  for (int r = 1; r <= 2; ++r) {
    for (int k = 0; k <= 2; ++k) {
      EXPECT_EQ(s.Sinks[r][k].ka[0], s.Pollutants[0].DepositionVelocity) << r << k;
      EXPECT_EQ(s.Sinks[r][k].ka[1], s.Pollutants[1].DepositionVelocity) << r << k;
    }
  }
  EXPECT_EQ(s.Sinks[3][1].ka[0], 9);
  EXPECT_EQ(s.Sinks[0][1].ka[0], 0);  // the HVAC system has no surfaces here
  EXPECT_EQ(s.Sinks[1][1].ka[2], 0);  // pollutants beyond the count
}

}  // namespace
}  // namespace quarn
