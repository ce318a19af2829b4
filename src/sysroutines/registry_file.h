#pragma once
// The registry text format that regedit exports ("Windows Registry Editor
// Version 5.00"), as far as a read-only view of HKEY_LOCAL_MACHINE needs it.
// Linux keeps the registry that discovery reads in such a file.
//
// Understood:
// - UTF-16LE with its byte-order mark (as regedit writes it) or UTF-8 (with
//   or without a byte-order mark); CR LF or LF line ends;
// - the header line "Windows Registry Editor Version 5.00" as the first
//   non-blank line; without it nothing in the file is read;
// - key sections [HKEY_LOCAL_MACHINE\...] (HKLM\ is accepted too); sections
//   of other hives and deletions [-...] are skipped with their values;
// - "name"="text" and @="text" with the escapes \\ and \";
// - "name"=hex(2):.. expandable strings (UTF-16LE bytes), continued over
//   several lines with a trailing "\";
// - comment lines starting with ";".
// Values of any other type (dword:, hex:, hex(7):, ...) are kept as "not
// text", and so is a string with a zero character inside (closing zeros of a
// hex(2) list are dropped); a deletion "name"=- removes nothing and is
// skipped.
// A key exists when it has a section or when a section lies below it.

#include <map>
#include <string>
#include <string_view>

#include "sysroutines/registry.h"

namespace tarnvel::sys {

class RegistryFileContents {
 public:
  /// Reads the bytes of a registry file. Text that is not such a file gives
  /// an empty registry.
  static RegistryFileContents Parse(std::string_view bytes);

  bool KeyExists(const std::string& keyPath) const;
  /// The value of an existing key (Missing when the value is not there).
  RegistryText ReadText(const std::string& keyPath, const std::string& valueName) const;

  struct Value {
    bool isText = false;
    std::string text;
  };

 private:
  // Keyed by the normalised (upper-cased, trimmed) path and value name.
  std::map<std::string, std::map<std::string, Value>> keys_;
};

/// The normalised form of a key path relative to HKEY_LOCAL_MACHINE: no
/// leading or trailing "\", a-z upper-cased.
std::string NormaliseRegistryPath(std::string_view keyPath);

}  // namespace tarnvel::sys
