#pragma once
// Read-only access to the machine part of the registry (HKEY_LOCAL_MACHINE),
// as far as server discovery needs it.
//
// Windows: the real HKEY_LOCAL_MACHINE, opened with KEY_READ.
// Linux: a text file in the "Windows Registry Editor Version 5.00" format
// (what regedit exports), read from kDefaultRegistryFile or from the file that
// the environment variable kRegistryFileVariable names. A missing or unreadable
// file, or one that is not a regular file (a folder, a FIFO, a device), is an
// empty registry; a file larger than kMaxRegistryFileSize is refused with an
// error. See registry_file.h for the subset understood.
//
// Key paths are relative to HKEY_LOCAL_MACHINE, with "\" between the parts; a
// leading "\" is allowed and ignored. Names compare without regard to case.

#include <cstddef>
#include <memory>
#include <string>

namespace tarnvel::sys {

inline constexpr const char* kRegistryFileVariable = "TARNVEL_REGISTRY_FILE";
inline constexpr const char* kDefaultRegistryFile = "/etc/tarnvel/registry.reg";
/// The registry file holds a few keys; anything near this size is not one.
inline constexpr std::size_t kMaxRegistryFileSize = 16u << 20;

enum class RegistryValueKind {
  Text,     ///< a string or expandable string, returned as stored
  Missing,  ///< no such value (or it could not be read at all)
  NotText,  ///< the value exists but holds another type of data
};

/// Which part of the registry a key is looked up in. A 64-bit Windows keeps
/// the SOFTWARE keys of 32-bit programs (and so of their installers) apart
/// and shows a 64-bit program only its own; Registry32 reads that 32-bit
/// part, as a 32-bit build of this program always does. The registry file of
/// Linux has one view only and reads the same for both.
enum class RegistryView { Default, Registry32 };

struct RegistryText {
  RegistryValueKind kind = RegistryValueKind::Missing;
  std::string text;  ///< UTF-8; empty unless kind is Text
};

/// An open key. Destroying it closes it.
class RegistryKey {
 public:
  virtual ~RegistryKey() = default;
  /// The text of a value; environment references are not expanded. A string
  /// with a zero character inside reads as NotText.
  virtual RegistryText ReadText(const std::string& valueName) const = 0;
};

/// The machine registry plus the one file-system question discovery asks
/// about what the registry names: whether a folder exists.
class MachineRegistry {
 public:
  virtual ~MachineRegistry() = default;
  /// True when the key can be opened for reading.
  virtual bool KeyExists(const std::string& keyPath, RegistryView view) const = 0;
  /// The key opened for reading, or nullptr when it cannot be opened.
  virtual std::unique_ptr<RegistryKey> OpenKeyReadOnly(const std::string& keyPath,
                                                       RegistryView view) const = 0;
  /// True for an existing directory (UTF-8 path; false when it holds a zero
  /// character).
  virtual bool FolderExists(const std::string& path) const = 0;
};

/// The registry of this machine (on Linux: the registry file, read now;
/// throws std::runtime_error when that file is too large).
std::unique_ptr<MachineRegistry> OpenMachineRegistry();

}  // namespace tarnvel::sys
