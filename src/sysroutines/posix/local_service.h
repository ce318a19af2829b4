#pragma once
// Linux: where a service of this computer is found and who answers for it.
// OpenServiceConnection asks with the machine's own places; tests name places
// of their own (a script folder, a stand-in for systemctl and for systemd's
// runtime folder).

#include <memory>
#include <string>

#include "sysroutines/service_manager.h"

namespace tarnvel::sys {

struct LocalServicePlaces {
  /// The folder of the SysV scripts chosen by the caller; empty: systemd when
  /// it runs as PID 1, else /etc/init.d.
  std::string scriptFolder;
  /// systemd creates this folder when it runs as PID 1 (sd_booted's test).
  std::string systemdRuntime = "/run/systemd/system";
  std::string systemctl = "/bin/systemctl";
};

/// The service Name as the places say, or nullptr when it cannot be opened
/// (an invalid name, a script that is missing or not executable, a unit
/// systemd has not loaded).
std::unique_ptr<ServiceConnection> OpenLocalService(const std::string& name,
                                                    const LocalServicePlaces& places);

/// The unit Unit through Systemctl, without asking whether it is loaded.
std::unique_ptr<ServiceConnection> SystemdServiceConnection(const std::string& unit,
                                                            const std::string& systemctl);

/// The LSB script at Script, without looking at the file.
std::unique_ptr<ServiceConnection> SysVServiceConnection(const std::string& script);

}  // namespace tarnvel::sys
