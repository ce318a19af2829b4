#pragma once
// One service of the machine's service manager, opened with the rights a
// caller asks for. The waiting rules live in service_control.h; this is the
// platform part underneath them.
//
// Windows: the service control manager (OpenSCManagerW with
// SC_MANAGER_CONNECT, OpenServiceW with the requested rights).
// Linux: systemd when it runs as PID 1 (systemctl), otherwise the SysV script
// <folder>/NAME with the actions start, stop and status. The folder is
// /etc/init.d, or the one the environment variable kServiceFolderVariable
// names (then the scripts are used even under systemd). A script's status
// exit code maps onto the states: 0 running, 1 to 3 stopped (LSB), anything
// else unknown (the query fails). Under systemd the state comes from
// systemd itself (systemctl is-active), never from a script of the service;
// its ActiveState maps: active, reloading and refreshing running, activating
// start pending, deactivating stop pending, inactive and failed stopped.
// Neither reports checkpoints; both report a fixed wait hint of
// kPosixServiceWaitHintMs.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace tarnvel::sys {

inline constexpr const char* kServiceFolderVariable = "TARNVEL_SERVICE_DIR";
inline constexpr std::uint32_t kPosixServiceWaitHintMs = 500;

// Service states, with the numbers Windows gives them.
inline constexpr std::uint32_t kServiceStopped = 1;
inline constexpr std::uint32_t kServiceStartPending = 2;
inline constexpr std::uint32_t kServiceStopPending = 3;
inline constexpr std::uint32_t kServiceRunning = 4;

// Access rights on a service, with the Windows values.
inline constexpr std::uint32_t kServiceQueryStatus = 0x0004;
inline constexpr std::uint32_t kServiceStart = 0x0010;
inline constexpr std::uint32_t kServiceStop = 0x0020;

struct ServiceStatus {
  std::uint32_t currentState = 0;
  std::uint32_t checkPoint = 0;
  std::uint32_t waitHint = 0;  ///< milliseconds
};

struct StopControlResult {
  bool accepted = false;
  /// The status the manager returned with the control; also present when the
  /// control was refused because the service was not running. Linux managers
  /// return no status with a stop: there it is asked, and only when the stop
  /// was refused (after an accepted stop the caller asks anyway).
  std::optional<ServiceStatus> status;
};

/// An open service together with its connection to the manager; destroying
/// it closes both.
class ServiceConnection {
 public:
  virtual ~ServiceConnection() = default;
  virtual std::optional<ServiceStatus> QueryStatus() = 0;
  virtual StopControlResult SendStop() = 0;
  /// Starts the service without arguments. False when the start was refused,
  /// also when the service already runs.
  virtual bool Start() = 0;
};

/// The service on MachineName (empty: this computer) opened with Access, or
/// nullptr when the manager or the service cannot be opened.
std::unique_ptr<ServiceConnection> OpenServiceConnection(const std::string& machineName,
                                                         const std::string& serviceName,
                                                         std::uint32_t access);

}  // namespace tarnvel::sys
