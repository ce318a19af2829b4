#pragma once
// Resources embedded in the running executable, looked up by type and name.
//
// Type and name match without regard to case (ASCII). On Windows these are
// the module's .rc resources (FindResourceW); on Linux read-only blobs linked
// into the executable (see resource_table.h).

#include <optional>
#include <string_view>

namespace tarnvel::sys {

/// The bytes of resource TYPE/NAME of the running executable, or nullopt when
/// the executable carries no such resource. The bytes live as long as the process.
std::optional<std::string_view> FindEmbeddedResource(std::string_view type, std::string_view name);

}  // namespace tarnvel::sys
