#include "sysroutines/child_process.h"

#include <windows.h>

#include <vector>

#include "sysroutines/paths.h"

namespace tarnvel::sys {

struct ChildProcess::State {
  PROCESS_INFORMATION info{};
};

ChildProcess::ChildProcess() : state_(std::make_unique<State>()) {}

ChildProcess::~ChildProcess() {
  if (state_->info.hThread != nullptr) CloseHandle(state_->info.hThread);
  if (state_->info.hProcess != nullptr) CloseHandle(state_->info.hProcess);
}

bool ChildProcess::Start(const std::string& commandLine, const std::string& /*programPath*/,
                         const std::string& workingFolder, int showMode) {
  // CreateProcessW may write into the command line: it needs its own buffer.
  const std::wstring wideLine = Utf8ToWide(commandLine);
  std::vector<wchar_t> line(wideLine.begin(), wideLine.end());
  line.push_back(L'\0');
  const std::wstring folder = Utf8ToWide(workingFolder);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showMode & 0xFFFF);
  return CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE,
                        CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &state_->info) != 0;
}

std::uint32_t ChildProcess::Wait() {
  WaitForSingleObject(state_->info.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(state_->info.hProcess, &code);
  return code;
}

}  // namespace tarnvel::sys
