// Stopping and starting the server's service on Linux with SysV scripts of
// our own in a test folder: every outcome and every message. The real
// Firebird server is stopped and started in fb_service_real_server_test.cpp.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>

#include "firebird/fb_service.h"
#include "support/sysroutines_child_process.h"
#include "support/temp_dir.h"
#include "sysroutines/process_control.h"

namespace tarnvel::firebird {
namespace {

using namespace std::chrono_literals;
using testing::ChildProcess;

const std::string kOwn = "NorvaskFireXBirdServer";
const std::string kGuardian = "FirebirdGuardianDefaultInstance";

// An LSB script keeping its state in a file beside it; the three actions can
// be replaced to misbehave.
std::string Script(const std::string& start = "touch \"$state\"",
                   const std::string& stop = "rm -f \"$state\"",
                   const std::string& status = "[ -e \"$state\" ] && exit 0 || exit 3") {
  return "#!/bin/sh\nstate=\"$0.running\"\ncase \"$1\" in\n  start) " + start + " ;;\n  stop) " + stop +
         " ;;\n  status) " + status + " ;;\n  *) exit 2 ;;\nesac\n";
}

// The capability behind the privilege switch, from the thread's own view.
bool KillCapabilityEffective() {
  std::ifstream status("/proc/thread-self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("CapEff:", 0) == 0)
      return (std::stoull(line.substr(7), nullptr, 16) >> 5) & 1;  // CAP_KILL
  }
  return false;
}

class FbServiceScripts : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv(sys::kServiceFolderVariable, dir_.str().c_str(), 1);
    context_.showMessage = [this](const std::string& text) { shown_.push_back(text); };
    context_.pause = [this](std::chrono::milliseconds duration) { pauses_.push_back(duration); };
  }
  void TearDown() override { unsetenv(sys::kServiceFolderVariable); }

  void Install(const std::string& name, const std::string& script, bool running = false) {
    testing::WriteFile(dir_.path() / name, script);
    std::filesystem::permissions(dir_.path() / name, std::filesystem::perms::all &
                                                         ~std::filesystem::perms::others_write &
                                                         ~std::filesystem::perms::group_write);
    if (running) testing::WriteFile(dir_.path() / (name + ".running"), "");
  }

  std::string Failure(const std::function<void()>& call) {
    try {
      call();
    } catch (const std::runtime_error& failure) {
      return failure.what();
    }
    return {};
  }

  testing::TempDir dir_{"fbservice"};
  FbServiceContext context_;
  std::vector<std::string> shown_;
  std::vector<std::chrono::milliseconds> pauses_;
};

TEST_F(FbServiceScripts, StopEndsLeftoverServerProcessesAndPauses) {
  Install(kOwn, Script(), true);
  const std::string server = testing::CopyProgramAs(testing::SysroutinesTestProgram("tarnvel_test_sleeper"),
                                                    dir_.str(), "fb_leftover_server");
  ChildProcess first(server, {});
  ChildProcess second(server, {});
  const TFBServParams params{"", "CLASSIC", "", "fb_leftover_server", kOwn};

  EXPECT_EQ(Failure([&] { StopFBService(params, false, context_); }), "");
  EXPECT_EQ(sys::GetServiceState("", kOwn), sys::kServiceStopped);
  EXPECT_TRUE(first.WaitForExit(10s));
  EXPECT_TRUE(second.WaitForExit(10s));
  EXPECT_EQ(pauses_, std::vector<std::chrono::milliseconds>{15000ms});
  EXPECT_TRUE(shown_.empty());
  if (geteuid() == 0) {
    EXPECT_FALSE(KillCapabilityEffective());  // switched off again
    sys::SetDebugPrivilege(true);
  }

  // Stopping what is already stopped succeeds, pauses all the same, and the
  // menu command shows its message.
  EXPECT_EQ(Failure([&] { StopFBService(params, true, context_); }), "");
  EXPECT_EQ(pauses_.size(), 2u);
  EXPECT_EQ(shown_, std::vector<std::string>{"FireBird Server service is stopped."});
}

