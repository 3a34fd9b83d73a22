#include "model/random_flow_history.h"

#include <cmath>
#include <random>

#include "text/number_text.h"

namespace quarn {

namespace {

constexpr int kSteps = 50;

// On when the draw falls in the first Int(50 f) + 1 of 51 equal parts of [0, 1); the
// products are Singles, as the stored histories were made.
int OnOff(float draw, float fraction_on) {
  const float part = std::floor(draw * 51.0f);
  const float limit = std::floor(fraction_on * 50.0f);
  return part <= limit ? 1 : 0;
}

}  // namespace

float ProgramUniform() {
  static std::mt19937 generator;  // default seed: the same sequence every run
  // 24 random bits make every Single of the form k / 2^24, so the draw is never 1.
  return static_cast<float>(generator() >> 8) * 0x1p-24f;
}

std::vector<FlowHistoryRow> GenerateRandomFlowHistory(float fraction_on,
                                                      const UniformSource& draw) {
  std::vector<FlowHistoryRow> rows;
  const int first = OnOff(draw(), fraction_on);
  // An off state shows as "." under this mask.
  rows.push_back({"0", FormatPattern(static_cast<float>(first), "###.##")});
  float time = 0.0f;
  int state = first;
  for (int i = 2; i < kSteps; ++i) {
    // The step is a Double added to the Single time and stored back as a Single.
    time = static_cast<float>(static_cast<double>(time) + 24.0 / kSteps);
    const int next = OnOff(draw(), fraction_on);
    if (next != state) {
      rows.push_back({FormatPattern(time, "####.##"), FormatSingle(static_cast<float>(next))});
    }
    state = next;
  }
  rows.push_back({FormatPattern(24.0f, "####.##"), FormatSingle(static_cast<float>(first))});
  return rows;
}

}  // namespace quarn
