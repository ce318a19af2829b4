#pragma once
// Read-only access to the machine part of the registry (HKEY_LOCAL_MACHINE),
// as far as server discovery needs it.
//
// Windows: the real HKEY_LOCAL_MACHINE, opened with KEY_READ.
// Linux: a text file in the "Windows Registry Editor Version 5.00" format
// (what regedit exports), read from kDefaultRegistryFile or from the file that
// the environment variable kRegistryFileVariable names. A missing or unreadable
// file is an empty registry. See registry_file.h for the subset understood.
//
// Key paths are relative to HKEY_LOCAL_MACHINE, with "\" between the parts; a
// leading "\" is allowed and ignored. Names compare without regard to case.

#include <memory>
#include <string>

namespace tarnvel::sys {

inline constexpr const char* kRegistryFileVariable = "TARNVEL_REGISTRY_FILE";
inline constexpr const char* kDefaultRegistryFile = "/etc/tarnvel/registry.reg";

enum class RegistryValueKind {
  Text,     ///< a string or expandable string, returned as stored
  Missing,  ///< no such value (or it could not be read at all)
  NotText,  ///< the value exists but holds another type of data
};

struct RegistryText {
  RegistryValueKind kind = RegistryValueKind::Missing;
  std::string text;  ///< UTF-8; empty unless kind is Text
};

/// An open key. Destroying it closes it.
class RegistryKey {
 public:
  virtual ~RegistryKey() = default;
  /// The text of a value; environment references are not expanded.
  virtual RegistryText ReadText(const std::string& valueName) const = 0;
};

/// The machine registry plus the one file-system question discovery asks
/// about what the registry names: whether a folder exists.
class MachineRegistry {
 public:
  virtual ~MachineRegistry() = default;
  /// True when the key can be opened for reading.
  virtual bool KeyExists(const std::string& keyPath) const = 0;
  /// The key opened for reading, or nullptr when it cannot be opened.
  virtual std::unique_ptr<RegistryKey> OpenKeyReadOnly(const std::string& keyPath) const = 0;
  /// True for an existing directory (UTF-8 path).
  virtual bool FolderExists(const std::string& path) const = 0;
};

/// The registry of this machine (on Linux: the registry file, read now).
std::unique_ptr<MachineRegistry> OpenMachineRegistry();

}  // namespace tarnvel::sys
