// Linux: a service as a systemd unit. systemd tracks the state of its units
// (also of those made from SysV scripts), so a status question is answered
// by `systemctl is-active` without running any script of the service.
#include <optional>
#include <string_view>

#include "sysroutines/posix/local_service.h"
#include "sysroutines/posix/service_command.h"

namespace tarnvel::sys {
namespace {

// The first line of Text without its trailing blanks.
std::string FirstLine(const std::string& text) {
  std::string line = text.substr(0, text.find('\n'));
  while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.pop_back();
  return line;
}

std::optional<std::uint32_t> FromActiveState(std::string_view state) {
  if (state == "active" || state == "reloading" || state == "refreshing") return kServiceRunning;
  if (state == "activating") return kServiceStartPending;
  if (state == "deactivating") return kServiceStopPending;
  if (state == "inactive" || state == "failed") return kServiceStopped;
  return std::nullopt;
}

class SystemdService final : public ServiceConnection {
 public:
  SystemdService(std::string unit, std::string systemctl)
      : unit_(std::move(unit)), systemctl_(std::move(systemctl)) {}

  std::optional<ServiceStatus> QueryStatus() override {
    // is-active prints the state also when it exits non-zero (3 for a unit
    // that is not active): the text is the answer, the exit code is not.
    std::string out;
    if (RunServiceCommand({systemctl_, "is-active", "--", unit_}, &out) < 0) return std::nullopt;
    const auto state = FromActiveState(FirstLine(out));
    if (!state) return std::nullopt;
    return ServiceStatus{*state, 0, kPosixServiceWaitHintMs};
  }

  StopControlResult SendStop() override {
    StopControlResult result;
    // systemctl stop waits for the stop job; an accepted stop is followed at
    // once by the waiting caller's own question, so the state is asked here
    // only with a refusal.
    result.accepted = RunServiceCommand({systemctl_, "stop", "--", unit_}) == 0;
    if (!result.accepted) result.status = QueryStatus();
    return result;
  }

  bool Start() override {
    // systemctl start succeeds on an active unit; the Windows manager
    // refuses to start a running service, so ask first.
    const auto status = QueryStatus();
    if (status && status->currentState == kServiceRunning) return false;
    return RunServiceCommand({systemctl_, "start", "--", unit_}) == 0;
  }

 private:
  std::string unit_;
  std::string systemctl_;
};

}  // namespace

std::unique_ptr<ServiceConnection> SystemdServiceConnection(const std::string& unit,
                                                            const std::string& systemctl) {
  return std::make_unique<SystemdService>(unit, systemctl);
}

}  // namespace tarnvel::sys
