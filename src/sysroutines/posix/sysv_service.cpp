// Linux: a service run by its SysV script (start, stop, status with the LSB
// exit codes). The script is the only source of the service's state, and
// every question runs it (with the LSB library it loads), so it is asked
// only where an answer is needed.
#include "sysroutines/posix/local_service.h"
#include "sysroutines/posix/service_command.h"

namespace tarnvel::sys {
namespace {

class SysVService final : public ServiceConnection {
 public:
  explicit SysVService(std::string script) : script_(std::move(script)) {}

  std::optional<ServiceStatus> QueryStatus() override {
    const int code = RunServiceCommand({script_, "status"});
    if (code == 0) return ServiceStatus{kServiceRunning, 0, kPosixServiceWaitHintMs};
    if (code >= 1 && code <= 3) return ServiceStatus{kServiceStopped, 0, kPosixServiceWaitHintMs};
    return std::nullopt;
  }

  StopControlResult SendStop() override {
    StopControlResult result;
    result.accepted = RunServiceCommand({script_, "stop"}) == 0;
    // A script's stop reports no state. After an accepted stop the waiting
    // caller asks at once, so the state is asked here only with a refusal,
    // where it tells a service that was not running from one that would not
    // stop.
    if (!result.accepted) result.status = QueryStatus();
    return result;
  }

  bool Start() override {
    // The Windows manager refuses to start a running service; an LSB script
    // would report success, so ask first.
    const auto status = QueryStatus();
    if (status && status->currentState == kServiceRunning) return false;
    return RunServiceCommand({script_, "start"}) == 0;
  }

 private:
  std::string script_;
};

}  // namespace

std::unique_ptr<ServiceConnection> SysVServiceConnection(const std::string& script) {
  return std::make_unique<SysVService>(script);
}

}  // namespace tarnvel::sys
