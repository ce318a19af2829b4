// Windows: a symbolic link to a folder outside the tree is removed and copied
// as a link, never entered. Creating one needs the symbolic-link privilege
// (an administrator, or developer mode); where it is missing, and under Wine,
// which answers "done" without making the link, the case is skipped: only real
// Windows shows it (the Linux twin is in posix/folder_ops_linux_test.cpp).
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "support/temp_dir.h"
#include "sysroutines/file_system.h"
#include "sysroutines/paths.h"
#include "update/folder_ops.h"

namespace tarnvel {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;
namespace fs = std::filesystem;

TEST(FolderOpsWindows, FolderLinksAreNeverEntered) {
  TempDir dir("links");
  const std::string outside = dir / "outside";
  WriteFile(sys::PathFromUtf8(outside + "\\precious.txt"), "keep me");
  const std::string root = dir / "Program";
  WriteFile(sys::PathFromUtf8(root + "\\TarnVel.exe"), "exe");
  const std::string link = root + "\\dirlink";
  if (CreateSymbolicLinkW(sys::Utf8ToWide(link).c_str(), sys::Utf8ToWide(outside).c_str(),
                          SYMBOLIC_LINK_FLAG_DIRECTORY | 0x2 /* allow unprivileged create */) == 0) {
    GTEST_SKIP() << "no symbolic-link privilege here (error " << GetLastError() << ")";
  }
  // Wine reports success without making the link.
  if (!sys::GetFileAttributesOf(link)) GTEST_SKIP() << "symbolic links are not really created here (Wine)";
  ASSERT_NE(*sys::GetFileAttributesOf(link) & sys::kAttrLink, 0u);

  const std::string copy = dir / "Old";
  EXPECT_NO_THROW(MyCopyDir(root, copy));
  EXPECT_NE(*sys::GetFileAttributesOf(copy + "\\dirlink") & sys::kAttrLink, 0u);
  MyRemoveDir(copy);
  MyRemoveDir(root);
  EXPECT_FALSE(fs::exists(sys::PathFromUtf8(root)));
  EXPECT_FALSE(fs::exists(sys::PathFromUtf8(copy)));
  EXPECT_EQ(ReadFile(sys::PathFromUtf8(outside + "\\precious.txt")), "keep me");
}

TEST(FolderOpsWindows, FileLinkInTheTargetIsReplacedNotWrittenThrough) {
  TempDir dir("tlink");
  const std::string source = dir / "Program";
  WriteFile(sys::PathFromUtf8(source + "\\TarnVel.exe"), "new client");
  const std::string victim = dir / "victim.txt";
  WriteFile(sys::PathFromUtf8(victim), "keep me");
  const std::string target = dir / "Old";
  const std::string link = target + "\\TarnVel.exe";
  fs::create_directories(sys::PathFromUtf8(target));
  if (CreateSymbolicLinkW(sys::Utf8ToWide(link).c_str(), sys::Utf8ToWide(victim).c_str(),
                          0x2 /* allow unprivileged create */) == 0) {
    GTEST_SKIP() << "no symbolic-link privilege here (error " << GetLastError() << ")";
  }
  if (!sys::GetFileAttributesOf(link) || (*sys::GetFileAttributesOf(link) & sys::kAttrLink) == 0) {
    GTEST_SKIP() << "symbolic links are not really created here (Wine)";
  }
  EXPECT_NO_THROW(MyCopyDir(source, target));
  EXPECT_EQ(ReadFile(sys::PathFromUtf8(victim)), "keep me");
  EXPECT_EQ(*sys::GetFileAttributesOf(link) & sys::kAttrLink, 0u);
  EXPECT_EQ(ReadFile(sys::PathFromUtf8(link)), "new client");
}

}  // namespace
}  // namespace tarnvel