TEST_F(FbServiceScripts, StopFailures) {
  const TFBServParams refusing{"", "SUPER", "", "tarnvel_no_such_server", "refusing"};
  Install("refusing", Script("touch \"$state\"", "exit 1"), true);
  // Stopped when asked after the stop, running once its leftover server
  // process was ended (as a guardian starts it again): the check after the
  // processes were ended asks again.
  Install("comes_back", Script("true", "true",
                               "n=$(cat \"$0.count\" 2>/dev/null || echo 0); echo $((n+1)) >\"$0.count\"; "
                               "[ $n -ge 1 ] && exit 0 || exit 3"));
  ChildProcess leftover(testing::CopyProgramAs(testing::SysroutinesTestProgram("tarnvel_test_sleeper"),
                                               dir_.str(), "fb_comes_back_server"),
                        {});
  const TFBServParams comesBack{"", "SUPER", "", "fb_comes_back_server", "comes_back"};

  EXPECT_EQ(Failure([&] { StopFBService(refusing, true, context_); }),
            "Unable to stop the server FireBird. Try restarting your computer and rerun the application.");
  EXPECT_EQ(Failure([&] {
              StopFBService({"", "", "", "x", "tarnvel_no_such_service"}, true, context_);
            }),
            "Unable to stop the server FireBird. Try restarting your computer and rerun the application.");
  EXPECT_EQ(Failure([&] { StopFBService(comesBack, true, context_); }),
            "FireBird server service is not stopped!");
  EXPECT_TRUE(leftover.WaitForExit(10s));
  EXPECT_TRUE(pauses_.empty());
  EXPECT_TRUE(shown_.empty());
}

TEST_F(FbServiceScripts, StopReportsAServerProcessItMayNotEnd) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to run the stop as another user";
  // The stop runs as nobody; the leftover server process belongs to root.
  std::filesystem::permissions(dir_.path(), std::filesystem::perms::all, std::filesystem::perm_options::add);
  Install(kOwn, Script("true", "true", "exit 3"));
  ChildProcess server(testing::CopyProgramAs(testing::SysroutinesTestProgram("tarnvel_test_sleeper"),
                                             dir_.str(), "fb_root_server"),
                      {});
  const std::string result = dir_ / "result.txt";
  testing::WriteFile(result, "");
  std::filesystem::permissions(result, std::filesystem::perms::all);
  const std::string probe =
      (std::filesystem::path(testing::SysroutinesTestProgram("x")).parent_path().parent_path() / "firebird" /
       "tarnvel_fb_service_probe")
          .string();
  ChildProcess stop("/usr/bin/setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups", "env",
                                         std::string(sys::kServiceFolderVariable) + "=" + dir_.str(), probe,
                                         "stop", kOwn, "fb_root_server", result});
  ASSERT_TRUE(stop.WaitForExit(30s));
  EXPECT_EQ(stop.ExitCode(), 1);
  EXPECT_EQ(testing::ReadFile(result),
            "Unable to stop the process(es):fb_root_server classic server FireBird. \rDo stop by hand and "
            "then try again.");
  EXPECT_FALSE(server.WaitForExit(200ms));
}

TEST_F(FbServiceScripts, StartIsARestartAndChecksTheKnownServices) {
  Install(kOwn, Script(), true);
  const TFBServParams own{"", "SUPER", "", "tarnvel_no_such_server", kOwn};
  EXPECT_EQ(Failure([&] { StartFBService(own, false, context_); }), "");
  EXPECT_EQ(sys::GetServiceState("", kOwn), sys::kServiceRunning);
  EXPECT_EQ(pauses_, std::vector<std::chrono::milliseconds>{15000ms});  // the stop before the start
  EXPECT_TRUE(shown_.empty());

  EXPECT_EQ(Failure([&] { StartFBService(own, true, context_); }), "");
  EXPECT_EQ(shown_, std::vector<std::string>{"FireBird server service is running."});
}

