#pragma once
// Symbolic links and snapshots of whole trees, for the tests that prove that
// nothing outside a tree was touched.

#include <filesystem>
#include <map>
#include <string>

namespace tarnvel::testing {

/// Makes Link a symbolic link to Target (a folder link when Folder is set;
/// Target may be relative to Link's folder). False where this system makes
/// none: Windows without the symbolic-link privilege, and Wine, which answers
/// "done" and makes nothing.
bool MakeSymbolicLink(const std::filesystem::path& target, const std::filesystem::path& link, bool folder);

/// Every entry below Root, links never followed: its path relative to Root
/// mapped to "folder", "file:" and its bytes, "link:" and its target, or
/// "other". Two equal snapshots mean a tree byte for byte the same.
std::map<std::string, std::string> TreeSnapshot(const std::filesystem::path& root);

}  // namespace tarnvel::testing
