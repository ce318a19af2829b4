#pragma once
// The time source and the sleep of the routines that wait for something (a
// service to settle, a server to let go of its files). The program uses the
// system clock; tests pass their own to make long waits instant.

#include <chrono>

namespace tarnvel::sys {

class WaitClock {
 public:
  virtual ~WaitClock() = default;
  virtual std::chrono::steady_clock::time_point Now() = 0;
  virtual void Sleep(std::chrono::milliseconds duration) = 0;
};

/// The real clock: steady time and a blocking sleep of the calling thread.
WaitClock& SystemWaitClock();

}  // namespace tarnvel::sys
