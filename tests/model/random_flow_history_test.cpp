#include "model/random_flow_history.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quarn {
namespace {

using Rows = std::vector<FlowHistoryRow>;

constexpr float kOn = 0.0f;    // the first of the 51 parts: on for every fraction
constexpr float kOff = 0.99f;  // the last part: off unless the fraction is 1
constexpr float kLow = 0.02f;  // the second part: off at a fraction of 0

// The draws of a script, its last one repeating; gives the rows and checks the draw count.
Rows Generate(float fraction_on, const std::vector<float>& script) {
  size_t used = 0;
  const Rows rows = GenerateRandomFlowHistory(
      fraction_on, [&] { return script[std::min(used++, script.size() - 1)]; });
  EXPECT_EQ(used, 49U) << "one draw for the start and each of 48 steps";
  return rows;
}

TEST(RandomFlowHistory, RowsOfEachChangeAndAClosingRowAt24Hours) {
  const struct {
    float fraction;
    std::vector<float> draws;
    Rows rows;
  } cases[] = {
      {1.0f, {kOff}, {{"0", "1."}, {"24.", "1"}}},
      {0.5f, {kOn, kOff, kOn, kOn}, {{"0", "1."}, {".48", "0"}, {".96", "1"}, {"24.", "1"}}},
      {0.0f, {kOn}, {{"0", "1."}, {"24.", "1"}}},  // a draw of 0 is on even at 0
      {0.0f, {kLow}, {{"0", "0"}, {"24.", "0"}}},
      {3.0f, {kOff}, {{"0", "1."}, {"24.", "1"}}},
  };
  for (const auto& c : cases) EXPECT_EQ(Generate(c.fraction, c.draws), c.rows) << c.fraction;

  std::vector<float> alternate;
  for (int i = 0; i < 49; ++i) alternate.push_back(i % 2 == 0 ? kOn : kOff);
  const Rows every_step = Generate(0.5f, alternate);
  ASSERT_EQ(every_step.size(), 50U);
  EXPECT_EQ(every_step[48], (FlowHistoryRow{"23.04", "1"})) << "48 steps added in Singles";
  EXPECT_EQ(every_step[49], (FlowHistoryRow{"24.", "1"}));
}

TEST(RandomFlowHistory, TheProgramsDrawsNeverReachOne) {
  float highest = 0.0f;
  for (int i = 0; i < 10000; ++i) highest = std::max(highest, ProgramUniform());
  EXPECT_LT(highest, 1.0f);
  EXPECT_GT(highest, 0.99f);
}

}  // namespace
}  // namespace quarn
