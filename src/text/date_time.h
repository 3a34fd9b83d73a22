#pragma once

#include <string>

namespace quarn {

// A moment of the local clock, as printed titles show it.
struct DateTime {
  int year = 0;
  int month = 0;  // 1 to 12
  int day = 0;
  int hour = 0;  // 0 to 23
  int minute = 0;
  int second = 0;
};

// Month first, zero-padded, the way the program has always dated its printouts and files
// whatever the user's locale: "12-08-2026", "14:05:09".
std::string DateText(const DateTime& at);
std::string TimeText(const DateTime& at);

}  // namespace quarn
