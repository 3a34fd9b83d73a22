#include "model/run_clock.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace quarn {
namespace {

constexpr double kNone = std::numeric_limits<double>::max();

// Takes steps as planned until `until`, with the changes given, and returns each step.
std::vector<RunClock::Plan> Walk(RunClock& clock, double until,
                                 const std::vector<double>& changes) {
  std::vector<RunClock::Plan> plans;
  while (clock.Now() < until - 1e-9) {
    double next = kNone;
    for (double c : changes)
      if (c > clock.Now() + clock.Tolerance()) next = std::min(next, c);
    const RunClock::Plan plan = clock.Next(next);
    clock.Taken(plan, plan.end);
    clock.StepDone();
    plans.push_back(plan);
    if (plan.last) break;
  }
  return plans;
}

TEST(RunClock, WholeStepsReachTheirDecimalTimesExactly) {
  RunClock clock(0.1F, 24, 0, 1e-4);
  Walk(clock, 100, {});
  EXPECT_EQ(clock.Now(), 100.0);
  EXPECT_EQ(clock.Time(), 100.0F);
}

TEST(RunClock, AChangeEndsAStepAndTheGridGoesOn) {
  RunClock clock(0.1F, 24, 0, 1e-4);
  const std::vector<RunClock::Plan> plans = Walk(clock, 1.3, {1.05, 1.2000001});
  ASSERT_EQ(plans.size(), 14U);
  EXPECT_TRUE(plans[9].regular);
  EXPECT_DOUBLE_EQ(plans[10].end, 1.05);  // ends on the change...
  EXPECT_TRUE(plans[10].at_change);
  EXPECT_FALSE(plans[10].regular);
  EXPECT_DOUBLE_EQ(plans[11].end, 1.1);  // ...and the next completes the grid's step
  EXPECT_FALSE(plans[11].regular);
  EXPECT_FALSE(plans[11].at_change);
  // A change within the tolerance of a point of the grid takes effect on it.
  EXPECT_DOUBLE_EQ(plans[12].end, 1.2);
  EXPECT_TRUE(plans[12].regular);
  EXPECT_TRUE(plans[12].at_change);
  EXPECT_TRUE(plans[13].regular);
}

TEST(RunClock, TheLastStepLandsOnTheEndOfThePeriod) {
  RunClock clock(0.3F, 24, 1.0F, 3e-4);
  const std::vector<RunClock::Plan> plans = Walk(clock, 2, {});
  ASSERT_EQ(plans.size(), 4U);
  EXPECT_TRUE(plans.back().last);
  EXPECT_FALSE(plans.back().regular);
  EXPECT_DOUBLE_EQ(plans.back().end, 1.0);
}

TEST(RunClock, AGrownStepIsCutBackAheadOfAChangeAndHalvedAfterABlock) {
  RunClock clock(0.1F, 0.8F, 0, 1e-4);
  clock.Grow(2);
  clock.Grow(2);
  EXPECT_FLOAT_EQ(clock.Step(), 0.4F);
  clock.Grow(4);
  EXPECT_FLOAT_EQ(clock.Step(), 0.8F);  // no longer than the longest step
  clock.CutBackAhead(5, 1);             // far off: nothing happens
  EXPECT_FLOAT_EQ(clock.Step(), 0.8F);
  clock.CutBackAhead(1.5, 2);
  EXPECT_FLOAT_EQ(clock.Step(), 0.1F);
  clock.Halve();  // not grown: stays
  EXPECT_FLOAT_EQ(clock.Step(), 0.1F);
  clock.Grow(3);
  clock.Halve();
  EXPECT_FLOAT_EQ(clock.Step(), 0.15F);
}

TEST(RunClock, OutputIntervalOfTwentyStepsThenTwo) {
  RunClock clock(0.1F, 24, 0, 1e-4);
  clock.Recorded();  // a record after the first step: the next one 20 steps on
  clock.StepDone();
  EXPECT_FALSE(clock.IntervalPassed(2.0));
  EXPECT_TRUE(clock.IntervalPassed(2.1));
  clock.Recorded();  // from then on every second step
  EXPECT_FALSE(clock.IntervalPassed(2.2));
  EXPECT_TRUE(clock.IntervalPassed(2.3));
}

}  // namespace
}  // namespace quarn
