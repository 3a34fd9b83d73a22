#include "model/mixture.h"

#include <gtest/gtest.h>

#include <vector>

#include "common/scripted_prompt.h"

namespace quarn {
namespace {

// Raoult's law by hand: 10 mg of MW 100 and 30 mg of MW 200 are 0.1 + 0.15 = 0.25 mmol;
// C0 (5·0.1 + 1·0.15) / 0.25 = 2.6, molecular weight 40 / 0.25 = 160.
TEST(MixtureProperties, MoleWeightedC0AndMolecularWeight) {
  testing::ScriptedPrompt prompt;
  std::vector<MixtureComponent> parts = {{10, 100, 5}, {30, 200, 1}};
  std::optional<Mixture> m = MixtureProperties(parts, prompt);
  ASSERT_TRUE(m);
  EXPECT_DOUBLE_EQ(m->c0, 2.6);
  EXPECT_DOUBLE_EQ(m->mol_wt, 160);

  // A component without a molecular weight has no moles and leaves the mixture alone.
  parts.push_back({500, 0, 1000});
  m = MixtureProperties(parts, prompt);
  ASSERT_TRUE(m);
  EXPECT_DOUBLE_EQ(m->mol_wt, 160);
  EXPECT_TRUE(prompt.shown.empty());

  // Without moles the mixture is undefined: a message, no result.
  EXPECT_FALSE(MixtureProperties({}, prompt));
  const std::vector<MixtureComponent> no_mass = {{0, 100, 5}, {20, -1, 1}};
  EXPECT_FALSE(MixtureProperties(no_mass, prompt));
  ASSERT_EQ(prompt.shown.size(), 2U);
  EXPECT_EQ(prompt.shown[0].title, "Error");
}

}  // namespace
}  // namespace quarn
