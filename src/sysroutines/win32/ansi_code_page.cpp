#include <climits>

#include "sysroutines/ansi_code_page.h"
#include "sysroutines/win32/code_page_text.h"

namespace tarnvel::sys {

std::optional<std::string> Utf8ToCodePage(std::string_view text, UINT codePage) {
  if (text.empty()) return std::string();
  if (text.size() > INT_MAX) return std::nullopt;
  const int textLength = static_cast<int>(text.size());
  const int wideLength =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), textLength, nullptr, 0);
  if (wideLength == 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), textLength, wide.data(), wideLength);
  // WideCharToMultiByte refuses the no-best-fit flag and the substitution
  // report for UTF-8; valid UTF-8 is already what that code page wants.
  if (codePage == CP_UTF8) return std::string(text);

  BOOL usedDefault = FALSE;
  const int length = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength, nullptr, 0,
                                         nullptr, &usedDefault);
  if (length == 0 || usedDefault) return std::nullopt;
  std::string converted(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength, converted.data(), length,
                      nullptr, &usedDefault);
  if (usedDefault) return std::nullopt;
  return converted;
}

std::optional<std::string> Utf8ToAnsiCodePage(std::string_view text) {
  return Utf8ToCodePage(text, GetACP());
}

}  // namespace tarnvel::sys
