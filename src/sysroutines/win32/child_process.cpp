#include "sysroutines/child_process.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "sysroutines/held_program.h"
#include "sysroutines/paths.h"

namespace tarnvel::sys {

struct ChildProcess::State {
  PROCESS_INFORMATION info{};
  HANDLE job = nullptr;  // holds the program and the processes it starts
};

ChildProcess::ChildProcess() : state_(std::make_unique<State>()) {}

ChildProcess::~ChildProcess() {
  // Without JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE the job's processes outlive its handle.
  if (state_->job != nullptr) CloseHandle(state_->job);
  if (state_->info.hThread != nullptr) CloseHandle(state_->info.hThread);
  if (state_->info.hProcess != nullptr) CloseHandle(state_->info.hProcess);
}

namespace {

// Starts CommandLine (Application, when given, is the program's file) into
// Info and Job; a failure, with nothing left running, when it cannot.
SysResult StartInJob(const std::wstring& application, const std::string& commandLine,
                     const std::string& workingFolder, int showMode, PROCESS_INFORMATION& info, HANDLE& job) {
  // CreateProcessW may write into the command line: it needs its own buffer.
  const std::wstring wideLine = Utf8ToWide(commandLine);
  std::vector<wchar_t> line(wideLine.begin(), wideLine.end());
  line.push_back(L'\0');
  const std::wstring folder = Utf8ToWide(workingFolder);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showMode & 0xFFFF);
  // Suspended until it is in its job, so that nothing it starts escapes it.
  if (CreateProcessW(application.empty() ? nullptr : application.c_str(), line.data(), nullptr, nullptr,
                     FALSE, CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS | CREATE_SUSPENDED, nullptr,
                     folder.empty() ? nullptr : folder.c_str(), &startup, &info) == 0) {
    const SysResult failure = SysResult::LastError();
    info = PROCESS_INFORMATION{};
    return failure;
  }
  job = CreateJobObjectW(nullptr, nullptr);
  if (job != nullptr && AssignProcessToJobObject(job, info.hProcess) == 0) {
    // A job of our own may be refused (an older system inside a job of its
    // caller's); then the program alone can be ended.
    CloseHandle(job);
    job = nullptr;
  }
  if (ResumeThread(info.hThread) == static_cast<DWORD>(-1)) {
    const SysResult failure = SysResult::LastError();
    TerminateProcess(info.hProcess, 1);
    WaitForSingleObject(info.hProcess, INFINITE);
    return failure;
  }
  return {};
}

}  // namespace

SysResult ChildProcess::Start(const std::string& commandLine, const std::string& /*programPath*/,
                              const std::string& workingFolder, int showMode) {
  return StartInJob({}, commandLine, workingFolder, showMode, state_->info, state_->job);
}

SysResult ChildProcess::Start(const std::string& commandLine, const HeldProgram& program,
                              const std::string& workingFolder, int showMode) {
  return StartInJob(Utf8ToWide(program.Path()), commandLine, workingFolder, showMode, state_->info,
                    state_->job);
}

std::uint32_t ChildProcess::Wait() {
  WaitForSingleObject(state_->info.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(state_->info.hProcess, &code);
  return code;
}

std::optional<std::uint32_t> ChildProcess::WaitFor(std::chrono::milliseconds timeout) {
  // INFINITE itself is no time limit: stay below it.
  const auto milliseconds = std::clamp<std::chrono::milliseconds::rep>(timeout.count(), 0, INFINITE - 1);
  if (WaitForSingleObject(state_->info.hProcess, static_cast<DWORD>(milliseconds)) == WAIT_TIMEOUT) {
    return std::nullopt;
  }
  DWORD code = 0;
  GetExitCodeProcess(state_->info.hProcess, &code);
  return code;
}

void ChildProcess::EndAll() {
  const bool ended = state_->job != nullptr ? TerminateJobObject(state_->job, 1) != 0
                                            : TerminateProcess(state_->info.hProcess, 1) != 0;
  // Termination runs on after the call returns; a refused one is not waited for.
  if (ended) WaitForSingleObject(state_->info.hProcess, INFINITE);
}

}  // namespace tarnvel::sys
