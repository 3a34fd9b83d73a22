#include "text/date_time.h"

#include <gtest/gtest.h>

namespace quarn {
namespace {

// Month first and zero-padded, whatever the locale: titles of old printouts read so.
TEST(DateTime, MonthFirstZeroPadded) {
  const struct {
    DateTime at;
    const char* date;
    const char* time;
  } cases[] = {
      {{2026, 12, 8, 14, 5, 9}, "12-08-2026", "14:05:09"},
      {{2027, 1, 31, 0, 0, 0}, "01-31-2027", "00:00:00"},
      {{999, 7, 4, 23, 59, 59}, "07-04-0999", "23:59:59"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DateText(c.at), c.date);
    EXPECT_EQ(TimeText(c.at), c.time);
  }
}

}  // namespace
}  // namespace quarn
