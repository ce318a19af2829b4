// The folder reader tells an empty folder from one it could not read.
#include "sysroutines/directory_reader.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"
#include "sysroutines/paths.h"

namespace tarnvel::sys {
namespace {

using testing::TempDir;
using testing::WriteFile;

TEST(DirectoryReader, EmptyIsNoFailureUnreadableIs) {
  TempDir dir("reader");
  std::filesystem::create_directories(dir.path() / "empty");
  WriteFile(dir.path() / "full" / "a.txt", "a");
  WriteFile(dir.path() / "file.txt", "not a folder");
  const struct {
    std::string folder;
    int entries;
    bool failed;
  } cases[] = {
      {dir / "empty", 0, false},
      {dir / "full", 1, false},
      {dir / "missing", 0, true},
      {dir / "file.txt", 0, true},
  };
  for (const auto& c : cases) {
    DirectoryReader reader(c.folder);
    int entries = 0;
    while (reader.Next()) ++entries;
    EXPECT_EQ(entries, c.entries) << c.folder;
    EXPECT_EQ(reader.Failed(), c.failed) << c.folder;
    EXPECT_FALSE(reader.Next()) << c.folder;  // the end stays the end
  }
}

}  // namespace
}  // namespace tarnvel::sys
