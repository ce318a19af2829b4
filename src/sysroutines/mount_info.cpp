// The mountinfo mapping is plain text work; it is compiled on every target so
// that its table of cases is tested everywhere.
#include <optional>
#include <set>
#include <sstream>
#include <vector>

#include "sysroutines/drive_type.h"

namespace tarnvel::sys {
namespace {

const std::set<std::string, std::less<>> kRemoteTypes = {
    "nfs",       "nfs4",       "cifs",           "smb3",      "smbfs",
    "ncpfs",     "fuse.sshfs", "sshfs",          "9p",        "ceph",
    "fuse.ceph", "glusterfs",  "fuse.glusterfs", "afs",       "coda",
    "lustre",    "davfs",      "fuse.davfs2",    "fuse.s3fs", "fuse.rclone",
    "gfs2",      "ocfs2",      "fuse.smbnetfs",  "virtiofs"};

// Mount points write blanks, tabs, newlines and backslashes as \ooo.
std::string Unescape(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 3 < text.size() &&
        text.substr(i + 1, 3).find_first_not_of("01234567") == std::string_view::npos) {
      out.push_back(
          static_cast<char>((text[i + 1] - '0') * 64 + (text[i + 2] - '0') * 8 + (text[i + 3] - '0')));
      i += 3;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

bool Holds(const std::string& mountPoint, const std::string& path) {
  if (mountPoint == "/") return !path.empty() && path[0] == '/';
  return path == mountPoint ||
         (path.size() > mountPoint.size() && path.compare(0, mountPoint.size(), mountPoint) == 0 &&
          path[mountPoint.size()] == '/');
}

}  // namespace

std::optional<MountEntry> MountHolding(std::string_view mountInfo, const std::string& path) {
  std::optional<MountEntry> best;
  std::istringstream lines{std::string(mountInfo)};
  for (std::string line; std::getline(lines, line);) {
    std::istringstream fields(line);
    std::vector<std::string> words;
    for (std::string word; fields >> word;) words.push_back(word);
    // id parent major:minor root mount-point options [optional...] - type source super-options
    std::size_t dash = 6;
    while (dash < words.size() && words[dash] != "-") ++dash;
    if (words.size() < 5 || dash + 1 >= words.size()) continue;
    const std::string point = Unescape(words[4]);
    if (!Holds(point, path)) continue;
    if (!best || point.size() >= best->mountPoint.size()) best = MountEntry{point, words[dash + 1], words[2]};
  }
  return best;
}

unsigned DriveTypeFromMountInfo(std::string_view mountInfo, const std::string& path,
                                const std::function<bool(const std::string& device)>& isRemovable) {
  const std::optional<MountEntry> mount = MountHolding(mountInfo, path);
  if (!mount) return kDriveUnknown;
  if (kRemoteTypes.count(mount->fileSystemType) != 0) return kDriveRemote;
  if (mount->fileSystemType == "iso9660" || mount->fileSystemType == "udf") return kDriveCdRom;
  if (mount->fileSystemType == "tmpfs" || mount->fileSystemType == "ramfs") return kDriveRamDisk;
  return isRemovable && isRemovable(mount->device) ? kDriveRemovable : kDriveFixed;
}

}  // namespace tarnvel::sys
