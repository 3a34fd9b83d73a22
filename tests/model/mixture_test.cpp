#include "model/mixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "common/scripted_prompt.h"

namespace quarn {
namespace {

// By hand: 10 mg of MW 100 and 30 mg of MW 200 are 0.25 mmol; C0 (5·0.1 + 1·0.15) / 0.25 =
// 2.6, molecular weight 40 / 0.25 = 160. A component without mass is no part of it.
TEST(MixtureProperties, MoleWeightedC0AndMolecularWeight) {
  testing::ScriptedPrompt prompt;
  const std::vector<MixtureComponent> parts = {
      {10, 100, 5, "a"}, {30, 200, 1, "b"}, {0, 0, 1000, "c"}};
  const std::optional<Mixture> m = MixtureProperties(parts, prompt);
  ASSERT_TRUE(m);
  EXPECT_DOUBLE_EQ(m->c0, 2.6);
  EXPECT_DOUBLE_EQ(m->mol_wt, 160);
  // Without moles the mixture is undefined: a message, no result.
  EXPECT_FALSE(MixtureProperties(std::span(parts).subspan(2), prompt));
  ASSERT_EQ(prompt.shown.size(), 1U);
  EXPECT_EQ(prompt.shown[0].title, "Error");
}

// A component with a mass but no molecular weight would silently leave a different mixture.
TEST(MixtureProperties, RefusesAComponentWithoutMolecularWeight) {
  for (double mw : {0.0, -5.0, std::nan("")}) {
    testing::ScriptedPrompt prompt;
    const std::vector<MixtureComponent> parts = {{10, 100, 5, "toluene"}, {30, mw, 1, "xylene"}};
    EXPECT_FALSE(MixtureProperties(parts, prompt)) << mw;
    ASSERT_EQ(prompt.shown.size(), 1U);
    EXPECT_EQ(prompt.shown[0].text,
              "Error.  xylene has no molecular weight above 0.  The mixture was not calculated.");
  }
}

}  // namespace
}  // namespace quarn
