#include "text/number_read.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <limits>
#include <optional>

#include "text/number_text.h"

namespace quarn {
namespace {

TEST(NumberRead, LeadingNumberTakesTheLongestNumber) {
  const struct {
    const char* text;
    double value;
  } cases[] = {
      {"", 0},          {"abc", 0},
      {"-", 0},         {".", 0},
      {"12", 12},       {"  12", 12},
      {"\t-3.5", -3.5}, {"+7", 7},
      {".5", 0.5},      {"-.25", -0.25},
      {"5.", 5},        {" 1E-05", 1e-05},
      {"1e3x", 1000},   {"2D2", 200},
      {"2d-1", 0.2},    {"1E", 1},
      {"1E+", 1},       {"3 hr", 3},
      {"1,500.5", 1},   {"8,760. hr", 8},
      {"12abc", 12},    {"1.2.3", 1.2},
      {"--5", 0},       {" 1.234568E+07 ", 12345680},
      {"0.1", 0.1},     {"1e400", std::numeric_limits<double>::infinity()},
      {"1e-400", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(LeadingNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(NumberRead, RemoveCommas) {
  EXPECT_EQ(RemoveCommas("1,500.5"), "1500.5");
  EXPECT_EQ(RemoveCommas(",,,"), "");
  EXPECT_EQ(RemoveCommas("12"), "12");
  EXPECT_EQ(LeadingNumber(RemoveCommas("1,234,567.5 mg")), 1234567.5);
}

// A comma is taken only where it groups the thousands of the leading number, as the
// program's own texts do ("17,520.0 h"); "2,5" is a decimal comma and would be misread.
TEST(NumberRead, CommasMustGroupThousands) {
  const struct {
    const char* text;
    bool grouped;
  } cases[] = {{"2.5", true},        {"8,760", true},         {" -12,345,678.9", true},
               {"17,520.0 h", true}, {"1,500e2", true},       {"2,5", false},
               {"1234,567", false},  {",5", false},           {"1,5000", false},
               {"1,500.5,3", false}, {"1,500 and 2,", false}, {"1,,500", false}};
  for (const auto& c : cases) EXPECT_EQ(CommasGroupThousands(c.text), c.grouped) << c.text;
}

TEST(NumberRead, RoundingHalvesToEven) {
  EXPECT_EQ(RoundToInt16(2.5), 2);
  EXPECT_EQ(RoundToInt16(3.5), 4);
  EXPECT_EQ(RoundToInt16(-2.5), -2);
  EXPECT_EQ(RoundToInt16(-3.5), -4);
  EXPECT_EQ(RoundToInt16(2.4999), 2);
  EXPECT_EQ(RoundToInt16(0.5), 0);
  EXPECT_EQ(RoundToInt32(1.5), 2);
  EXPECT_EQ(RoundToInt32(-1e6 - 0.5), -1000000);
}

TEST(NumberRead, RoundingIgnoresTheCurrentRoundingMode) {
  const int saved = std::fegetround();
  std::fesetround(FE_UPWARD);
  EXPECT_EQ(RoundToInt16(2.2), 2);
  EXPECT_EQ(std::fegetround(), FE_UPWARD);
  std::fesetround(saved);
}

TEST(NumberRead, RoundingChecksTheRange) {
  EXPECT_EQ(RoundToInt16(32767.4), 32767);
  EXPECT_EQ(RoundToInt16(32767.5), std::nullopt);  // to even: 32768
  EXPECT_EQ(RoundToInt16(-32768.5), -32768);
  EXPECT_EQ(RoundToInt16(-32769), std::nullopt);
  EXPECT_EQ(RoundToInt16(1e10), std::nullopt);
  EXPECT_EQ(RoundToInt32(2147483647.0), 2147483647);
  EXPECT_EQ(RoundToInt32(2147483647.5), std::nullopt);
  EXPECT_EQ(RoundToInt32(-2147483648.0), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(RoundToInt32(std::nan("")), std::nullopt);
  EXPECT_EQ(RoundToInt16(std::numeric_limits<double>::infinity()), std::nullopt);
}

TEST(NumberRead, ParseNumberWantsTheWholeText) {
  EXPECT_EQ(ParseNumber(" 12.5 "), 12.5);
  EXPECT_EQ(ParseNumber("-1E-05"), -1e-05);
  EXPECT_EQ(ParseNumber(".5"), 0.5);
  EXPECT_EQ(ParseNumber("44\r\n"), 44);
  EXPECT_EQ(ParseNumber(""), std::nullopt);
  EXPECT_EQ(ParseNumber("   "), std::nullopt);
  EXPECT_EQ(ParseNumber("12abc"), std::nullopt);
  EXPECT_EQ(ParseNumber("1 2"), std::nullopt);
  EXPECT_EQ(ParseNumber("1,5"), std::nullopt);
  EXPECT_EQ(ParseNumber("1E"), std::nullopt);
}

// What fits a Single: everything that rounds to a finite one, the largest written in full
// ("3.4028235E+38", just past the exact maximum) among them.
TEST(NumberRead, AsSingleTakesWhatRoundsToAFiniteSingle) {
  constexpr float kMax = std::numeric_limits<float>::max();
  const struct {
    double value;
    std::optional<float> single;
  } cases[] = {
      {3.4028235e38, kMax},
      {-3.4028235e38, -kMax},
      {static_cast<double>(kMax), kMax},
      {0.1, 0.1f},
      {3.4028236e38, std::nullopt},
      {1e39, std::nullopt},
      {std::numeric_limits<double>::infinity(), std::nullopt},
      {std::numeric_limits<double>::quiet_NaN(), std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(AsSingle(c.value), c.single) << c.value;
}

// A number the files hold reads as a Single that is written back as the same number, so that
// a file read and saved again keeps its texts. Seven digits name every Single but at one
// decade: the Single nearest 1E+28 lies below it, where the digits count in finer steps.
TEST(NumberRead, ASingleReadIsWrittenBackAsItsText) {
  for (const char* text : {" 1E+28 ", "-1E+28 ", " 9.999999E+27 ", " 1.000001E+28 ", " .3333333 ",
                           " 1E-05 ", " 3.402823E+38 ", " 8.589974E+09 "}) {
    const std::optional<float> single = ParseSingle(text);
    ASSERT_TRUE(single) << text;
    EXPECT_EQ(FileSingle(*single), text);
  }
}

}  // namespace
}  // namespace quarn
