#pragma once
// A fresh folder under the build tree for one test, removed afterwards. Not
// under /tmp: that can be a RAM disk, which the engine rightly refuses.

#include <filesystem>
#include <string>

namespace tarnvel::testing {

class TempDir {
 public:
  explicit TempDir(const std::string& tag = "t");
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  /// The folder as UTF-8 text, without a trailing delimiter.
  std::string str() const;
  /// Path of a child, as UTF-8 text.
  std::string operator/(const std::string& child) const;

 private:
  std::filesystem::path path_;
};

/// Writes a file with the given bytes, creating missing folders.
void WriteFile(const std::filesystem::path& path, const std::string& bytes);
/// The whole content of a file (empty when it cannot be read).
std::string ReadFile(const std::filesystem::path& path);

}  // namespace tarnvel::testing
