#include "sysroutines/drive_type.h"

#include <windows.h>

#include "sysroutines/paths.h"

namespace tarnvel::sys {
namespace {

// "C:" for a drive-letter path, "\\server\share" for a network path, else empty.
std::string ExtractFileDrive(const std::string& path) {
  if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
  if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
    const std::size_t server = path.find('\\', 2);
    if (server == std::string::npos) return path;
    const std::size_t share = path.find('\\', server + 1);
    return share == std::string::npos ? path : path.substr(0, share);
  }
  return {};
}

}  // namespace

unsigned GetDriveTypeOfPath(const std::string& path) {
  const std::string root = ExtractFileDrive(path) + "\\";
  return GetDriveTypeW(Utf8ToWide(root).c_str());
}

std::string DriveRootOf(const std::string& path) {
  const std::string drive = ExtractFileDrive(path);
  return drive.empty() ? std::string() : drive + "\\";
}

}  // namespace tarnvel::sys
