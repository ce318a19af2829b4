#include "fuzz_entries.h"

#include <array>

namespace tarnvel::fuzz {

std::span<const FuzzTarget> FuzzTargets() {
  static constexpr std::array<FuzzTarget, 5> kTargets = {{
      {"catalogue_table", FuzzCatalogueTable},
      {"registry_file", FuzzRegistryFile},
      {"users_reply", FuzzUsersReply},
      {"split_database_name", FuzzSplitDatabaseName},
      {"backup_name", FuzzBackupName},
  }};
  return kTargets;
}

}  // namespace tarnvel::fuzz
