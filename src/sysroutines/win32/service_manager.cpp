#include "sysroutines/service_manager.h"

#include <windows.h>

#include "sysroutines/paths.h"

namespace tarnvel::sys {
namespace {

ServiceStatus FromWindows(const SERVICE_STATUS& status) {
  return {status.dwCurrentState, status.dwCheckPoint, status.dwWaitHint};
}

class ScmService final : public ServiceConnection {
 public:
  ScmService(SC_HANDLE manager, SC_HANDLE service) : manager_(manager), service_(service) {}
  ~ScmService() override {
    CloseServiceHandle(service_);
    CloseServiceHandle(manager_);
  }
  ScmService(const ScmService&) = delete;
  ScmService& operator=(const ScmService&) = delete;

  std::optional<ServiceStatus> QueryStatus() override {
    SERVICE_STATUS status{};
    if (!QueryServiceStatus(service_, &status)) return std::nullopt;
    return FromWindows(status);
  }

  StopControlResult SendStop() override {
    SERVICE_STATUS status{};
    StopControlResult result;
    result.accepted = ControlService(service_, SERVICE_CONTROL_STOP, &status) != FALSE;
    const DWORD error = result.accepted ? ERROR_SUCCESS : GetLastError();
    // On these refusals the manager still fills in the service's status.
    if (result.accepted || error == ERROR_SERVICE_NOT_ACTIVE || error == ERROR_SERVICE_CANNOT_ACCEPT_CTRL ||
        error == ERROR_INVALID_SERVICE_CONTROL)
      result.status = FromWindows(status);
    return result;
  }

  bool Start() override { return StartServiceW(service_, 0, nullptr) != FALSE; }

 private:
  SC_HANDLE manager_;
  SC_HANDLE service_;
};

}  // namespace

std::unique_ptr<ServiceConnection> OpenServiceConnection(const std::string& machineName,
                                                         const std::string& serviceName,
                                                         std::uint32_t access) {
  const std::wstring machine = Utf8ToWide(machineName);
  SC_HANDLE manager =
      OpenSCManagerW(machine.empty() ? nullptr : machine.c_str(), nullptr, SC_MANAGER_CONNECT);
  if (!manager) return nullptr;
  SC_HANDLE service = OpenServiceW(manager, Utf8ToWide(serviceName).c_str(), access);
  if (!service) {
    CloseServiceHandle(manager);
    return nullptr;
  }
  return std::make_unique<ScmService>(manager, service);
}

}  // namespace tarnvel::sys
