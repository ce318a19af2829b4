#include "support/program_output.h"

#include <windows.h>

#include "sysroutines/paths.h"

namespace tarnvel::testing {

ProgramOutput RunForOutput(const std::string& program, const std::vector<std::string>& arguments) {
  ProgramOutput result;
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  HANDLE reader = nullptr;
  HANDLE writer = nullptr;
  if (!CreatePipe(&reader, &writer, &inheritable, 0)) return result;
  // Only the writing end goes to the program: with the reading end it would
  // never see the end of its own output.
  SetHandleInformation(reader, HANDLE_FLAG_INHERIT, 0);
  const HANDLE input = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                                   OPEN_EXISTING, 0, nullptr);

  std::wstring commandLine = L"\"" + sys::Utf8ToWide(program) + L"\"";
  for (const auto& arg : arguments) commandLine += L" \"" + sys::Utf8ToWide(arg) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input;
  startup.hStdOutput = writer;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION info{};
  const BOOL started = CreateProcessW(sys::Utf8ToWide(program).c_str(), commandLine.data(), nullptr, nullptr,
                                      TRUE, 0, nullptr, nullptr, &startup, &info);
  CloseHandle(writer);
  if (input != INVALID_HANDLE_VALUE) CloseHandle(input);
  if (started) {
    CloseHandle(info.hThread);
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(reader, buffer, sizeof buffer, &got, nullptr) && got > 0)
      result.standardOutput.append(buffer, got);
    WaitForSingleObject(info.hProcess, INFINITE);
    DWORD code = 0;
    if (GetExitCodeProcess(info.hProcess, &code)) result.exitCode = static_cast<int>(code);
    CloseHandle(info.hProcess);
  }
  CloseHandle(reader);
  return result;
}

}  // namespace tarnvel::testing
