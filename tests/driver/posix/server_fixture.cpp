#include "driver/posix/server_fixture.h"

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>

#include "firebird/client_layers.h"
#include "firebird/db_connection.h"
#include "support/local_port.h"
#include "sysroutines/platform_defaults.h"
#include "sysroutines/service_manager.h"

namespace tarnvel::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const char* const kSystemScript = "/etc/init.d/firebird3.0";
const char* const kServiceName = "NorvaskFireXBirdServer";

int Shell(const std::string& command) {
  return std::system(command.c_str());
}

std::string Quoted(const std::string& text) {
  return "'" + text + "'";
}

}  // namespace

firebird::TFBServParams OwnSuperServer() {
  return {"", "SUPER", "localhost/3051:", "firebird", kServiceName};  // /usr/sbin/firebird
}

void ServerRun::SetUp() {
  if (!fs::exists(kSystemScript)) GTEST_SKIP() << "firebird3.0-server is not installed";
  ASSERT_TRUE(ServerAnswers(true)) << "the Firebird server does not answer on port 3051";
  const fs::path script = serviceDir_.path() / kServiceName;
  WriteFile(script,
            "#!/bin/sh\necho \"$1\" >>\"$0.calls\"\n"
            "if [ \"$1\" = start ] && [ -e \"$0.refuse-start\" ]; then exit 1; fi\n"
            "exec " +
                std::string(kSystemScript) + " \"$@\" >/dev/null 2>&1\n");
  fs::permissions(script, fs::perms::owner_all);
  setenv(sys::kServiceFolderVariable, serviceDir_.str().c_str(), 1);

  static int counter = 0;
  productsDir_ = std::string(TARNVEL_DRIVER_PRODUCTS) + "/" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name() + "-" +
                 std::to_string(getpid()) + "-" + std::to_string(counter++);
  fs::create_directories(productsDir_);
  fs::permissions(productsDir_, fs::perms::all);  // the server's user must reach the database
  root_ = productsDir_ + "/TarnVel";
  MakeProduct("");
  settings_ = TestSettings(OwnSuperServer());
}

void ServerRun::TearDown() {
  if (mounted_) {
    // The server may still hold the database for a moment after it went online.
    for (int attempt = 0; attempt < 20 && Shell("umount '" + mountPoint_ + "' >/dev/null 2>&1") != 0; ++attempt) {
      Shell("sleep 0.5");
    }
  }
  unsetenv(sys::kServiceFolderVariable);
  if (!ServerAnswers()) {
    Shell(std::string(kSystemScript) + " start >/dev/null 2>&1");
    EXPECT_TRUE(ServerAnswers(true)) << "the Firebird server did not come back";
  }
  if (!productsDir_.empty()) {
    Shell("chattr -R -i " + Quoted(productsDir_) + " 2>/dev/null");
    std::error_code ignored;
    fs::remove_all(productsDir_, ignored);
  }
}

void ServerRun::MoveProductToVolume(int sizeMb, const std::string& productOptions) {
  if (geteuid() != 0) GTEST_SKIP() << "a loop mount needs root";
  const std::string image = productsDir_ + "/volume.img";
  mountPoint_ = productsDir_ + "/volume";
  fs::create_directories(mountPoint_);
  ASSERT_EQ(Shell("truncate -s " + std::to_string(sizeMb) + "M '" + image + "' && mkfs.ext4 -q -m 0 '" + image +
                  "' >/dev/null 2>&1"),
            0);
  ASSERT_EQ(Shell("mount -o loop '" + image + "' '" + mountPoint_ + "' >/dev/null 2>&1"), 0);
  mounted_ = true;
  root_ = mountPoint_ + "/TarnVel";
  MakeProduct(productOptions);
}

void ServerRun::MakeProduct(const std::string& options) {
  const std::string command = "bash " + Quoted(std::string(TARNVEL_SOURCE_DIR) + "/scripts/make-product.sh") +
                              " " + Quoted(root_) + " " + options + " >/dev/null";
  ASSERT_EQ(Shell(command), 0) << command;
}

std::string ServerRun::Run(const std::string& sysdbaPassword) {
  try {
    UpdateProgramm(host_, settings_, root_, sysdbaPassword, "7", "Tarnvel");
  } catch (const SilentAbort&) {
    return "(silent abort)";
  } catch (const std::exception& failure) {
    return failure.what();
  }
  return "(no failure)";
}

bool ServerRun::ServerAnswers(bool wait) {
  for (auto waited = 0ms; waited < 60s; waited += 250ms) {
    if (LocalPortAnswers(3051)) return true;
    if (!wait) return false;
    std::this_thread::sleep_for(250ms);
  }
  return false;
}

std::string ServerRun::AttachAs(const std::string& user, const std::string& password) const {
  try {
    firebird::ConnectionLayer().Select(sys::kClientLibraryName);
    firebird::TDBConnection connection(Database(), user, password, "");
    connection.Connect();
    connection.Disconnect();
    return {};
  } catch (const std::exception& refusal) {
    return refusal.what();
  }
}

std::string ServerRun::ServiceActions() const {
  std::string actions;
  std::istringstream calls(ReadFile(serviceDir_.path() / (std::string(kServiceName) + ".calls")));
  for (std::string line; std::getline(calls, line);) {
    if (line != "status") actions += line + " ";
  }
  return actions;
}

void ServerRun::RefuseServiceStart(bool refuse) {
  const fs::path flag = serviceDir_.path() / (std::string(kServiceName) + ".refuse-start");
  if (refuse) {
    WriteFile(flag, "");
  } else {
    fs::remove(flag);
  }
}

void ServerRun::StopServer() {
  Shell(std::string(kSystemScript) + " stop >/dev/null 2>&1");
}

}  // namespace tarnvel::testing
