#include "sysroutines/terminal.h"

#include <stdlib.h>
#include <windows.h>
// shellapi.h needs the types of windows.h.
#include <shellapi.h>

#include <vector>

#include "sysroutines/paths.h"

namespace tarnvel::sys {
namespace {

HANDLE Handle(StdStream stream) {
  switch (stream) {
    case StdStream::Input:
      return GetStdHandle(STD_INPUT_HANDLE);
    case StdStream::Output:
      return GetStdHandle(STD_OUTPUT_HANDLE);
    case StdStream::Error:
      break;
  }
  return GetStdHandle(STD_ERROR_HANDLE);
}

// Puts the console's echo back however the read ends.
class EchoOff {
 public:
  explicit EchoOff(HANDLE input) : input_(input) {
    if (!GetConsoleMode(input_, &saved_)) return;
    active_ = SetConsoleMode(input_, saved_ & ~static_cast<DWORD>(ENABLE_ECHO_INPUT)) != 0;
  }
  ~EchoOff() {
    if (active_) SetConsoleMode(input_, saved_);
  }
  EchoOff(const EchoOff&) = delete;
  EchoOff& operator=(const EchoOff&) = delete;

 private:
  HANDLE input_;
  DWORD saved_ = 0;
  bool active_ = false;
};

}  // namespace

bool IsTerminal(StdStream stream) {
  DWORD mode = 0;
  return GetConsoleMode(Handle(stream), &mode) != 0;
}

std::optional<std::string> ReadLineWithoutEcho(const std::function<void()>& prompt) {
  const HANDLE input = Handle(StdStream::Input);
  if (!IsTerminal(StdStream::Input)) return std::nullopt;
  EchoOff quiet(input);
  if (prompt) prompt();
  std::wstring line;
  for (;;) {
    wchar_t c = 0;
    DWORD read = 0;
    if (!ReadConsoleW(input, &c, 1, &read, nullptr) || read == 0) {
      if (line.empty()) return std::nullopt;
      break;
    }
    if (c == L'\n') break;
    if (c != L'\r') line += c;
  }
  WriteConsoleW(Handle(StdStream::Error), L"\r\n", 2, nullptr, nullptr);
  return WideToUtf8(line);
}

std::vector<std::string> CommandLineArguments(int, char*[]) {
  std::vector<std::string> args;
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return args;
  for (int i = 1; i < count; ++i) args.push_back(WideToUtf8(wide[i]));
  LocalFree(wide);
  return args;
}

std::optional<std::string> EnvironmentVariable(const std::string& name) {
  const std::wstring wide = Utf8ToWide(name);
  const DWORD size = GetEnvironmentVariableW(wide.c_str(), nullptr, 0);
  if (size == 0) return std::nullopt;
  std::vector<wchar_t> buffer(size);
  const DWORD length = GetEnvironmentVariableW(wide.c_str(), buffer.data(), size);
  if (length >= size) return std::nullopt;
  return WideToUtf8(std::wstring(buffer.data(), length));
}

void RemoveEnvironmentVariable(const std::string& name) {
  const std::wstring wide = Utf8ToWide(name);
  _wputenv_s(wide.c_str(), L"");  // an empty value removes it from the C runtime's copy
  SetEnvironmentVariableW(wide.c_str(), nullptr);
}

}  // namespace tarnvel::sys
