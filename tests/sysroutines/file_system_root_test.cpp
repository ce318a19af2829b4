// Which paths are the root of a file system (refused by MyRemoveDir). Only
// asked, never removed: the roots here are the real ones of this machine.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"
#include "sysroutines/file_system.h"
#include "sysroutines/paths.h"

namespace tarnvel::sys {
namespace {

using testing::TempDir;
using testing::WriteFile;

TEST(IsFileSystemRoot, RootsOfDrivesAndFileSystemsOnly) {
  TempDir dir("root");
  WriteFile(dir.path() / "file.txt", "x");
  const std::string d(1, kPathDelimiter);
  // "C:\" on Windows (Z:\ under Wine), "/" on Linux.
  const std::string root = PathToUtf8(dir.path().root_path());
  const struct {
    std::string path;
    bool root;
  } cases[] = {
      {root, true},
      {root + "." + d, true},
      {dir.str() + d + ".." + d + ".." + d + ".." + d + ".." + d + ".." + d + ".." + d + ".." + d + ".." + d +
           ".." + d + ".." + d + ".." + d + "..",
       true},
      {"", false},
      {dir.str(), false},
      {dir.str() + d, false},
      {dir / "file.txt", false},
      {dir / "missing", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsFileSystemRoot(c.path), c.root) << "'" << c.path << "'";
}

}  // namespace
}  // namespace tarnvel::sys
