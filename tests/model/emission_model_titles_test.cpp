#include "model/emission_model_titles.h"

#include <gtest/gtest.h>

#include <array>
#include <string_view>

namespace quarn {
namespace {

// Titles 1 to 7 of every model, as the source window heads its parameter columns.
constexpr std::array<std::array<std::string_view, 7>, kNumEmissionModels> kExpected = {{
    {"C0", "k1", "M01", "Mt1", "k2", "M02", "Mt2"},
    {"R0", "k", "R2", "k2", "R3", "k3", "--"},
    {"R0", "k1", "--", "--", "--", "--", "--"},
    {"C0", "k1", "MVB0", "Applied", "E", "--", "--"},
    {"Alpha", "--", "--", "--", "--", "--", "--"},
    {"KOL", "Henry's Law", "Water Conc", "--", "--", "--", "--"},
    {"A0", "A1", "A2", "A3", "A4", "--", "--"},
    {"C0", "k", "mg/g product", "--", "--", "--", "--"},
    {"C0", "k", "mg/g product", "--", "--", "--", "--"},
    {"C0", "k m/h", "mg spilled", "--", "--", "--", "--"},
    {"C0", "k m/h", "mg/g product", "--", "--", "--", "--"},
}};

TEST(EmissionModelTitles, EveryModelHasItsTitlesAndEmptyRowsAround) {
  for (int m = 0; m < kNumEmissionModels; ++m) {
    EXPECT_EQ(ModelParameterTitle(m, 0), "") << m;
    for (int r = 1; r <= 7; ++r) EXPECT_EQ(ModelParameterTitle(m, r), kExpected[m][r - 1]) << m;
    for (int r = 8; r < kNumParams; ++r) EXPECT_EQ(ModelParameterTitle(m, r), "") << m;
    EXPECT_EQ(ModelParameterTitles()[m][1], kExpected[m][0]);
  }
}

TEST(EmissionModelTitles, ColumnCountsAreTheTitledColumnsInUse) {
  const std::array<int, kNumEmissionModels> counts = {7, 6, 2, 5, 1, 3, 5, 3, 3, 3, 3};
  for (int m = 0; m < kNumEmissionModels; ++m) {
    EXPECT_EQ(ParameterColumnCount(m), counts[m]) << m;
    // Every shown column has a real title, and the first hidden one is "--" or empty.
    for (int r = 1; r <= counts[m]; ++r) EXPECT_NE(ModelParameterTitle(m, r), "--") << m;
    EXPECT_TRUE(ModelParameterTitle(m, counts[m] + 1) == "--" ||
                ModelParameterTitle(m, counts[m] + 1).empty())
        << m;
  }
}

TEST(EmissionModelTitles, UnknownModelHasNoTitlesAndShowsEveryParameter) {
  for (int m : {-1, 11, 300}) {
    EXPECT_EQ(ParameterColumnCount(m), 11);
    for (int r = 0; r < kNumParams; ++r) EXPECT_EQ(ModelParameterTitle(m, r), "");
  }
  EXPECT_EQ(ModelParameterTitle(4, -1), "");
  EXPECT_EQ(ModelParameterTitle(4, 11), "");
}

}  // namespace
}  // namespace quarn
