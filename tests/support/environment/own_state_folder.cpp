// Compiled into every test program: the updater's machine-wide state (its
// lock and run journal) lives in a folder of this test process, inherited by
// every program a test starts, so tests running side by side neither refuse
// each other nor read each other's journals.
#include <gtest/gtest.h>

#include <filesystem>
#include <system_error>

#include "support/test_environment.h"

namespace {

class OwnStateFolder : public ::testing::Environment {
 public:
  void SetUp() override {
    if (tarnvel::testing::GetTestEnvironmentVariable("TARNVEL_STATE_DIR")) return;
    folder_ = std::filesystem::current_path() / "state" / std::to_string(tarnvel::testing::TestProcessId());
    tarnvel::testing::SetTestEnvironmentVariable("TARNVEL_STATE_DIR", folder_.string());
  }
  void TearDown() override {
    std::error_code ignored;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
  }

 private:
  std::filesystem::path folder_;
};

const ::testing::Environment* const kOwnStateFolder = ::testing::AddGlobalTestEnvironment(new OwnStateFolder);

}  // namespace
