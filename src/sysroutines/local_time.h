#pragma once
// Local date and time, written in the user's regional formats.

#include <string>

namespace tarnvel::sys {

struct LocalDateTime {
  int year = 0;    // four digits
  int month = 0;   // 1..12
  int day = 0;     // 1..31
  int hour = 0;    // 0..23
  int minute = 0;
  int second = 0;
};

LocalDateTime CurrentLocalDateTime();

/// The date in the user's short date format (Windows GetDateFormatEx with
/// DATE_SHORTDATE; Linux the locale's D_FMT).
std::string FormatShortDate(const LocalDateTime& when);

/// The time in the user's long time format (Windows GetTimeFormatEx; Linux the
/// locale's T_FMT).
std::string FormatLongTime(const LocalDateTime& when);

}  // namespace tarnvel::sys