TEST_F(FbServiceScripts, StartFailures) {
  Install("start_fails", Script("exit 1"));
  Install("other_service", Script());
  const auto params = [](const std::string& service) {
    return TFBServParams{"", "SUPER", "", "tarnvel_none", service};
  };
  const std::string cannotStart =
      "Unable to start the server FireBird. Try restarting your computer and rerun the application.";

  EXPECT_EQ(Failure([&] { StartFBService(params("start_fails"), true, context_); }), cannotStart);
  // The stop before fails too, unreported; only the start's failure counts.
  EXPECT_EQ(Failure([&] { StartFBService(params("tarnvel_no_such_service"), true, context_); }), cannotStart);
  // Started, but neither known Firebird service runs.
  EXPECT_EQ(Failure([&] { StartFBService(params("other_service"), true, context_); }),
            "FireBird server service is not running!");
  EXPECT_TRUE(shown_.empty());

  // The guardian of a default instance running is enough, whatever was started.
  Install(kGuardian, Script(), true);
  EXPECT_EQ(Failure([&] { StartFBService(params("other_service"), true, context_); }), "");
  EXPECT_EQ(shown_, std::vector<std::string>{"FireBird server service is running."});
}

// Every status question runs the script (for the real server, with the LSB
// library it loads), so the stop and the start ask only what their checks
// need. A stop asks once after the stop request (its wait), and once more
// only when server processes were left and ended, since that may bring the
// service back; with none left, the wait's answer stands. A start is a
// restart: the stop's questions, once before the start request (a running
// service is not started) and once after it (its wait); the check for a
// known Firebird service running reuses that answer when the service started
// is one of them.
TEST_F(FbServiceScripts, EachCheckAsksTheScriptOnlyWhenItsAnswerMayHaveChanged) {
  const std::string countedStatus = "echo >>\"$0.status-runs\"; [ -e \"$state\" ] && exit 0 || exit 3";
  // Some scripts refuse to stop what is not running; the refusal's state tells.
  const std::string refusingStop = "[ -e \"$state\" ] || exit 1; rm -f \"$state\"";
  const std::string statusRuns = dir_ / (kOwn + ".status-runs");
  const std::string server = testing::CopyProgramAs(testing::SysroutinesTestProgram("tarnvel_test_sleeper"),
                                                    dir_.str(), "fb_counted_server");
  const TFBServParams params{"", "SUPER", "", "fb_counted_server", kOwn};
  struct Case {
    const char* what;
    bool start;
    bool running;
    bool stopRefusedWhenStopped;
    bool leftoverProcess;
    int statusRuns;
  };
  const Case cases[] = {
      {"stop a running service", false, true, false, false, 1},
      {"stop a stopped service", false, false, false, false, 1},
      {"stop refused: not running", false, false, true, false, 1},
      {"stop, a leftover process ended", false, true, false, true, 2},
      {"start a running service", true, true, false, false, 3},
      {"start a stopped service", true, false, false, false, 3},
      {"start, the stop before refused", true, false, true, false, 3},
      {"start, a leftover process ended", true, true, false, true, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(dir_.path() / (kOwn + ".running"));
    std::filesystem::remove(statusRuns);
    Install(kOwn,
            Script("touch \"$state\"", c.stopRefusedWhenStopped ? refusingStop : "rm -f \"$state\"",
                   countedStatus),
            c.running);
    std::optional<ChildProcess> leftover;
    if (c.leftoverProcess) leftover.emplace(server, std::vector<std::string>{});
    EXPECT_EQ(Failure([&] {
                c.start ? StartFBService(params, false, context_) : StopFBService(params, false, context_);
              }),
              "");
    if (leftover) {
      EXPECT_TRUE(leftover->WaitForExit(10s));
    }
    EXPECT_EQ(testing::ReadFile(statusRuns), std::string(c.statusRuns, '\n'));
    EXPECT_EQ(std::filesystem::exists(dir_.path() / (kOwn + ".running")), c.start);
  }
}

}  // namespace
}  // namespace tarnvel::firebird
