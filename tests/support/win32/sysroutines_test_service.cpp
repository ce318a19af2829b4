#include "support/sysroutines_test_service.h"

#include <windows.h>

#include <stdexcept>

#include "support/sysroutines_child_process.h"
#include "sysroutines/paths.h"

namespace tarnvel::testing {
namespace {

// Stops the service if it runs (waiting up to ten seconds) and deletes it.
void RemoveService(SC_HANDLE manager, const std::wstring& name) {
  SC_HANDLE service = OpenServiceW(manager, name.c_str(), SERVICE_ALL_ACCESS);
  if (!service) return;
  SERVICE_STATUS status{};
  ControlService(service, SERVICE_CONTROL_STOP, &status);
  for (int i = 0; i < 100; ++i) {
    if (!QueryServiceStatus(service, &status) || status.dwCurrentState == SERVICE_STOPPED) break;
    Sleep(100);
  }
  DeleteService(service);
  CloseServiceHandle(service);
}

}  // namespace

RegisteredTestService::RegisteredTestService(const std::string& name, const std::string& arguments,
                                             const std::string& program)
    : name_(name) {
  turn_ = CreateMutexW(nullptr, FALSE, L"TarnvelTestServiceTurn");
  if (!turn_) throw std::runtime_error("cannot create the test services' mutex");
  // WAIT_ABANDONED (a test ended while holding it) gives us the turn as well.
  WaitForSingleObject(turn_, INFINITE);
  std::string failure;
  if (SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS)) {
    const std::wstring wideName = sys::Utf8ToWide(name);
    RemoveService(manager, wideName);
    std::wstring binPath =
        program.empty() ? L"\"" + sys::Utf8ToWide(SysroutinesTestProgram("tarnvel_test_service")) + L"\""
                        : sys::Utf8ToWide(program);
    if (!arguments.empty()) binPath += L" " + sys::Utf8ToWide(arguments);
    SC_HANDLE service = CreateServiceW(manager, wideName.c_str(), wideName.c_str(), SERVICE_ALL_ACCESS,
                                       SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                                       binPath.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr);
    if (service)
      CloseServiceHandle(service);
    else
      failure = "cannot register the test service " + name + ": " + std::to_string(GetLastError());
    CloseServiceHandle(manager);
  } else {
    failure = "cannot open the service manager";
  }
  if (!failure.empty()) {
    ReleaseMutex(turn_);
    CloseHandle(turn_);
    throw std::runtime_error(failure);
  }
}

RegisteredTestService::~RegisteredTestService() {
  if (SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS)) {
    RemoveService(manager, sys::Utf8ToWide(name_));
    CloseServiceHandle(manager);
  }
  ReleaseMutex(turn_);
  CloseHandle(turn_);
}

}  // namespace tarnvel::testing
