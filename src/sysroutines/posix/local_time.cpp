#include "sysroutines/local_time.h"

#include <langinfo.h>
#include <locale.h>

#include <ctime>

namespace tarnvel::sys {
namespace {

std::tm ToTm(const LocalDateTime& when) {
  std::tm tm{};
  tm.tm_year = when.year - 1900;
  tm.tm_mon = when.month - 1;
  tm.tm_mday = when.day;
  tm.tm_hour = when.hour;
  tm.tm_min = when.minute;
  tm.tm_sec = when.second;
  tm.tm_isdst = -1;
  return tm;
}

// Formats with the LC_TIME item of the user's locale (taken from the
// environment); an unknown locale falls back to "C".
std::string FormatWith(nl_item item, const LocalDateTime& when) {
  locale_t loc = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(0));
  if (loc == static_cast<locale_t>(0)) loc = newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(0));
  const std::tm tm = ToTm(when);
  char buffer[128];
  const std::size_t n = strftime_l(buffer, sizeof buffer, nl_langinfo_l(item, loc), &tm, loc);
  freelocale(loc);
  return std::string(buffer, n);
}

}  // namespace

LocalDateTime CurrentLocalDateTime() {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

std::string FormatShortDate(const LocalDateTime& when) { return FormatWith(D_FMT, when); }

std::string FormatLongTime(const LocalDateTime& when) { return FormatWith(T_FMT, when); }

}  // namespace tarnvel::sys
