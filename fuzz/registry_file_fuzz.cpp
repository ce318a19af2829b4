// Any bytes parse as a registry (maybe an empty one). The keys and value
// names the input mentions are looked up: a key below an existing key's
// path makes its parents exist, and a value is only found in a key that exists.
#include <string>
#include <vector>

#include "fuzz_entries.h"
#include "sysroutines/registry_file.h"

namespace tarnvel::fuzz {
namespace {

struct Mentioned {
  std::vector<std::string> keys;   // relative to the hive, as written
  std::vector<std::string> names;  // value names, as written between quotes
};

// The key paths of "[HIVE\path]" lines and the first quoted text of other
// lines, read from the input as plain 8-bit text.
Mentioned MentionedIn(std::string_view input) {
  Mentioned found;
  std::size_t start = 0;
  while (start < input.size()) {
    std::size_t end = input.find('\n', start);
    if (end == std::string_view::npos) end = input.size();
    std::string_view line = input.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      const std::string_view section = line.substr(1, line.size() - 2);
      const std::size_t slash = section.find('\\');
      if (slash != std::string_view::npos) found.keys.emplace_back(section.substr(slash + 1));
    } else if (line.size() >= 2 && line.front() == '"') {
      const std::size_t close = line.find('"', 1);
      if (close != std::string_view::npos) found.names.emplace_back(line.substr(1, close - 1));
    }
  }
  found.names.emplace_back("");  // the default value, @
  return found;
}

}  // namespace

void FuzzRegistryFile(std::string_view input) {
  const sys::RegistryFileContents registry = sys::RegistryFileContents::Parse(input);
  const Mentioned mentioned = MentionedIn(input);
  for (const std::string& key : mentioned.keys) {
    const bool exists = registry.KeyExists(key);
    if (exists) {
      const std::string path = sys::NormaliseRegistryPath(key);
      for (std::size_t cut = path.rfind('\\'); cut != std::string::npos && cut > 0;
           cut = path.rfind('\\', cut - 1))
        Expect(registry.KeyExists(path.substr(0, cut)), "the parents of an existing key exist");
    }
    for (const std::string& name : mentioned.names) {
      const sys::RegistryText value = registry.ReadText(key, name);
      if (value.kind != sys::RegistryValueKind::Missing) Expect(exists, "a value is found only in a key");
      if (value.kind != sys::RegistryValueKind::Text)
        Expect(value.text.empty(), "only a text value has text");
    }
  }
}

}  // namespace tarnvel::fuzz
