#pragma once

#include <string>

namespace tarnvel::sys {

/// Path made absolute with ".", ".." and every link resolved as far as the
/// path exists (the rest is added as written): two paths naming the same
/// place by different ways give the same text. Empty for an empty path.
std::string ResolvedPath(const std::string& path);

/// Inner lies in Folder or in a folder below it, or is Folder itself, once
/// both are resolved.
bool PathIsInside(const std::string& inner, const std::string& folder);

}  // namespace tarnvel::sys
