// Service control through the Windows service manager, under Wine: a test
// service of our own is registered, started and stopped through the routines.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "support/sysroutines_test_service.h"
#include "sysroutines/process_control.h"
#include "sysroutines/service_control.h"

namespace tarnvel::sys {
namespace {

using namespace std::chrono_literals;

TEST(ServiceManager, StopAndStartReachTheirStates) {
  const testing::RegisteredTestService service("TarnvelSysroutinesTestService");
  const std::string name = service.Name();
  EXPECT_EQ(GetServiceState("", name), kServiceStopped);
  EXPECT_TRUE(StopServiceAndWait("", name));  // already stopped
  EXPECT_TRUE(StartServiceAndWait("", name));
  EXPECT_EQ(GetServiceState("", name), kServiceRunning);
  EXPECT_FALSE(StartServiceAndWait("", name));  // already running
  EXPECT_TRUE(StopServiceAndWait("", name));
  EXPECT_EQ(GetServiceState("", name), kServiceStopped);
}

TEST(ServiceManager, UnknownServiceReadsAsStoppedAndCannotBeStarted) {
  EXPECT_EQ(GetServiceState("", "TarnvelNoSuchService"), kServiceStopped);
  EXPECT_FALSE(StartServiceAndWait("", "TarnvelNoSuchService"));
  EXPECT_FALSE(StopServiceAndWait("", "TarnvelNoSuchService"));
}

// The real clock, keeping count of how long the routines slept.
class CountingClock final : public WaitClock {
 public:
  std::chrono::steady_clock::time_point Now() override { return SystemWaitClock().Now(); }
  void Sleep(std::chrono::milliseconds duration) override {
    slept += duration;
    SystemWaitClock().Sleep(duration);
  }
  std::chrono::milliseconds slept{0};
};

TEST(ServiceManager, StopThatDoesNotSettleEndsAtTheLimit) {
  // This service stays stop-pending for three seconds without moving its
  // checkpoint; the wait gives up after its limit and reports false. (How
  // soon Wine's manager then sees it stopped varies with the machine's load,
  // so the test does not wait for that.)
  const testing::RegisteredTestService service("TarnvelSlowStopService", "slow-stop");
  ASSERT_TRUE(StartServiceAndWait("", service.Name()));
  CountingClock clock;
  EXPECT_FALSE(StopServiceAndWait("", service.Name(), {&clock, 400ms}));
  EXPECT_LE(clock.slept, 400ms);
  EXPECT_EQ(GetServiceState("", service.Name()), kServiceStopPending);
}

TEST(DebugPrivilege, WineGrantsItBothWays) {
  // Wine gives every privilege to every process, so both changes apply.
  EXPECT_TRUE(SetDebugPrivilege(true));
  EXPECT_TRUE(SetDebugPrivilege(false));
}

}  // namespace
}  // namespace tarnvel::sys
