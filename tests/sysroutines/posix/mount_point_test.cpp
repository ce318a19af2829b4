// A folder with a file system mounted on it, or bound onto itself (the same
// device as its parent, yet a mount of its own): a root, which the lock test
// names as such instead of looking for programs that hold it. Needs root for
// the mount, as in CI.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <filesystem>

#include "support/temp_dir.h"
#include "sysroutines/file_system.h"
#include "sysroutines/lock_test.h"

namespace tarnvel::sys {
namespace {

using testing::TempDir;
using testing::WriteFile;

// A bind mount of a folder onto itself, taken away again at the end.
class BoundOntoItself {
 public:
  explicit BoundOntoItself(const std::string& folder) : folder_(folder) {
    mounted_ = mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) == 0;
  }
  ~BoundOntoItself() {
    if (mounted_) umount2(folder_.c_str(), MNT_DETACH);
  }
  BoundOntoItself(const BoundOntoItself&) = delete;
  BoundOntoItself& operator=(const BoundOntoItself&) = delete;
  bool Mounted() const { return mounted_; }

 private:
  std::string folder_;
  bool mounted_ = false;
};

TEST(MountPoint, AFolderBoundOntoItselfIsARootAndFailsTheLockTestAsOne) {
  if (geteuid() != 0) GTEST_SKIP() << "a bind mount needs root";
  TempDir dir("mounted");
  const std::string product = dir / "TarnVel";
  WriteFile(std::filesystem::path(product) / "Program" / "TarnVel.exe", "exe");
  ASSERT_FALSE(IsFileSystemRoot(product));
  ASSERT_EQ(FolderLockTest(product), LockTestResult::Passed);

  BoundOntoItself bound(product);
  ASSERT_TRUE(bound.Mounted());
  EXPECT_TRUE(IsFileSystemRoot(product));
  EXPECT_TRUE(IsFileSystemRoot(product + "/"));
  EXPECT_FALSE(IsFileSystemRoot(product + "/Program"));
  EXPECT_EQ(FolderLockTest(product), LockTestResult::FolderIsMountPoint);
  EXPECT_EQ(FolderLockTest(product + "/"), LockTestResult::FolderIsMountPoint);
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(product) / "Program" / "TarnVel.exe"));
  EXPECT_FALSE(std::filesystem::exists(product + "_"));

  // A link to the mount point is a link: renamed there and back as before.
  const std::string link = dir / "Linked";
  std::filesystem::create_directory_symlink(product, link);
  EXPECT_EQ(FolderLockTest(link), LockTestResult::Passed);
  EXPECT_TRUE(std::filesystem::is_symlink(link));
}

}  // namespace
}  // namespace tarnvel::sys
