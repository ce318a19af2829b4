#pragma once
// Stopping and starting a service and waiting until it settles. The routines
// raise nothing and report through their results.

#include <chrono>
#include <cstdint>
#include <string>

#include "sysroutines/service_manager.h"
#include "sysroutines/wait_clock.h"

namespace tarnvel::sys {

/// The longest time a stop or start waits for the service to settle. A
/// service may stay pending without moving its checkpoint; the wait then
/// ends here and the state reached is reported.
inline constexpr std::chrono::milliseconds kServiceWaitLimit{120000};

struct ServiceWaitOptions {
  WaitClock* clock = nullptr;  ///< nullptr: the system clock
  std::chrono::milliseconds limit = kServiceWaitLimit;
};

/// Sends the stop control and waits while the service is pending. True when
/// the last known state is stopped (also for a service that was not running).
/// False when the manager or the service cannot be opened.
bool StopServiceAndWait(const std::string& machineName, const std::string& serviceName,
                        const ServiceWaitOptions& wait = {});

/// Starts the service and waits while it is pending. True when the last known
/// state is running; false when it cannot be opened or started (a service that
/// already runs cannot be started).
bool StartServiceAndWait(const std::string& machineName, const std::string& serviceName,
                         const ServiceWaitOptions& wait = {});

/// The current state; kServiceStopped when the service cannot be opened or
/// queried (a name that no service has reads as stopped).
std::uint32_t GetServiceState(const std::string& machineName, const std::string& serviceName);

}  // namespace tarnvel::sys
