// The real Firebird server of this machine, stopped and started through the
// service routines under the product's own service name: a script of that
// name in a test service folder hands every action to the system's
// /etc/init.d/firebird3.0 (and notes it). Other tests use the server after
// these, so it is always started again and awaited on its port.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <thread>

#include "firebird/fb_service.h"
#include "support/local_port.h"
#include "support/temp_dir.h"
#include "sysroutines/process_control.h"
#include "sysroutines/process_list.h"

namespace tarnvel::firebird {
namespace {

using namespace std::chrono_literals;

const char* const kSystemScript = "/etc/init.d/firebird3.0";
const std::string kOwn = "NorvaskFireXBirdServer";
const TFBServParams kServer{"", "SUPER", "localhost/3051:", "firebird", kOwn};  // /usr/sbin/firebird

bool Answers() {
  return testing::LocalPortAnswers(3051);
}

bool AnswersWithin(std::chrono::seconds limit) {
  for (auto waited = 0ms; waited < limit; waited += 250ms) {
    if (Answers()) return true;
    std::this_thread::sleep_for(250ms);
  }
  return false;
}

std::vector<std::uint32_t> ServerProcesses() {
  std::vector<std::uint32_t> ids;
  for (const auto& entry : sys::TakeProcessSnapshot())
    if (sys::ProcessNameMatches(entry.exeFile, "firebird")) ids.push_back(entry.processId);
  return ids;
}

class RealFirebirdService : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kSystemScript)) GTEST_SKIP() << "firebird3.0-server is not installed";
    ASSERT_TRUE(AnswersWithin(90s)) << "the Firebird server does not answer on port 3051";
    const auto script = dir_.path() / kOwn;
    testing::WriteFile(
        script, "#!/bin/sh\necho \"$1\" >>\"$0.calls\"\nexec " + std::string(kSystemScript) + " \"$@\"\n");
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    setenv(sys::kServiceFolderVariable, dir_.str().c_str(), 1);
    context_.pause = [this](std::chrono::milliseconds duration) { pauses_.push_back(duration); };
  }

  void TearDown() override {
    unsetenv(sys::kServiceFolderVariable);
    sys::SetDebugPrivilege(true);
    if (!Answers()) {
      std::system((std::string(kSystemScript) + " start >/dev/null 2>&1").c_str());
      EXPECT_TRUE(AnswersWithin(90s)) << "the Firebird server did not come back";
    }
  }

  // The actions the service routines asked of the script, without queries.
  std::string Actions() const {
    std::string actions;
    std::istringstream calls(testing::ReadFile(dir_.path() / (kOwn + ".calls")));
    for (std::string line; std::getline(calls, line);)
      if (line != "status") actions += line + " ";
    return actions;
  }

  testing::TempDir dir_{"realservice"};
  FbServiceContext context_;
  std::vector<std::chrono::milliseconds> pauses_;
};

TEST_F(RealFirebirdService, StopsAndStartsTheServer) {
  ASSERT_EQ(sys::GetServiceState("", kOwn), sys::kServiceRunning);

  auto begin = std::chrono::steady_clock::now();
  StopFBService(kServer, false, context_);
  const auto stopTook = std::chrono::steady_clock::now() - begin;
  EXPECT_EQ(sys::GetServiceState("", kOwn), sys::kServiceStopped);
  EXPECT_TRUE(ServerProcesses().empty());
  EXPECT_FALSE(Answers());
  EXPECT_EQ(pauses_, std::vector<std::chrono::milliseconds>{15000ms});

  begin = std::chrono::steady_clock::now();
  StartFBService(kServer, false, context_);
  const auto startTook = std::chrono::steady_clock::now() - begin;
  EXPECT_EQ(sys::GetServiceState("", kOwn), sys::kServiceRunning);
  EXPECT_TRUE(AnswersWithin(90s));
  EXPECT_EQ(Actions(), "stop stop start ");  // the start stops first

  std::cout << "stop took " << std::chrono::duration_cast<std::chrono::milliseconds>(stopTook).count()
            << " ms, start (with its stop) "
            << std::chrono::duration_cast<std::chrono::milliseconds>(startTook).count()
            << " ms, without the 15000 ms pauses\n";
}

TEST_F(RealFirebirdService, StartOnARunningServerRestartsIt) {
  const auto before = ServerProcesses();
  ASSERT_FALSE(before.empty());
  StartFBService(kServer, false, context_);
  EXPECT_TRUE(AnswersWithin(90s));
  const auto after = ServerProcesses();
  ASSERT_FALSE(after.empty());
  EXPECT_NE(after, before);  // a new server process
  EXPECT_EQ(Actions(), "stop start ");
  EXPECT_EQ(pauses_, std::vector<std::chrono::milliseconds>{15000ms});
}

}  // namespace
}  // namespace tarnvel::firebird
