// Runs of a CLIENT product that fail for a cause the operator cannot guess
// from the old texts alone: the failure names it. Arranged for real on
// Linux: a path too long for the payload's command line.
#include <gtest/gtest.h>

#include <filesystem>

#include "driver/driver_fixture.h"
#include "update/update_context.h"

namespace tarnvel {
namespace {

using namespace testing;
namespace fs = std::filesystem;

class ClientCause : public ::testing::Test {
 protected:
  std::string Run() {
    host_.Answer(DialogButton::Yes);
    try {
      UpdateProgramm(host_, settings_, root_, "kelpdromux", "7", "Tarnvel");
    } catch (const std::exception& failure) {
      return failure.what();
    }
    return "(no failure)";
  }

  TempDir dir_{"clientcause"};
  std::string root_ = dir_ / "TarnVel";
  ScriptedHost host_;
  UpdateSettings settings_ = TestSettings();
};

// A product folder of 3,600 characters: the payload's command line would
// exceed its 511, so it is not started, and the failure says the path is
// too long. The working folder goes, the product stays as it was.
TEST_F(ClientCause, APathTooLongForThePayloadSaysSo) {
  std::string deep = dir_.str();
  while (deep.size() < 3600 - 200) deep += "/" + std::string(199, 'd');
  root_ = deep + "/" + std::string(3600 - deep.size() - 1, 'p');
  ASSERT_EQ(root_.size(), 3600u);
  LayOutClientProduct(root_);
  const auto before = TreeContents(root_);

  EXPECT_EQ(Run(), "Unable to run an external program!\r\n" + Text("uUpdate_SystemError_5"));
  EXPECT_EQ(host_.entries, InitEntries() + Entries({"32", "35", "36"}));
  EXPECT_EQ(WorkingFolder(root_), "");
  EXPECT_EQ(TreeContents(root_), before);
}

}  // namespace
}  // namespace tarnvel
