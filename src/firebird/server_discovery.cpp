#include "firebird/server_discovery.h"

#include <stdexcept>

#include "sysroutines/ascii_case.h"
#include "sysroutines/paths.h"

namespace tarnvel::firebird {
namespace {

const std::string kOwnServiceName = "NorvaskFireXBirdServer";
const std::string kOwnServiceKey = "\\SYSTEM\\CurrentControlSet\\Services\\" + kOwnServiceName;
const std::string kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
// The product's Firebird package comes with a 32-bit installer, which
// registers it in the 32-bit part of the registry; a 64-bit build must look
// there, as the 32-bit build does. The service keys are the same in both.
constexpr sys::RegistryView kPackageView = sys::RegistryView::Registry32;
constexpr sys::RegistryView kServiceView = sys::RegistryView::Default;
// The first name is the one a Russian installer writes (in Windows-1251 on
// the original systems; the registry hands it over as Unicode).
const char* const kPackageKeys[] = {"Firebird 2.0 для ПО ГК \"Норваск\"",
                                    "Firebird 2_0 server for Norvask GC"};
const std::string kDefaultInstanceKey = "SYSTEM\\CurrentControlSet\\Services\\FirebirdServerDefaultInstance";
const std::string kGuardianServiceName = "FirebirdGuardianDefaultInstance";
const std::string kDefaultPrefix = "localhost/3051:";

const char* const kTypeUnknown = "FireBird server type could not be determined.";
const char* const kDamaged =
    "FireBird server service is damaged or is not adapted for the software GC \"Norvask.\" Update aborted.";

// Windows names its executables with ".EXE"; Linux builds of the server carry
// the same names without it.
std::string Executable(const std::string& name) {
  return name + (sys::kPathDelimiter == '\\' ? ".EXE" : "");
}

std::string ReadImagePath(const sys::RegistryKey& key) {
  const sys::RegistryText value = key.ReadText("ImagePath");
  if (value.kind == sys::RegistryValueKind::NotText)
    throw std::runtime_error("Invalid data type for 'ImagePath'");
  return value.text;
}

// Sets ServerType and ServerExe from the executable names the command line
// contains; the second name is tested last and wins.
void DetectType(TFBServParams& params, const std::string& commandLine, const std::string& superExe,
                const std::string& classicExe) {
  const std::string upper = sys::UpperAscii(commandLine);
  if (upper.find(superExe) != std::string::npos) {
    params.ServerType = "SUPER";
    params.ServerExe = superExe;
  }
  if (upper.find(classicExe) != std::string::npos) {
    params.ServerType = "CLASSIC";
    params.ServerExe = classicExe;
  }
  if (params.ServerType.empty()) throw std::runtime_error(kTypeUnknown);
}

// The command line up to and including the delimiter that starts its first
// "<delimiter>bin<delimiter>" (case significant); empty without one.
std::string ServerDirOf(const std::string& commandLine) {
  const std::string bin = std::string(1, sys::kPathDelimiter) + "bin" + sys::kPathDelimiter;
  const auto at = commandLine.find(bin);
  return at == std::string::npos ? std::string() : commandLine.substr(0, at + 1);
}

// "localhost/" + the word after the first "-p " + ":". The word can be a port
// number or a service name; it is taken unchanged.
std::string PrefixOf(const std::string& commandLine) {
  std::string port = commandLine.substr(commandLine.find("-p ") + 2);
  port.erase(0, port.find_first_not_of(" \t"));
  port = port.substr(0, port.find(' '));
  return "localhost/" + port + ":";
}

bool HasPortOption(const std::string& commandLine) {
  return commandLine.find("-p ") != std::string::npos;
}

void OwnService(TFBServParams& params, const sys::MachineRegistry& registry, const sys::RegistryKey& key) {
  params.ServiceName = kOwnServiceName;
  const std::string commandLine = ReadImagePath(key);
  DetectType(params, commandLine, Executable("FBSRVTRVL"), Executable("FB_INET_SRVTRVL"));
  params.ServerDir = ServerDirOf(commandLine);
  if (!registry.FolderExists(params.ServerDir)) throw std::runtime_error(kDamaged);
  // The product's own service is always installed with its port; a command
  // line without one is not a service set up for the product.
  if (!HasPortOption(commandLine)) throw std::runtime_error(kDamaged);
  params.ServerPrefix = PrefixOf(commandLine);
}

void DefaultInstance(TFBServParams& params, const sys::RegistryKey& key) {
  params.ServiceName = kGuardianServiceName;  // the guardian controls the server whose key is read
  const std::string commandLine = ReadImagePath(key);
  DetectType(params, commandLine, Executable("FBSERVER"), Executable("FB_INET_SERVER"));
  params.ServerDir = ServerDirOf(commandLine);
  params.ServerPrefix = HasPortOption(commandLine) ? PrefixOf(commandLine) : kDefaultPrefix;
}

}  // namespace

void GetFBServParams(TFBServParams& params, const sys::MachineRegistry& registry) {
  params.ServerType.clear();

  const bool ownKeyExists = registry.KeyExists(kOwnServiceKey, kServiceView);
  if (ownKeyExists) {
    if (const auto key = registry.OpenKeyReadOnly(kOwnServiceKey, kServiceView)) {
      OwnService(params, registry, *key);
      return;
    }
  }

  std::string packageKey;
  if (ownKeyExists) {
    packageKey = kUninstallKey + kPackageKeys[0];
  } else {
    for (const char* name : kPackageKeys) {
      if (registry.KeyExists(kUninstallKey + name, kPackageView)) {
        packageKey = kUninstallKey + name;
        break;
      }
    }
  }
  if (packageKey.empty()) return;
  if (!registry.OpenKeyReadOnly(packageKey, kPackageView)) throw std::runtime_error(kDamaged);

  const auto key = registry.OpenKeyReadOnly(kDefaultInstanceKey, kServiceView);
  if (!key) return;
  DefaultInstance(params, *key);
}

void GetFBServParams(TFBServParams& params) {
  GetFBServParams(params, *sys::OpenMachineRegistry());
}

}  // namespace tarnvel::firebird
