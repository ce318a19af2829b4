// Runs of a CLIENT product that fail for a cause the operator cannot guess
// from the old texts alone: the failure names it. Arranged for real on
// Linux: a product folder that is a mount point, a path too long for the
// payload's command line.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

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

// Bound onto itself, the product folder is a mount point: no rename can move
// it, and closing programs or a reboot would not help.
TEST_F(ClientCause, AProductFolderThatIsAMountPointIsNamedAsOne) {
  if (geteuid() != 0) GTEST_SKIP() << "a bind mount needs root";
  LayOutClientProduct(root_);
  const auto before = TreeContents(root_);
  ASSERT_EQ(mount(root_.c_str(), root_.c_str(), nullptr, MS_BIND, nullptr), 0);
  const std::string text = Run();
  const auto after = TreeContents(root_);
  umount2(root_.c_str(), MNT_DETACH);

  EXPECT_EQ(text, Text("58", CurrentUpdateContext().RootDir));
  EXPECT_EQ(host_.entries, InitEntries() + Entries({"32"}));
  EXPECT_EQ(after, before);
  EXPECT_FALSE(fs::exists(root_ + "_"));
}

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
