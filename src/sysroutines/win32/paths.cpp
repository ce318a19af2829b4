#include "sysroutines/paths.h"

#include <windows.h>

namespace tarnvel::sys {

const char kPathDelimiter = '\\';

std::wstring Utf8ToWide(std::string_view text) {
  if (text.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

std::string WideToUtf8(std::wstring_view text) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                      nullptr);
  return out;
}

std::filesystem::path PathFromUtf8(std::string_view text) { return std::filesystem::path(Utf8ToWide(text)); }

std::string PathToUtf8(const std::filesystem::path& path) { return WideToUtf8(path.native()); }

}  // namespace tarnvel::sys
