#include "child_command_line.h"

#include <windows.h>

std::string OwnCommandLine(int, char**) {
  const wchar_t* line = GetCommandLineW();
  const int n = WideCharToMultiByte(CP_UTF8, 0, line, -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n > 0 ? n - 1 : 0), '\0');
  if (n > 1) WideCharToMultiByte(CP_UTF8, 0, line, -1, out.data(), n, nullptr, nullptr);
  return out;
}
