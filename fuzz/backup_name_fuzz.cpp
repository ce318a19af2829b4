// Any entry name decodes; no escape survives decoding, and a path written as
// an entry name decodes back to itself.
#include <string>

#include "fuzz_entries.h"
#include "sysroutines/paths.h"
#include "sysroutines/text_helpers.h"
#include "update/backup_restore.h"

namespace tarnvel::fuzz {
namespace {

// The entry name the backup gives a file at Path: every path delimiter
// written "{5C}", every ":" written "{3A}".
std::string EncodeBackupName(const std::string& path) {
  std::string name;
  for (char c : path) {
    if (c == sys::kPathDelimiter)
      name += "{5C}";
    else if (c == ':')
      name += "{3A}";
    else
      name += c;
  }
  return name;
}

}  // namespace

void FuzzBackupName(std::string_view input) {
  const std::string text(input);
  const std::string target = DecodeBackupName(text);
  Expect(target.size() <= text.size(), "decoding never lengthens a name");
  Expect(target.find("{5C}") == std::string::npos && target.find("{3A}") == std::string::npos,
         "no escape survives decoding");

  // A path that holds an escape's text itself cannot be told from one that
  // holds the escaped character; every other path comes back.
  if (text.find("{5C}") == std::string::npos && text.find("{3A}") == std::string::npos)
    Expect(DecodeBackupName(EncodeBackupName(text)) == text, "an encoded path decodes back to itself");
}

}  // namespace tarnvel::fuzz
