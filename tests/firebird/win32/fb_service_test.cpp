// Stopping and starting a service through the Windows service manager under
// Wine: a test service of our own registered under the product's own service
// name stands in for the Firebird server, which Wine cannot run.
#include <gtest/gtest.h>

#include "firebird/fb_service.h"
#include "support/sysroutines_test_service.h"

namespace tarnvel::firebird {
namespace {

using namespace std::chrono_literals;

class FbServiceUnderWine : public ::testing::Test {
 protected:
  void SetUp() override {
    context_.showMessage = [this](const std::string& text) { shown_.push_back(text); };
    context_.pause = [this](std::chrono::milliseconds duration) { pauses_.push_back(duration); };
  }

  std::string Failure(const std::function<void()>& call) {
    try {
      call();
    } catch (const std::runtime_error& failure) {
      return failure.what();
    }
    return {};
  }

  FbServiceContext context_;
  std::vector<std::string> shown_;
  std::vector<std::chrono::milliseconds> pauses_;
};

TEST_F(FbServiceUnderWine, StartStopAndRestartTheOwnService) {
  const testing::RegisteredTestService service("NorvaskFireXBirdServer");
  const TFBServParams params{"", "SUPER", "localhost/3051:", "tarnvel_test_service.exe", service.Name()};

  EXPECT_EQ(Failure([&] { StartFBService(params, false, context_); }), "");
  EXPECT_EQ(sys::GetServiceState("", service.Name()), sys::kServiceRunning);
  EXPECT_EQ(pauses_.size(), 1u);  // the stop of the stopped service before the start
  EXPECT_TRUE(shown_.empty());

  EXPECT_EQ(Failure([&] { StartFBService(params, true, context_); }), "");  // a restart
  EXPECT_EQ(sys::GetServiceState("", service.Name()), sys::kServiceRunning);
  EXPECT_EQ(pauses_, (std::vector<std::chrono::milliseconds>{15000ms, 15000ms}));

  EXPECT_EQ(Failure([&] { StopFBService(params, true, context_); }), "");
  EXPECT_EQ(sys::GetServiceState("", service.Name()), sys::kServiceStopped);
  EXPECT_EQ(shown_, (std::vector<std::string>{"FireBird server service is running.",
                                              "FireBird Server service is stopped."}));
}

TEST_F(FbServiceUnderWine, OtherServicesDoNotCountAsTheServer) {
  const testing::RegisteredTestService service("TarnvelFbOtherService");
  const TFBServParams params{"", "SUPER", "", "tarnvel_none.exe", service.Name()};
  EXPECT_EQ(Failure([&] { StartFBService(params, true, context_); }),
            "FireBird server service is not running!");
  EXPECT_EQ(Failure([&] {
              StartFBService({"", "", "", "x.exe", "TarnvelNoSuchService"}, true, context_);
            }),
            "Unable to start the server FireBird. Try restarting your computer and rerun the application.");
  EXPECT_EQ(Failure([&] {
              StopFBService({"", "", "", "x.exe", "TarnvelNoSuchService"}, true, context_);
            }),
            "Unable to stop the server FireBird. Try restarting your computer and rerun the application.");
  EXPECT_TRUE(shown_.empty());
}

}  // namespace
}  // namespace tarnvel::firebird
