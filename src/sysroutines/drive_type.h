#pragma once
// The kind of drive a folder lies on, in the numbers of Windows GetDriveType.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tarnvel::sys {

inline constexpr unsigned kDriveUnknown = 0;
inline constexpr unsigned kDriveNoRootDir = 1;
inline constexpr unsigned kDriveRemovable = 2;
inline constexpr unsigned kDriveFixed = 3;
inline constexpr unsigned kDriveRemote = 4;
inline constexpr unsigned kDriveCdRom = 5;
inline constexpr unsigned kDriveRamDisk = 6;

/// Windows: GetDriveTypeW of the drive part of Path ("C:" or "\\server\share")
/// plus "\". Linux: the type of the mount that holds Path (links resolved),
/// read from /proc/self/mountinfo (see DriveTypeFromMountInfo).
unsigned GetDriveTypeOfPath(const std::string& path);

/// The Linux mapping, given the text of a mountinfo file and an absolute,
/// resolved Path: the last mount with the longest mount point holding Path
/// decides. Network file systems (nfs, cifs, smb3, fuse.sshfs, 9p, ceph, ...)
/// are remote, iso9660 and udf CD-ROM, tmpfs and ramfs RAM disk; any other
/// is removable when IsRemovable("major:minor") says so, else fixed. No
/// mount holding Path: unknown.
unsigned DriveTypeFromMountInfo(std::string_view mountInfo, const std::string& path,
                                const std::function<bool(const std::string& device)>& isRemovable);

/// The mount of a mountinfo text that holds an absolute, resolved Path: the
/// last one with the longest mount point.
struct MountEntry {
  std::string mountPoint;
  std::string fileSystemType;
  std::string device;  // "major:minor"
};
std::optional<MountEntry> MountHolding(std::string_view mountInfo, const std::string& path);

/// The root of the drive that holds Path, with a trailing delimiter: Windows
/// "C:\" or "\\server\share\" (the drive part of the path, as written);
/// Linux the mount point that holds Path (links resolved), e.g. "/" or
/// "/srv/data/". Empty when there is none.
std::string DriveRootOf(const std::string& path);

}  // namespace tarnvel::sys
