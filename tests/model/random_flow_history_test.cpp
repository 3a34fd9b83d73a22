#include "model/random_flow_history.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quarn {

void PrintTo(const FlowHistoryRow& row, std::ostream* os) {
  *os << "(" << row.time << ", " << row.fraction << ")";
}

namespace {

using Rows = std::vector<FlowHistoryRow>;

// Draws from a script; the last one repeats once the script is used up.
struct ScriptedDraws {
  std::vector<float> script;
  size_t used = 0;
  float operator()() {
    const float r = script[std::min(used, script.size() - 1)];
    ++used;
    return r;
  }
};

constexpr float kOn = 0.0f;    // the first of the 51 parts: on for every fraction
constexpr float kOff = 0.99f;  // part 50: off unless the fraction is 1
constexpr float kLow = 0.02f;  // part 1: on from a fraction of 0.02 up

TEST(RandomFlowHistory, RowsOfEachChangeAndAClosingRowAt24Hours) {
  const struct {
    const char* what;
    float fraction;
    std::vector<float> draws;
    Rows rows;
  } cases[] = {
      {"always on", 1.0f, {kOff}, {{"0", "1."}, {"24.", "1"}}},
      {"on, off, on, then on",
       0.5f,
       {kOn, kOff, kOn, kOn},
       {{"0", "1."}, {".48", "0"}, {".96", "1"}, {"24.", "1"}}},
      {"a draw of 0 is on even at 0", 0.0f, {kOn}, {{"0", "1."}, {"24.", "1"}}},
      {"off from the start", 0.0f, {kLow}, {{"0", "."}, {"24.", "0"}}},
      {"above 1 is on", 3.0f, {kOff}, {{"0", "1."}, {"24.", "1"}}},
  };
  for (const auto& c : cases) {
    ScriptedDraws draws{c.draws};
    EXPECT_EQ(GenerateRandomFlowHistory(c.fraction, std::ref(draws)), c.rows) << c.what;
    EXPECT_EQ(draws.used, 49U) << c.what << ": one draw for the start and each of 48 steps";
  }
}

TEST(RandomFlowHistory, ChangeAtEveryStepFillsFiftyRowsWithTimesAddedInSingles) {
  std::vector<float> alternate;
  for (int i = 0; i < 49; ++i) alternate.push_back(i % 2 == 0 ? kOn : kOff);
  ScriptedDraws draws{alternate};
  const Rows rows = GenerateRandomFlowHistory(0.5f, std::ref(draws));
  ASSERT_EQ(rows.size(), 50U);
  EXPECT_EQ(rows[24], (FlowHistoryRow{"11.52", "1"}));
  EXPECT_EQ(rows[48], (FlowHistoryRow{"23.04", "1"}));
  EXPECT_EQ(rows[49], (FlowHistoryRow{"24.", "1"}));
}

TEST(RandomFlowHistory, TheProgramsDrawsNeverReachOne) {
  float lowest = 1.0f;
  float highest = 0.0f;
  for (int i = 0; i < 10000; ++i) {
    const float r = ProgramUniform();
    lowest = std::min(lowest, r);
    highest = std::max(highest, r);
  }
  EXPECT_GE(lowest, 0.0f);
  EXPECT_LT(highest, 1.0f);
  EXPECT_GT(highest - lowest, 0.9f);
}

}  // namespace
}  // namespace quarn
