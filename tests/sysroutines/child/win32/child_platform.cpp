#include "child_platform.h"

#include <windows.h>

namespace {

std::wstring Wide(const std::string& text) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n > 0 ? n - 1 : 0), L'\0');
  if (n > 1) MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, out.data(), n);
  return out;
}

}  // namespace

std::string OwnCommandLine(int, char**) {
  const wchar_t* line = GetCommandLineW();
  const int n = WideCharToMultiByte(CP_UTF8, 0, line, -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n > 0 ? n - 1 : 0), '\0');
  if (n > 1) WideCharToMultiByte(CP_UTF8, 0, line, -1, out.data(), n, nullptr, nullptr);
  return out;
}

bool HoldOpen(const std::string& file) {
  return CreateFileW(Wide(file).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                     nullptr) != INVALID_HANDLE_VALUE;
}

// Windows starts the program without inheriting handles; there is nothing to list.
std::string InheritedDescriptors() {
  return {};
}
