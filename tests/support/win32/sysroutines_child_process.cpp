#include "support/sysroutines_child_process.h"

#include <windows.h>

#include <filesystem>
#include <stdexcept>

#include "sysroutines/executable.h"
#include "sysroutines/paths.h"

namespace tarnvel::testing {

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments) {
  std::wstring commandLine = L"\"" + sys::Utf8ToWide(program) + L"\"";
  for (const auto& arg : arguments) commandLine += L" \"" + sys::Utf8ToWide(arg) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(sys::Utf8ToWide(program).c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                      nullptr, nullptr, &startup, &info))
    throw std::runtime_error("cannot start " + program);
  CloseHandle(info.hThread);
  handle_ = reinterpret_cast<std::uintptr_t>(info.hProcess);
  id_ = info.dwProcessId;
}

ChildProcess::~ChildProcess() {
  const HANDLE process = reinterpret_cast<HANDLE>(handle_);
  if (!ended_) {
    TerminateProcess(process, 1);
    WaitForSingleObject(process, 5000);
  }
  CloseHandle(process);
}

std::uint32_t ChildProcess::Id() const {
  return id_;
}

bool ChildProcess::WaitForExit(std::chrono::milliseconds timeout) {
  if (ended_) return true;
  const HANDLE process = reinterpret_cast<HANDLE>(handle_);
  if (WaitForSingleObject(process, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) return false;
  DWORD code = 0;
  GetExitCodeProcess(process, &code);
  exitCode_ = static_cast<int>(code);
  ended_ = true;
  return true;
}

std::string SysroutinesTestProgram(const std::string& name) {
  return sys::PathToUtf8(sys::PathFromUtf8(sys::ExecutableDir()).parent_path() / L"sysroutines" /
                         sys::PathFromUtf8(name + ".exe"));
}

std::string CopyProgramAs(const std::string& program, const std::string& folder,
                          const std::string& fileName) {
  const auto target = sys::PathFromUtf8(folder) / sys::PathFromUtf8(fileName + ".exe");
  std::filesystem::copy_file(sys::PathFromUtf8(program), target,
                             std::filesystem::copy_options::overwrite_existing);
  return sys::PathToUtf8(target);
}

std::string ExecutableExtension() {
  return ".exe";
}

}  // namespace tarnvel::testing
