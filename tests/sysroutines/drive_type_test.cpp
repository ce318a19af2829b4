// The Linux drive-type mapping from mountinfo text. It is plain text work, so
// the table runs on every target.
#include <gtest/gtest.h>

#include "sysroutines/drive_type.h"

namespace tarnvel::sys {
namespace {

constexpr const char* kMountInfo =
    "21 1 254:0 / / rw,relatime shared:1 - ext4 /dev/vda rw\n"
    "22 21 0:20 / /proc rw,nosuid shared:2 - proc proc rw\n"
    "23 21 0:21 / /tmp rw shared:3 - tmpfs tmpfs rw,size=1024k\n"
    "24 21 0:22 / /mnt/nfs rw - nfs4 server:/export rw,vers=4.2\n"
    "25 21 0:23 / /mnt/share rw - cifs //server/share rw\n"
    "26 21 11:0 / /media/cdrom ro - iso9660 /dev/sr0 ro\n"
    "27 21 8:17 / /media/stick rw - vfat /dev/sdb1 rw\n"
    "28 21 0:24 / /mnt/ssh rw - fuse.sshfs user@host:/ rw\n"
    "29 24 8:1 / /mnt/nfs/local rw - ext4 /dev/sda1 rw\n"
    "30 21 0:25 / /mnt/with\\040blank rw - ramfs ramfs rw\n"
    "31 21 0:26 / /srv/data rw shared:9 master:4 - xfs /dev/sdc rw\n"
    "32 21 0:27 / /srv/data rw - 9p hostshare rw\n"
    "33 21 0:28 / /mnt/cephfs rw - ceph 10.0.0.1:/ rw\n"
    "34 21 0:29 / /mnt/dvd ro - udf /dev/sr1 ro\n"
    "35 21 0:30 / /mnt/smb3 rw - smb3 //s/x rw\n";

TEST(DriveTypeFromMountInfo, MapsTheMountThatHoldsThePath) {
  const auto removable = [](const std::string& device) { return device == "8:17"; };
  const struct { const char* path; unsigned type; } cases[] = {
      {"/", kDriveFixed},
      {"/opt/ZEK/TarnVel", kDriveFixed},
      {"/tmp", kDriveRamDisk},
      {"/tmp/x/y", kDriveRamDisk},
      {"/tmpfoo", kDriveFixed},                  // a name that only starts like a mount point
      {"/mnt/nfs/TarnVel", kDriveRemote},
      {"/mnt/nfs/local/TarnVel", kDriveFixed},   // a local disk mounted inside a network share
      {"/mnt/share/a", kDriveRemote},
      {"/media/cdrom/TarnVel", kDriveCdRom},
      {"/mnt/dvd", kDriveCdRom},
      {"/media/stick/TarnVel", kDriveRemovable},
      {"/mnt/ssh/home", kDriveRemote},
      {"/mnt/with blank/x", kDriveRamDisk},      // \040 in the mount point is a blank
      {"/srv/data/x", kDriveRemote},             // the later of two mounts on one point wins
      {"/mnt/cephfs", kDriveRemote},
      {"/mnt/smb3/x", kDriveRemote},
      {"relative/path", kDriveUnknown},
  };
  for (const auto& c : cases) EXPECT_EQ(DriveTypeFromMountInfo(kMountInfo, c.path, removable), c.type) << c.path;
}

TEST(DriveTypeFromMountInfo, ToleratesDamagedLinesAndEmptyText) {
  EXPECT_EQ(DriveTypeFromMountInfo("", "/x", nullptr), kDriveUnknown);
  EXPECT_EQ(DriveTypeFromMountInfo("garbage\n21 1 8:0 / / rw\n", "/x", nullptr), kDriveUnknown);
  EXPECT_EQ(DriveTypeFromMountInfo("21 1 8:0 / / rw - ext4 /dev/sda rw\n", "/x", nullptr), kDriveFixed);
}

}  // namespace
}  // namespace tarnvel::sys
