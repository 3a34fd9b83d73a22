#include "model/calculator_engine.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "common/scripted_prompt.h"

namespace quarn {
namespace {

// Presses one key by its caption.
void Press(CalculatorEngine& e, const std::string& key) {
  if (key == "C") return e.Clear();
  if (key == "CE") return e.ClearEntry();
  if (key == "%") return e.Percent();
  if (key == ".") return e.Decimal();
  if (key.size() == 1 && key[0] >= '0' && key[0] <= '9') return e.Digit(key[0] - '0');
  ASSERT_EQ(key.size(), 1U) << key;
  e.Operator(key[0]);
}

struct Sequence {
  const char* keys;                  // captions, blank-separated
  std::vector<const char*> readout;  // after each key; only the last when it holds one
};

TEST(CalculatorEngine, KeySequencesShowTheirReadouts) {
  const Sequence table[] = {
      {"1 2 . 5 .", {"1.", "12.", "12.", "12.5", "12.5"}},
      {"2 + 3 X 4 =", {"20"}},
      {"5 + - 3 =", {"5.", "5.", "-", "-3.", "2"}},
      {"- 5", {"-0.", "-5."}},
      {"5 = - 3 =", {"2"}},
      {"6 / 0 =", {"6."}},
      {"5 0 + 1 0 % =", {"5.", "50.", "50.", "1.", "10.", "5", "55"}},
      {"5 0 - 1 0 % =", {"45"}},
      {"5 0 X 1 0 % =", {"5"}},
      {"2 + 3 CE 4 =", {"6"}},
      {"1 / 3 =", {"0.333333333333333"}},
      {"0 5", {"0.", "05."}},
      {"5 X - = 3 =", {"0"}},
      {"5 / - = 3 =", {"0"}},
      {"5 + - %", {"5.", "5.", "-", "0"}},
      {"5 + 3 = =", {"8"}},
      {"2 + X 3 =", {"6"}},
      {"- . 5", {"-0.", "-0.", "-0.5"}},
      {"5 0 + 1 0 % % = + 1 =",
       {"5.", "50.", "50.", "1.", "10.", "5", "0.05", "50.05", "50.05", "1.", "51.05"}},
      {"1 0 % % =", {"0.001"}},
  };
  for (const Sequence& s : table) {
    SCOPED_TRACE(s.keys);
    testing::ScriptedPrompt prompt;
    CalculatorEngine e(prompt);
    std::istringstream keys(s.keys);
    std::vector<std::string> shown;
    for (std::string key; keys >> key;) {
      Press(e, key);
      shown.push_back(e.Readout());
    }
    if (s.readout.size() == 1) {
      EXPECT_EQ(shown.back(), s.readout[0]);
    } else {
      EXPECT_EQ(shown, std::vector<std::string>(s.readout.begin(), s.readout.end()));
    }
  }
}

TEST(CalculatorEngine, DivisionByZeroSaysSoAndKeepsTheFirstOperand) {
  testing::ScriptedPrompt prompt;
  CalculatorEngine e(prompt);
  for (const char* key : {"6", "/", "0", "="}) Press(e, key);
  ASSERT_EQ(prompt.shown.size(), 1U);
  EXPECT_EQ(prompt.shown[0].text, "Can't divide by zero");
  EXPECT_EQ(prompt.shown[0].title, "Calculator");
  EXPECT_EQ(prompt.shown[0].icon, MessageIcon::Exclamation);
  EXPECT_EQ(e.Readout(), "6.");
}

}  // namespace
}  // namespace quarn
