// Service control on Linux through SysV scripts in a test folder (the folder
// that TARNVEL_SERVICE_DIR names). The scripts are real programs run by the
// routines; they keep their state in a file beside them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "support/temp_dir.h"
#include "sysroutines/service_control.h"

namespace tarnvel::sys {
namespace {

using namespace std::chrono_literals;

// An LSB script: start and stop switch a state file, status reports it.
// Start and Stop and Status bodies can be replaced to misbehave.
std::string Script(const std::string& start = "touch \"$state\"",
                   const std::string& stop = "rm -f \"$state\"",
                   const std::string& status = "[ -e \"$state\" ] && exit 0 || exit 3") {
  return "#!/bin/sh\n"
         "state=\"$0.running\"\n"
         "case \"$1\" in\n"
         "  start) " +
         start +
         " ;;\n"
         "  stop) " +
         stop +
         " ;;\n"
         "  status) " +
         status +
         " ;;\n"
         "  *) exit 2 ;;\n"
         "esac\n";
}

class SysVServices : public ::testing::Test {
 protected:
  void SetUp() override { setenv(kServiceFolderVariable, dir_.str().c_str(), 1); }
  void TearDown() override { unsetenv(kServiceFolderVariable); }

  void Install(const std::string& name, const std::string& script) {
    const auto path = dir_.path() / name;
    testing::WriteFile(path, script);
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
  }

  testing::TempDir dir_{"services"};
};

// A clock whose sleeps take no time: they only move it on.
class InstantClock final : public WaitClock {
 public:
  std::chrono::steady_clock::time_point Now() override { return now_; }
  void Sleep(std::chrono::milliseconds duration) override {
    now_ += duration;
    slept += duration;
    ++sleeps;
  }
  std::chrono::milliseconds slept{0};
  int sleeps = 0;

 private:
  std::chrono::steady_clock::time_point now_{};
};

TEST_F(SysVServices, StopAndStartReachTheirStates) {
  Install("tarnvel_demo", Script());
  EXPECT_EQ(GetServiceState("", "tarnvel_demo"), kServiceStopped);
  EXPECT_TRUE(StopServiceAndWait("", "tarnvel_demo"));  // already stopped
  EXPECT_TRUE(StartServiceAndWait("", "tarnvel_demo"));
  EXPECT_EQ(GetServiceState("", "tarnvel_demo"), kServiceRunning);
  EXPECT_FALSE(StartServiceAndWait("", "tarnvel_demo"));  // already running
  EXPECT_EQ(GetServiceState("", "tarnvel_demo"), kServiceRunning);
  EXPECT_TRUE(StopServiceAndWait("", "tarnvel_demo"));
  EXPECT_EQ(GetServiceState("", "tarnvel_demo"), kServiceStopped);
}

TEST_F(SysVServices, WhatIsNoServiceReadsAsStoppedAndCannotBeControlled) {
  Install("not_executable", Script());
  std::filesystem::permissions(dir_.path() / "not_executable", std::filesystem::perms::owner_read);
  std::filesystem::create_directory(dir_.path() / "folder");
  Install("elsewhere", Script());
  const std::vector<std::string> names{"tarnvel_no_such_service", "not_executable", "folder", "",
                                       "../" + dir_.path().filename().string() + "/elsewhere"};
  for (const auto& name : names) {
    EXPECT_EQ(GetServiceState("", name), kServiceStopped) << name;
    EXPECT_FALSE(StartServiceAndWait("", name)) << name;
    EXPECT_FALSE(StopServiceAndWait("", name)) << name;
  }
  EXPECT_FALSE(StartServiceAndWait("otherhost", "elsewhere"));  // only this computer
}

TEST_F(SysVServices, FailingActionsGiveFalse) {
  Install("start_fails", Script("exit 1"));
  EXPECT_FALSE(StartServiceAndWait("", "start_fails"));
  EXPECT_EQ(GetServiceState("", "start_fails"), kServiceStopped);

  // Stop refused while the service goes on running.
  Install("stop_fails", Script("touch \"$state\"", "exit 1"));
  ASSERT_TRUE(StartServiceAndWait("", "stop_fails"));
  EXPECT_FALSE(StopServiceAndWait("", "stop_fails"));
  EXPECT_EQ(GetServiceState("", "stop_fails"), kServiceRunning);

  // A status the script cannot tell (LSB 4) reads as stopped.
  Install("status_unknown", Script("true", "true", "exit 4"));
  EXPECT_EQ(GetServiceState("", "status_unknown"), kServiceStopped);
}

TEST_F(SysVServices, WaitsThatNeverSettleEndAtTheLimit) {
  // Stop and start report success, but the state never follows.
  Install("stuck_running", Script("true", "true", "exit 0"));
  Install("stuck_stopped", Script("true", "true", "exit 3"));
  for (const auto limit : {120000ms, 1250ms}) {
    InstantClock stopClock;
    EXPECT_FALSE(StopServiceAndWait("", "stuck_running", {&stopClock, limit}));
    EXPECT_EQ(stopClock.slept, limit);  // the last sleep is cut at the limit
    InstantClock startClock;
    EXPECT_FALSE(StartServiceAndWait("", "stuck_stopped", {&startClock, limit}));
    EXPECT_EQ(startClock.slept, limit);
    EXPECT_EQ(startClock.sleeps, (limit.count() + kPosixServiceWaitHintMs - 1) / kPosixServiceWaitHintMs);
  }
}

}  // namespace
}  // namespace tarnvel::sys
