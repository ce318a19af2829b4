// MyRemoveDir, MyCreateDir and MyCopyDir on real trees under the build tree.
#include "update/folder_ops.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "i18n/ldm.h"
#include "support/disk_scratch.h"
#include "support/failure_text.h"
#include "sysroutines/file_system.h"
#include "sysroutines/paths.h"

namespace tarnvel {
namespace {

using testing::DiskScratch;
using testing::ReadFile;
using testing::WriteFile;
namespace fs = std::filesystem;

const std::string d(1, sys::kPathDelimiter);

std::string MessageOf(const std::function<void()>& action) {
  return testing::FailureText(action);
}

// A product-like tree with protected files at two levels.
void MakeTree(const std::string& root) {
  WriteFile(sys::PathFromUtf8(root) / "TarnVel.exe", "exe");
  WriteFile(sys::PathFromUtf8(root) / "ro.dll", "dll");
  WriteFile(sys::PathFromUtf8(root) / "sub" / "deeper" / "hidden.ini", "ini");
  WriteFile(sys::PathFromUtf8(root) / "sub" / "system.dat", "dat");
  fs::create_directories(sys::PathFromUtf8(root) / "empty");
  sys::SetFileAttributesOf(root + d + "ro.dll", sys::kAttrReadOnly);
  // Hidden and system exist on Windows only; on Linux these stay plain files.
  sys::SetFileAttributesOf(root + d + "sub" + d + "deeper" + d + "hidden.ini",
                           sys::kAttrHidden | sys::kAttrReadOnly);
  sys::SetFileAttributesOf(root + d + "sub" + d + "system.dat", sys::kAttrSystem);
}

TEST(MyRemoveDir, RemovesProtectedFilesAndTheWholeTree) {
  DiskScratch dir("rm");
  const std::string root = dir / "Tmp$";
  MakeTree(root);
  MyRemoveDir(root);
  EXPECT_FALSE(fs::exists(sys::PathFromUtf8(root)));
  EXPECT_NO_THROW(MyRemoveDir(root));  // a missing folder is no error
  EXPECT_NO_THROW(MyRemoveDir(dir / "never" + d + "was"));
}

TEST(MyCreateDir, CreatesExactlyOneLevel) {
  DiskScratch dir("mk");
  EXPECT_NO_THROW(MyCreateDir(dir / "Tmp$1"));
  EXPECT_TRUE(fs::is_directory(dir.path() / "Tmp$1"));
  const struct {
    std::string folder;
  } cases[] = {
      {dir / "Tmp$1"},                // already there
      {dir / "missing" + d + "New"},  // parent missing
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MessageOf([&] { MyCreateDir(c.folder); }),
              i18n::GetMessageText("uUpdate_MyCreateDir_1", c.folder));
  }
  EXPECT_FALSE(fs::exists(dir.path() / "missing"));
}

TEST(MyCopyDir, CopiesTheTreeWithItsAttributesIntoMissingParents) {
  DiskScratch dir("cp");
  const std::string source = dir / "Program";
  MakeTree(source);
  const std::string target = dir / "Tmp$" + d + "Old" + d + "Program";
  MyCopyDir(source, target);
  for (const char* file : {"TarnVel.exe", "ro.dll", "sub/deeper/hidden.ini", "sub/system.dat"}) {
    EXPECT_EQ(ReadFile(sys::PathFromUtf8(target) / file), ReadFile(sys::PathFromUtf8(source) / file)) << file;
  }
  EXPECT_TRUE(fs::is_directory(sys::PathFromUtf8(target) / "empty"));
  EXPECT_EQ(*sys::GetFileAttributesOf(target + d + "ro.dll") & sys::kAttrReadOnly, sys::kAttrReadOnly);
  EXPECT_EQ(
      *sys::GetFileAttributesOf(target + d + "sub" + d + "deeper" + d + "hidden.ini") & sys::kAttrReadOnly,
      sys::kAttrReadOnly);

  // Again over the copy: read-only and hidden targets are replaced, extra files stay.
  WriteFile(sys::PathFromUtf8(target) / "extra.txt", "extra");
  sys::SetFileAttributesOf(source + d + "ro.dll", 0);
  WriteFile(sys::PathFromUtf8(source) / "ro.dll", "new dll");
  WriteFile(sys::PathFromUtf8(source) / "sub" / "deeper" / "hidden.ini", "new ini");
  EXPECT_NO_THROW(MyCopyDir(source + d, target + d));
  EXPECT_EQ(ReadFile(sys::PathFromUtf8(target) / "ro.dll"), "new dll");
  EXPECT_EQ(ReadFile(sys::PathFromUtf8(target) / "sub" / "deeper" / "hidden.ini"), "new ini");
  EXPECT_EQ(ReadFile(sys::PathFromUtf8(target) / "extra.txt"), "extra");
}

TEST(MyCopyDir, EmptySourceCreatesOnlyTheTarget) {
  DiskScratch dir("cp");
  fs::create_directories(dir.path() / "empty");
  MyCopyDir(dir / "empty", dir / "a" + d + "b");
  EXPECT_TRUE(fs::is_directory(dir.path() / "a" / "b"));
  EXPECT_TRUE(fs::is_empty(dir.path() / "a" / "b"));
}

TEST(MyCopyDir, FolderFailuresNameTheFolderWithItsDelimiter) {
  DiskScratch dir("cp");
  fs::create_directories(dir.path() / "src");
  WriteFile(dir.path() / "blocker", "a file where a folder should go");
  const std::string missing = dir / "missing";
  EXPECT_EQ(MessageOf([&] { MyCopyDir(missing, dir / "t"); }),
            i18n::GetMessageText("uUpdate_MyCopyDir_1", missing + d));
  const std::string impossible = dir / "blocker" + d + "target";
  EXPECT_EQ(MessageOf([&] { MyCopyDir(dir / "src", impossible); }),
            i18n::GetMessageText("uUpdate_MyCopyDir_2", impossible + d));
  EXPECT_FALSE(fs::exists(dir.path() / "t"));
}

}  // namespace
}  // namespace tarnvel

namespace tarnvel {
namespace {

TEST(MyCopyDir, ReportsProgressFromNoneToAll) {
  testing::DiskScratch dir("progress");
  const std::string source = dir / "src";
  testing::WriteFile(sys::PathFromUtf8(source) / "db" / "TarnVel.fdb", std::string(3 << 20, 'd'));
  testing::WriteFile(sys::PathFromUtf8(source) / "TarnVel.exe", std::string(1000, 'e'));
  testing::WriteFile(sys::PathFromUtf8(source) / "empty.txt", "");
  std::vector<std::pair<std::uint64_t, std::uint64_t>> calls;
  MyCopyDir(source, dir / "dst",
            [&](std::uint64_t done, std::uint64_t total) { calls.emplace_back(done, total); });

  const std::uint64_t total = (3 << 20) + 1000;
  ASSERT_GE(calls.size(), 3u);  // the start, each file, the end
  EXPECT_EQ(calls.front(), std::make_pair(std::uint64_t(0), total));
  EXPECT_EQ(calls.back(), std::make_pair(total, total));
  for (std::size_t i = 1; i < calls.size(); ++i) {
    EXPECT_GE(calls[i].first, calls[i - 1].first);
    EXPECT_EQ(calls[i].second, total);
  }
  // Every file's bytes were counted before the end was reported.
  EXPECT_EQ(calls[calls.size() - 2].first, total);
}

}  // namespace
}  // namespace tarnvel
