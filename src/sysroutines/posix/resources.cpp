#include "sysroutines/resources.h"

#include <strings.h>

#include <vector>

#include "sysroutines/resource_table.h"

namespace tarnvel::sys {
namespace {

struct Table {
  const EmbeddedResource* entries;
  std::size_t count;
};

std::vector<Table>& Tables() {
  static std::vector<Table> tables;
  return tables;
}

bool SameIgnoringCase(std::string_view a, const char* b) {
  std::string_view bv(b);
  return a.size() == bv.size() && strncasecmp(a.data(), b, a.size()) == 0;
}

}  // namespace

ResourceTableRegistration::ResourceTableRegistration(const EmbeddedResource* entries,
                                                     std::size_t count) {
  Tables().push_back({entries, count});
}

std::optional<std::string_view> FindEmbeddedResource(std::string_view type, std::string_view name) {
  for (const Table& table : Tables()) {
    for (std::size_t i = 0; i < table.count; ++i) {
      const EmbeddedResource& r = table.entries[i];
      if (SameIgnoringCase(type, r.type) && SameIgnoringCase(name, r.name)) {
        return std::string_view(r.begin, static_cast<std::size_t>(r.end - r.begin));
      }
    }
  }
  return std::nullopt;
}

}  // namespace tarnvel::sys
