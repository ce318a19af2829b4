#include "sysroutines/service_manager.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "sysroutines/posix/local_service.h"
#include "sysroutines/posix/service_command.h"

namespace tarnvel::sys {
namespace {

// A name that could leave the service folder is no service name.
bool ValidServiceName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
         name.find('\0') == std::string::npos;
}

bool IsFolder(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Whether systemd has loaded the unit (also one it made from a SysV script).
bool UnitLoaded(const std::string& unit, const std::string& systemctl) {
  std::string out;
  if (RunServiceCommand({systemctl, "show", "--property=LoadState", "--value", "--", unit}, &out) != 0)
    return false;
  return out == "loaded\n" || out == "loaded";
}

}  // namespace

std::unique_ptr<ServiceConnection> OpenLocalService(const std::string& name,
                                                    const LocalServicePlaces& places) {
  if (!ValidServiceName(name)) return nullptr;
  if (places.scriptFolder.empty() && IsFolder(places.systemdRuntime)) {
    if (!UnitLoaded(name, places.systemctl)) return nullptr;
    return SystemdServiceConnection(name, places.systemctl);
  }
  const std::string script = (places.scriptFolder.empty() ? "/etc/init.d" : places.scriptFolder) + "/" + name;
  struct stat info {};
  if (stat(script.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || access(script.c_str(), X_OK) != 0)
    return nullptr;
  return SysVServiceConnection(script);
}

std::unique_ptr<ServiceConnection> OpenServiceConnection(const std::string& machineName,
                                                         const std::string& serviceName, std::uint32_t) {
  // Only this computer's services can be reached.
  if (!machineName.empty()) return nullptr;
  LocalServicePlaces places;
  if (const char* folder = std::getenv(kServiceFolderVariable)) places.scriptFolder = folder;
  return OpenLocalService(serviceName, places);
}

}  // namespace tarnvel::sys
