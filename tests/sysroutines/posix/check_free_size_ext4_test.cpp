// The free-space check counts every free block of the volume, including the
// blocks an ext4 file system keeps for root: a real ext4 image, mounted
// through a loop device under the build tree, with half its blocks reserved
// (needs root, as in CI).
#include <gtest/gtest.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "support/temp_dir.h"
#include "sysroutines/disk_space.h"
#include "sysroutines/drive_type.h"
#include "sysroutines/paths.h"

namespace tarnvel::sys {
namespace {

using testing::TempDir;
using testing::WriteFile;

int Shell(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

TEST(CheckFreeSizeExt4, ReservedBlocksCountAsFree) {
  if (geteuid() != 0) GTEST_SKIP() << "a loop mount needs root";
  TempDir dir("ext4");
  const std::string image = dir / "volume.img";
  const std::string mountPoint = dir / "mnt";
  std::filesystem::create_directories(PathFromUtf8(mountPoint));
  ASSERT_EQ(Shell("truncate -s 32M '" + image + "' && mkfs.ext4 -q -m 50 '" + image + "'"), 0);
  ASSERT_EQ(Shell("mount -o loop '" + image + "' '" + mountPoint + "'"), 0);
  struct Unmount {
    std::string path;
    ~Unmount() { Shell("umount '" + path + "'"); }
  } unmount{mountPoint};

  EXPECT_EQ(GetDriveTypeOfPath(mountPoint), kDriveFixed);  // a local disk, unlike a tmpfs

  struct statvfs vfs {};
  ASSERT_EQ(statvfs(mountPoint.c_str(), &vfs), 0);
  const std::uint64_t freeMb = (std::uint64_t(vfs.f_bfree) * vfs.f_frsize) >> 20;
  const std::uint64_t availableMb = (std::uint64_t(vfs.f_bavail) * vfs.f_frsize) >> 20;
  ASSERT_GE(freeMb, availableMb + 8) << "the image keeps too few blocks for root";
  ASSERT_EQ(*TotalFreeBytes(mountPoint) >> 20, freeMb);

  // Required lies between what a user may use and what is free: the check passes.
  const std::string db = dir / "db.fdb";
  const std::uint64_t megabytes = (availableMb + 2) / 2 + 1;
  WriteFile(PathFromUtf8(db), std::string(megabytes << 20, 'x'));
  ASSERT_GT(megabytes * 2, availableMb);
  ASSERT_LE(megabytes * 2, freeMb);
  EXPECT_NO_THROW(CheckFreeSize(db, mountPoint, 2));
  EXPECT_THROW(CheckFreeSize(db, mountPoint, 8), std::runtime_error);
}

}  // namespace
}  // namespace tarnvel::sys
