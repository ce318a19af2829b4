// Which manager answers for a service on Linux, and the systemd side of it.
// These machines run no systemd as PID 1 (the tests run in containers), so a
// real program stands in for systemctl: a script that keeps each unit's
// ActiveState in a file and notes every call. What is tested is ours: the
// choice of the manager, the commands given to systemctl and how their
// answers are read.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "support/temp_dir.h"
#include "sysroutines/posix/local_service.h"

namespace tarnvel::sys {
namespace {

// Units are the files in units/ beside the script; a unit's file holds its
// ActiveState, a file UNIT.start-fails or UNIT.stop-fails makes that action
// fail. Every call is appended to calls.
const char* const kSystemctl = R"(#!/bin/sh
here="${0%/*}"
echo "$*" >>"$here/calls"
case "$1" in
  show) file="$here/units/$5" ;;
  *) file="$here/units/$3" ;;
esac
case "$1" in
  show) [ -e "$file" ] && echo loaded || echo not-found ;;
  is-active) state=inactive; [ -e "$file" ] && state=$(cat "$file"); echo "$state"; [ "$state" = active ] ;;
  start) [ -e "$file" ] || exit 5; [ -e "$file.start-fails" ] && exit 1; echo active >"$file" ;;
  stop) [ -e "$file" ] || exit 5; [ -e "$file.stop-fails" ] && exit 1; echo inactive >"$file" ;;
  *) exit 1 ;;
esac
)";

class SystemdServices : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::WriteFile(dir_.path() / "systemctl", kSystemctl);
    std::filesystem::permissions(dir_.path() / "systemctl", std::filesystem::perms::owner_all);
    std::filesystem::create_directories(dir_.path() / "runtime");
    std::filesystem::create_directories(dir_.path() / "units");
    places_.systemdRuntime = dir_ / "runtime";
    places_.systemctl = dir_ / "systemctl";
  }

  void Unit(const std::string& name, const std::string& state) {
    testing::WriteFile(dir_.path() / "units" / name, state + "\n");
  }
  std::string Calls() {
    std::string calls = testing::ReadFile(dir_.path() / "calls");
    std::filesystem::remove(dir_.path() / "calls");
    return calls;
  }

  testing::TempDir dir_{"systemd"};
  LocalServicePlaces places_;
};

TEST_F(SystemdServices, SystemdAnswersOnlyAsInitAndWithoutAScriptFolder) {
  Unit("tarnvel-demo", "active");
  testing::WriteFile(dir_.path() / "runtime-file", "");
  testing::WriteFile(dir_.path() / "scripts" / "tarnvel-demo", "#!/bin/sh\nexit 3\n");
  std::filesystem::permissions(dir_.path() / "scripts" / "tarnvel-demo", std::filesystem::perms::owner_all);
  struct Case {
    const char* what;
    std::string runtime;
    std::string scripts;
    bool opened;
    std::optional<std::uint32_t> state;
    std::string calls;
  };
  const Case cases[] = {
      {"systemd is init", dir_ / "runtime", "", true, kServiceRunning,
       "show --property=LoadState --value -- tarnvel-demo\nis-active -- tarnvel-demo\n"},
      // Without systemd the scripts of /etc/init.d answer, and it has none of that name.
      {"no systemd", dir_ / "no-runtime", "", false, std::nullopt, ""},
      {"runtime is no folder", dir_ / "runtime-file", "", false, std::nullopt, ""},
      {"a script folder is named", dir_ / "runtime", dir_ / "scripts", true, kServiceStopped, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    places_.systemdRuntime = c.runtime;
    places_.scriptFolder = c.scripts;
    const auto service = OpenLocalService("tarnvel-demo", places_);
    ASSERT_EQ(service != nullptr, c.opened);
    if (service) {
      const auto status = service->QueryStatus();
      ASSERT_EQ(status.has_value(), c.state.has_value());
      if (status) {
        EXPECT_EQ(status->currentState, *c.state);
      }
    }
    EXPECT_EQ(Calls(), c.calls);
  }
}

TEST_F(SystemdServices, WhatIsNoLoadedUnitCannotBeOpened) {
  for (const std::string name : {"tarnvel-missing", "", ".", "..", "units/x", "../units/x"}) {
    EXPECT_EQ(OpenLocalService(name, places_), nullptr) << name;
  }
  // Only the missing unit reached systemctl: the others are no names at all.
  EXPECT_EQ(Calls(), "show --property=LoadState --value -- tarnvel-missing\n");
}

TEST_F(SystemdServices, ActiveStatesMapOntoServiceStates) {
  Unit("tarnvel-demo", "inactive");
  const auto service = OpenLocalService("tarnvel-demo", places_);
  ASSERT_NE(service, nullptr);
  Calls();
  const std::pair<std::string, std::optional<std::uint32_t>> states[] = {
      {"active", kServiceRunning},
      {"reloading", kServiceRunning},
      {"refreshing", kServiceRunning},
      {"activating", kServiceStartPending},
      {"deactivating", kServiceStopPending},
      {"inactive", kServiceStopped},
      {"failed", kServiceStopped},
      {"unknown", std::nullopt},
      {"", std::nullopt},
      {"active extra", std::nullopt},
  };
  for (const auto& [text, expected] : states) {
    Unit("tarnvel-demo", text);
    const auto status = service->QueryStatus();
    ASSERT_EQ(status.has_value(), expected.has_value()) << text;
    if (status) {
      EXPECT_EQ(status->currentState, *expected) << text;
      EXPECT_EQ(status->waitHint, kPosixServiceWaitHintMs);
    }
    EXPECT_EQ(Calls(), "is-active -- tarnvel-demo\n") << text;
  }
}

TEST_F(SystemdServices, StartAndStopAskOnlyWhatTheyNeed) {
  Unit("tarnvel-demo", "active");
  const auto service = OpenLocalService("tarnvel-demo", places_);
  ASSERT_NE(service, nullptr);
  Calls();

  // A running service is not started again, as the Windows manager refuses.
  EXPECT_FALSE(service->Start());
  EXPECT_EQ(Calls(), "is-active -- tarnvel-demo\n");

  // An accepted stop reports no state: the waiting caller asks next.
  StopControlResult stop = service->SendStop();
  EXPECT_TRUE(stop.accepted);
  EXPECT_FALSE(stop.status.has_value());
  EXPECT_EQ(Calls(), "stop -- tarnvel-demo\n");

  EXPECT_TRUE(service->Start());
  EXPECT_EQ(Calls(), "is-active -- tarnvel-demo\nstart -- tarnvel-demo\n");

  // A refused stop says in which state it left the service.
  testing::WriteFile(dir_.path() / "units" / "tarnvel-demo.stop-fails", "");
  stop = service->SendStop();
  EXPECT_FALSE(stop.accepted);
  ASSERT_TRUE(stop.status.has_value());
  EXPECT_EQ(stop.status->currentState, kServiceRunning);
  EXPECT_EQ(Calls(), "stop -- tarnvel-demo\nis-active -- tarnvel-demo\n");

  Unit("tarnvel-demo", "inactive");
  testing::WriteFile(dir_.path() / "units" / "tarnvel-demo.start-fails", "");
  EXPECT_FALSE(service->Start());
  EXPECT_EQ(Calls(), "is-active -- tarnvel-demo\nstart -- tarnvel-demo\n");
}

}  // namespace
}  // namespace tarnvel::sys
