#include "sysroutines/local_time.h"

#include <windows.h>

#include "sysroutines/paths.h"

namespace tarnvel::sys {
namespace {

SYSTEMTIME ToSystemTime(const LocalDateTime& when) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(when.year);
  st.wMonth = static_cast<WORD>(when.month);
  st.wDay = static_cast<WORD>(when.day);
  st.wHour = static_cast<WORD>(when.hour);
  st.wMinute = static_cast<WORD>(when.minute);
  st.wSecond = static_cast<WORD>(when.second);
  return st;
}

}  // namespace

LocalDateTime CurrentLocalDateTime() {
  SYSTEMTIME st{};
  GetLocalTime(&st);
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

std::string FormatShortDate(const LocalDateTime& when) {
  const SYSTEMTIME st = ToSystemTime(when);
  wchar_t buffer[128];
  const int n = GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buffer, 128, nullptr);
  return n > 0 ? WideToUtf8(std::wstring_view(buffer, static_cast<std::size_t>(n - 1))) : std::string();
}

std::string FormatLongTime(const LocalDateTime& when) {
  const SYSTEMTIME st = ToSystemTime(when);
  wchar_t buffer[128];
  const int n = GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &st, nullptr, buffer, 128);
  return n > 0 ? WideToUtf8(std::wstring_view(buffer, static_cast<std::size_t>(n - 1))) : std::string();
}

}  // namespace tarnvel::sys
