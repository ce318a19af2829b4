// A read-only target stops a plain copy for an ordinary user; ForceCopyFile
// clears the bit first. Root (and Wine run as root) writes read-only files
// anyway, so there the case proves nothing and is skipped: CI runs it as
// another user (posix/read_only_as_user_test.cpp natively, and the ctest
// entry force_copy_read_only_as_user under Wine).
#include <gtest/gtest.h>

#include "support/disk_scratch.h"
#include "sysroutines/file_copy.h"
#include "sysroutines/file_system.h"
#include "sysroutines/force_copy_file.h"
#include "sysroutines/paths.h"

namespace tarnvel::sys {
namespace {

using testing::ReadFile;
using testing::DiskScratch;
using testing::WriteFile;

TEST(ReadOnlyTarget, PlainCopyIsRefusedForceCopyReplacesIt) {
  DiskScratch dir("readonly");
  const std::string source = dir / "new.exe";
  const std::string target = dir / "TarnVel.exe";
  WriteFile(PathFromUtf8(source), "new");
  WriteFile(PathFromUtf8(target), "old");
  ASSERT_TRUE(SetFileAttributesOf(target, kAttrReadOnly));
  if (CopyFileWithAttributes(source, target)) {
    GTEST_SKIP() << "read-only files are writable for this user (root): run as another user";
  }
  EXPECT_EQ(ReadFile(PathFromUtf8(target)), "old");
  EXPECT_TRUE(ForceCopyFile(source, target));
  EXPECT_EQ(ReadFile(PathFromUtf8(target)), "new");
}

}  // namespace
}  // namespace tarnvel::sys
