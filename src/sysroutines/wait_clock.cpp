#include "sysroutines/wait_clock.h"

#include <thread>

namespace tarnvel::sys {
namespace {

class SystemClock final : public WaitClock {
 public:
  std::chrono::steady_clock::time_point Now() override { return std::chrono::steady_clock::now(); }
  void Sleep(std::chrono::milliseconds duration) override {
    if (duration.count() > 0) std::this_thread::sleep_for(duration);
  }
};

}  // namespace

WaitClock& SystemWaitClock() {
  static SystemClock clock;
  return clock;
}

}  // namespace tarnvel::sys
