#include "text/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

#include "text/number_read.h"

namespace quarn {
namespace {

struct SingleCase {
  float value;
  const char* plain;
  const char* sign;
};

// Single precision: 7 significant digits, exponent form below 1E-04 and from 1E+07.
TEST(NumberText, SingleForms) {
  const SingleCase cases[] = {
      {0.0f, "0", " 0"},
      {-0.0f, "0", " 0"},
      {0.5f, "0.5", " .5"},
      {-0.25f, "-0.25", "-.25"},
      {1.0f / 3.0f, "0.3333333", " .3333333"},
      {2.0f / 3.0f, "0.6666667", " .6666667"},
      {1234567.0f, "1234567", " 1234567"},
      {12345678.0f, "1.234568E+07", " 1.234568E+07"},
      {10000000.0f, "1E+07", " 1E+07"},
      {9999999.0f, "9999999", " 9999999"},
      {1e-05f, "1E-05", " 1E-05"},
      {0.0001f, "0.0001", " .0001"},
      {1.5e-07f, "1.5E-07", " 1.5E-07"},
      {-1e+20f, "-1E+20", "-1E+20"},
      {0.1f, "0.1", " .1"},
      {-1.5f, "-1.5", "-1.5"},
      {100.0f, "100", " 100"},
      {8760.0f, "8760", " 8760"},
      {-0.001234f, "-0.001234", "-.001234"},
      {3.0e-38f, "3E-38", " 3E-38"},
      {1.0e+38f, "1E+38", " 1E+38"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.plain);
    EXPECT_EQ(FormatSingle(c.value), c.plain);
    EXPECT_EQ(SignSingle(c.value), c.sign);
    EXPECT_EQ(FileSingle(c.value), std::string(c.sign) + " ");
  }
}

struct DoubleCase {
  double value;
  const char* plain;
  const char* sign;
};

// Double precision: 15 significant digits, exponent form from 1E+15.
TEST(NumberText, DoubleForms) {
  const DoubleCase cases[] = {
      {0.0, "0", " 0"},
      {0.5, "0.5", " .5"},
      {-0.25, "-0.25", "-.25"},
      {1.0 / 3.0, "0.333333333333333", " .333333333333333"},
      {2.0 / 3.0, "0.666666666666667", " .666666666666667"},
      {0.1 + 0.2, "0.3", " .3"},
      {1234567.0, "1234567", " 1234567"},
      {12345678.0, "12345678", " 12345678"},
      {123456789012345.0, "123456789012345", " 123456789012345"},
      {1234567890123456.0, "1.23456789012346E+15", " 1.23456789012346E+15"},
      {1e-05, "1E-05", " 1E-05"},
      {0.0001, "0.0001", " .0001"},
      {1.5e-07, "1.5E-07", " 1.5E-07"},
      {-1e+20, "-1E+20", "-1E+20"},
      {1e+100, "1E+100", " 1E+100"},
      {0.1, "0.1", " .1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.plain);
    EXPECT_EQ(FormatDouble(c.value), c.plain);
    EXPECT_EQ(SignDouble(c.value), c.sign);
    EXPECT_EQ(FileDouble(c.value), std::string(c.sign) + " ");
  }
}

// A Single widened to double is not the same number text: the Single form is what the
// stored files hold, so widening must not leak into it.
TEST(NumberText, SingleIsNotWidenedDouble) {
  EXPECT_EQ(FormatSingle(0.1f), "0.1");
  EXPECT_EQ(FormatDouble(static_cast<double>(0.1f)), "0.100000001490116");
}

// Every Single text reads back to the same Single: 7 digits are not always enough to
// round-trip, but they must reproduce what the file stores within one rounding step.
TEST(NumberText, SingleTextReadsBackClose) {
  const float values[] = {0.5f, 1.0f / 3.0f, 12345678.0f, 1.5e-07f, -1e+20f, 0.1f, 8760.0f};
  for (float v : values) {
    const double back = LeadingNumber(FileSingle(v));
    EXPECT_NEAR(back, v, std::abs(v) * 1e-6) << FileSingle(v);
  }
}

struct PatternCase {
  const char* pattern;
  double value;
  const char* text;
};

// Every format pattern the program's windows use, with the text each value shows.
TEST(NumberText, FormatPatterns) {
  const PatternCase cases[] = {
      {"#", 7, "7"},
      {"#", 0, "0"},
      {"0", 0, "0"},
      {"0", 2.5, "3"},  // halves of the decimal text round away from zero
      {"0", 3.5, "4"},
      {"0", 17.2, "17"},
      {"###", 3, "3"},
      {"###", 0, "0"},  // a zero reads as one, never blank
      {"###", 1234, "1234"},
      {"####", 12, "12"},
      {"#######.#####", 1234.5, "1234.5"},
      {"#######.#####", 0, "0"},
      {"######.##", 3.14159, "3.14"},
      {"#####,#.# days", 30, "30. days"},
      {"#####,#.# days", 12345.67, "12,345.7 days"},
      {"#####,#.# hrs", 8760, "8,760. hrs"},
      {"#####,#.######", 1234567.125, "1,234,567.125"},
      {"#####,0.0##", 0.5, "0.5"},
      {"#####,0.0##", 1234.5678, "1,234.568"},
      {"#####,0.0##", 0, "0.0"},
      {"#####.##", 0.005, ".01"},
      {"#####.##", 42, "42."},
      {"#####.######", 1.0 / 3.0, ".333333"},
      {"####,##.## mg", 1234567.891, "1,234,567.89 mg"},
      {"####,#.##", 1000, "1,000."},
      {"####,#.##### hr", 8760, "8,760. hr"},
      {"####,#.######", 0.1234567, ".123457"},
      {"####,#0.0# mg", 0, "0.0 mg"},
      {"####,#0.0# mg", 12345.678, "12,345.68 mg"},
      {"####.##", 99.999, "100."},
      {"####.### gms", 1.5, "1.5 gms"},
      {"###,#### mg/m2/h", 1234567.4, "1,234,567 mg/m2/h"},
      {"###,#### mg/m2/h", 0, "0 mg/m2/h"},
      {"###,###.##", -1234.5, "-1,234.5"},
      {"###,###.######", 1000000, "1,000,000."},
      {"###,###0.0#", 1234, "1,234.0"},
      {"###,##.###", 12345.6789, "12,345.679"},
      {"###,##0.0#", 0.456, "0.46"},
      {"###,#0.0#", 100, "100.0"},
      {"###.#", 2.25, "2.3"},  // an exact binary half still rounds up
      {"###.## %", 0.5, "50. %"},
      {"###.## %", 0.1234, "12.34 %"},
      {"###.## C", 20, "20. C"},
      {"###.## mm/Hg", 760, "760. mm/Hg"},
      {"###.## yrs", 1.5, "1.5 yrs"},
      {"###.##", 1, "1."},
      {"###.##", 0, "0"},
      {"###.###", 0.0005, ".001"},
      {"###0.#####0", 1.5, "1.500000"},
      {"###0.#####0", 0, "0.000000"},
      {"###0.####0", 2, "2.00000"},
      {"###0.0#", 0, "0.0"},
      {"###0.0#", 12.345678, "12.35"},
      {"###0.0##### yr", 1, "1.0 yr"},
      {"###0.0##### yr", 0.5, "0.5 yr"},
      {"##,#####.#######", 1234567, "1,234,567."},
      {"##,#####0.0#", 0.004, "0.0"},
      {"##,####.##", 12345.678, "12,345.68"},
      {"##,####.0#### h", 8760, "8,760.0 h"},
      {"##,####.0#### h", 17520, "17,520.0 h"},
      {"##,###.#####", 0.5, ".5"},
      {"##,###0.0#", 1234.5, "1,234.5"},
      {"##,###0.0###", 0.00012, "0.0001"},
      {"##,##0.0#", 999999.999, "1,000,000.0"},
      {"##.### %", 0.05, "5. %"},
      {"##.### m/h", 0.25, ".25 m/h"},
      {"##.###", 123.4567, "123.457"},
      {"##.#### 1/h", 0.5, ".5 1/h"},
      {"##.####", 0.00004, "0"},
      {"##.######", 1.0 / 3.0, ".333333"},
      {"##.#######", 1.0 / 3.0, ".3333333"},
      {"##0.0#", 7, "7.0"},
      {"##0.0## mg/m\xB3", 1.25, "1.25 mg/m\xB3"},
      {"#,#####.####", 1234.5, "1,234.5"},
      {"#,#####.##0", 1.5, "1.500"},
      {"#,#####0.#######", 0.1, "0.1"},
      {"#,#####0.0# mg", 2000, "2,000.0 mg"},
      {"#,#####0.0#", -0.001, "0.0"},  // rounds to zero: no sign
      {"#,####.#### m\xB3", 1500.25, "1,500.25 m\xB3"},
      {"#,####.#####", 3, "3."},
      {"#,####.#####", 12345.678, "12,345.678"},
      {"#,####0.0#", 5, "5.0"},
      {"#,####0.0## mg", 1234.5678, "1,234.568 mg"},
      {"#,###.##", 0.75, ".75"},
      {"#,###.###", 1000.0006, "1,000.001"},
      {"#,###.##### m", 2.5, "2.5 m"},
      {"#,###0.0# ", 10, "10.0 "},
      {"#,###0.0#", 123456, "123,456.0"},
      {"#,##0.0#", 0.5, "0.5"},
      {"#.##", 0.999, "1."},
      {"#.###", 1.0 / 3.0, ".333"},
      {"#.####0E-#0", 12345, "1.23450E4"},
      {"#.####0E-#0", 0.00012345, "1.23450E-4"},
      {"#.####E-0##", 0.00012345, "1.2345E-004"},
      {"#.####E-0##", 1.5, "1.5E000"},
      {"#.###0E+##", 1234.5, "1.2345E+3"},
      {"#.###0E+#0", 0.5, "5.0000E-1"},
      {"#.###E-## mg", 0.00012, "1.2E-4 mg"},
      {"#.###E-## mg/m\xB3", 1500, "1.5E3 mg/m\xB3"},
      {"#.###E-## particles", 2.5e8, "2.5E8 particles"},
      {"#.###E-## per cc", 99999, "1.E5 per cc"},
      {"#.###E-## \xB5g", 0.0123456, "1.235E-2 \xB5g"},
      {"#.###E-## \xB5g/m\xB3", -42, "-4.2E1 \xB5g/m\xB3"},
      {"#.###E-##", 1, "1.E0"},
      {"#.###E-##", 0, "0"},
      {"#.###E-#0", 123456, "1.235E5"},
      {"#.###E-0##", 1e-12, "1.E-012"},
      {"#.##0E-##", 2, "2.000E0"},
      {"#.##0E-###", 3e-7, "3.000E-7"},
      {"#.##E+0#", 0.001, "1.E-03"},
      {"#.##E+0#", 123, "1.23E+02"},
      {"#.##E-##", 9.999, "1.E1"},
      {"#.0##E-", 0.00001234, "1.234E-5"},
      {"#.0##E-", 12, "1.2E1"},
      {"0.##0E-#0", 0.5, "5.000E-1"},
      {"0.0###E- mg/m\xB3", 0.00012, "1.2E-4 mg/m\xB3"},
      {"0.0###E-", 6.02e23, "6.02E23"},
      {"0.0##E-", 1, "1.0E0"},
      {"0.000E-", 0.0012, "1.200E-3"},
      {"#0.#### \xB5m", 2.5, "2.5 \xB5m"},
      {"#0.##### \xB5m", 0.3, "0.3 \xB5m"},
      {"#0.0##", 0.0625, "0.063"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatPattern(c.value, c.pattern), c.text)
        << "pattern \"" << c.pattern << "\" value " << c.value;
  }
}

// With no digit place before the point the mantissa is below 1 and keeps every digit:
// 1234 is .12E4, never a text that reads back as another number.
TEST(NumberText, ExponentPatternWithoutIntegerPlaces) {
  EXPECT_EQ(FormatPattern(1234, ".##E-##"), ".12E4");
  EXPECT_EQ(FormatPattern(0.5, ".##E-##"), ".5E0");
  EXPECT_EQ(FormatPattern(-0.00123, ".###E+00"), "-.123E-02");
  EXPECT_EQ(FormatPattern(0, ".##E-##"), "0");
}

TEST(NumberText, EmptyPatternIsPlainForm) {
  EXPECT_EQ(FormatPattern(0.5, ""), "0.5");
  EXPECT_EQ(FormatPattern(1.0 / 3.0, ""), "0.333333333333333");
  EXPECT_EQ(FormatPattern(0.1f, ""), "0.1");
}

// Patterns round the value's decimal text (15 digits) half away from zero, not its binary
// value half to even: exact binary halves go up, and 2.675, stored as
// 2.67499999999999982236431605997495353221893310546875, is "2.675" at 15 digits.
TEST(NumberText, PatternRoundsDecimalTextHalfAwayFromZero) {
  EXPECT_EQ(FormatPattern(0.25, "#.#"), ".3");
  EXPECT_EQ(FormatPattern(2.5, "0"), "3");
  EXPECT_EQ(FormatPattern(2.675, "0.00"), "2.68");
  EXPECT_EQ(FormatPattern(1.005, "0.00"), "1.01");
  EXPECT_EQ(FormatPattern(-0.25, "0.0"), "-0.3");
  EXPECT_EQ(FormatPattern(-2.5, "0"), "-3");
  EXPECT_EQ(FormatPattern(-0.04, "0.0"), "0.0");  // rounds to zero: no sign
  EXPECT_EQ(FormatPattern(0.5, "#"), "1");
  EXPECT_EQ(FormatPattern(0.049, "#.#"), "0");
  EXPECT_EQ(FormatPattern(9.995, "#,##0.00"), "10.00");
  EXPECT_EQ(FormatPattern(999999.5, "#,###"), "1,000,000");
  // Only 15 digits exist: the rest of a large value is zeros.
  EXPECT_EQ(FormatPattern(1234567890123456789.0, "#"), "1234567890123460000");
  // "%" moves the point of the text: 0.00125 is 0.125 %, which rounds up to 0.13 %.
  EXPECT_EQ(FormatPattern(0.00125, "0.00 %"), "0.13 %");
  // Exponent patterns round the mantissa the same way: 1.2345 to four digits is 1.235.
  EXPECT_EQ(FormatPattern(12345.0, "0.000E+00"), "1.235E+04");
  EXPECT_EQ(FormatPattern(0.00025, "0.E-0"), "3.E-4");
}

// A Single shows its own 7 digits: the Single just above 876 (876.00006103515625) has the
// 7 digits 876.0001, while the same number as a Double shows 876.000061 under six places.
TEST(NumberText, SinglePatternUsesSevenDigits) {
  const float hours = std::nextafter(876.0f, 1000.0f);
  ASSERT_EQ(static_cast<double>(hours), 876.00006103515625);
  EXPECT_EQ(FormatPattern(hours, "####.####"), "876.0001");
  EXPECT_EQ(FormatPattern(hours, "#.######"), "876.0001");
  EXPECT_EQ(FormatPattern(static_cast<double>(hours), "#.######"), "876.000061");
  EXPECT_EQ(FormatPattern(hours, "#,###.## hr"), "876. hr");
  EXPECT_EQ(FormatPattern(hours, "0.00E+00"), "8.76E+02");
  EXPECT_EQ(FormatPattern(0.25f, "#.#"), ".3");
  EXPECT_EQ(FormatPattern(-0.25f, "0.0"), "-0.3");
  EXPECT_EQ(FormatPattern(-0.001f, "0.0"), "0.0");
  // 0.1234f is 0.123399996757507...; its 7 digits give exactly 12.34 %.
  EXPECT_EQ(FormatPattern(0.1234f, "0.0000%"), "12.3400%");
  EXPECT_EQ(FormatPattern(12345678.0f, "#,###"), "12,345,680");
}

// Integer and Long fields go through the Double form.
TEST(NumberText, IntegerPatterns) {
  EXPECT_EQ(FormatPattern(int16_t{42}, "###"), "42");
  EXPECT_EQ(FormatPattern(int32_t{-1234567}, "#,###"), "-1,234,567");
  EXPECT_EQ(FormatPattern(int16_t{0}, "###"), "0");
  EXPECT_EQ(FormatPattern(7, "0.0"), "7.0");
}

}  // namespace
}  // namespace quarn
