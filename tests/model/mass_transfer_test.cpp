#include "model/mass_transfer.h"

#include <gtest/gtest.h>

namespace quarn {
namespace {

using Status = MassTransferResult::Status;

TEST(MassTransferCoefficient, FlatPlateCorrelationAndItsRefusals) {
  // 10 cm/s = 360 m/h over a 2 m side: Re = 360 × 1200 × 2 / 66.
  const MassTransferResult r = MassTransferCoefficient(10, 4, 0.03f);
  EXPECT_NEAR(r.re, 13090.91, 13090.91 * 1e-6);
  EXPECT_NEAR(r.sh, 156.5108, 156.5108 * 1e-6);
  EXPECT_NEAR(r.km, 2.347662, 2.347662 * 1e-6);
  EXPECT_NEAR(MassTransferCoefficient(5, 1, 0.03f).km, 1.906894, 1.906894 * 1e-6);
  EXPECT_EQ(MassTransferCoefficient(10, 1E-08f, 0.03f).status, Status::Ok);
  for (float area : {0.0f, 1E-09f, -4.0f}) {
    EXPECT_EQ(MassTransferCoefficient(10, area, 0.03f).status, Status::NoArea) << area;
  }
  EXPECT_EQ(MassTransferCoefficient(-1, 4, 0.03f).status, Status::Negative);
  EXPECT_EQ(MassTransferCoefficient(10, 4, -0.03f).status, Status::Negative);
  EXPECT_EQ(MassTransferCoefficient(3E38f, 4, 3E38f).status, Status::TooLarge);
}

}  // namespace
}  // namespace quarn
