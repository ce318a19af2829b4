#include "sysroutines/service_control.h"

#include <algorithm>

namespace tarnvel::sys {
namespace {

// Waits while the state differs from Awaited: sleeps for the service's wait
// hint and asks again, until the query fails, the checkpoint goes down or
// the time limit is used up. Returns the last known state.
std::uint32_t WaitWhileNot(ServiceConnection& service, ServiceStatus status, std::uint32_t awaited,
                           const ServiceWaitOptions& wait) {
  WaitClock& clock = wait.clock ? *wait.clock : SystemWaitClock();
  const auto deadline = clock.Now() + wait.limit;
  while (status.currentState != awaited) {
    const auto now = clock.Now();
    if (now >= deadline) break;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now);
    const std::uint32_t oldCheckPoint = status.checkPoint;
    clock.Sleep(std::min(std::chrono::milliseconds(status.waitHint), left));
    const auto next = service.QueryStatus();
    if (!next) break;
    status = *next;
    if (status.checkPoint < oldCheckPoint) break;
  }
  return status.currentState;
}

}  // namespace

bool StopServiceAndWait(const std::string& machineName, const std::string& serviceName,
                        const ServiceWaitOptions& wait) {
  const auto service = OpenServiceConnection(machineName, serviceName, kServiceStop | kServiceQueryStatus);
  if (!service) return false;
  const StopControlResult stop = service->SendStop();
  std::uint32_t known = stop.status ? stop.status->currentState : 0;
  if (stop.accepted) {
    if (const auto first = service->QueryStatus())
      known = WaitWhileNot(*service, *first, kServiceStopped, wait);
  }
  return known == kServiceStopped;
}

bool StartServiceAndWait(const std::string& machineName, const std::string& serviceName,
                         const ServiceWaitOptions& wait) {
  std::uint32_t known = kServiceStopped;
  const auto service = OpenServiceConnection(machineName, serviceName, kServiceStart | kServiceQueryStatus);
  if (!service) return false;
  if (service->Start()) {
    if (const auto first = service->QueryStatus())
      known = WaitWhileNot(*service, *first, kServiceRunning, wait);
  }
  return known == kServiceRunning;
}

std::uint32_t GetServiceState(const std::string& machineName, const std::string& serviceName) {
  const auto service = OpenServiceConnection(machineName, serviceName, kServiceQueryStatus);
  if (!service) return kServiceStopped;
  const auto status = service->QueryStatus();
  return status ? status->currentState : kServiceStopped;
}

}  // namespace tarnvel::sys
