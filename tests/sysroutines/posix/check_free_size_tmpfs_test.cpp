// The free-space check against a real small volume: a 4 MB tmpfs mounted
// under the build tree (needs root; CI runs as root).
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include "support/temp_dir.h"
#include "sysroutines/paths.h"
#include "sysroutines/disk_space.h"

namespace tarnvel::sys {
namespace {

using testing::TempDir;
using testing::WriteFile;

class SmallVolume : public ::testing::Test {
 protected:
  void SetUp() override {
    if (geteuid() != 0) GTEST_SKIP() << "mounting a tmpfs needs root";
    ASSERT_EQ(mount("tarnvel-test", volume_.str().c_str(), "tmpfs", 0, "size=4m"), 0);
    mounted_ = true;
    WriteFile(volume_.path() / "filler", std::string(1 << 20, 'f'));  // leaves 3 MB free
  }
  void TearDown() override {
    if (mounted_) umount2(volume_.str().c_str(), MNT_DETACH);
  }
  TempDir files_{"freefiles"};
  TempDir volume_{"freevol"};
  bool mounted_ = false;
};

TEST_F(SmallVolume, ShortageNamesThePathAndTheRequiredMegabytes) {
  ASSERT_EQ(*TotalFreeBytes(volume_.str()) >> 20, 3u);
  const std::string twoMb = files_ / "two.fdb";
  WriteFile(PathFromUtf8(twoMb), std::string(2 << 20, 'x'));
  try {
    CheckFreeSize(twoMb, volume_.str(), 2);
    ADD_FAILURE() << "4 MB required, 3 MB free: passed";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()),
              "To write the file to disk \"" + volume_.str() + "\" is required at least 4 MB of free space!");
  }
}

TEST_F(SmallVolume, SizesAreRoundedDownToWholeMegabytes) {
  const std::string oneAndHalf = files_ / "one-and-half.fdb";
  WriteFile(PathFromUtf8(oneAndHalf), std::string(1572864, 'x'));
  EXPECT_NO_THROW(CheckFreeSize(oneAndHalf, volume_.str(), 2));  // requires 2 MB
  try {
    CheckFreeSize(oneAndHalf, volume_.str(), 4);
    ADD_FAILURE() << "4 MB required, 3 MB free: passed";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find(" 4 MB "), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace tarnvel::sys
