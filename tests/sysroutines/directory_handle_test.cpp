// A folder held open is worked on through its handle: what happens to the
// names on the way to it afterwards (a rename, a link put in its place)
// changes nothing about what is entered or deleted.
#include "sysroutines/directory_handle.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"
#include "support/tree_links.h"
#include "sysroutines/file_system.h"
#include "sysroutines/paths.h"
#include "sysroutines/under_wine.h"

namespace tarnvel::sys {
namespace {

using testing::MakeSymbolicLink;
using testing::ReadFile;
using testing::TempDir;
using testing::TreeSnapshot;
using testing::WriteFile;
namespace fs = std::filesystem;

using Opened = DirectoryHandle::Opened;
const std::string d(1, kPathDelimiter);

TEST(DirectoryHandle, HeldFolderIsWorkedOnWhereverItWasMoved) {
  TempDir dir("held");
  WriteFile(dir.path() / "Tmp$" / "New" / "files.exe", "payload");
  std::string name;
  const DirectoryHandle tmp = DirectoryHandle::OpenParentOf(dir / "Tmp$" + d + "New", name);
  ASSERT_TRUE(tmp.IsOpen());
  ASSERT_EQ(name, "New");
  DirectoryHandle folder;
  ASSERT_EQ(tmp.OpenFolder("New", folder), Opened::kFolder);

  // The folder is moved away and another one takes its name.
  fs::rename(dir.path() / "Tmp$" / "New", dir.path() / "moved");
  WriteFile(dir.path() / "Tmp$" / "New" / "files.exe", "someone else's");

  DirectoryHandle fresh = std::move(folder);  // a handle keeps its folder when moved
  const auto entry = fresh.Next();
  ASSERT_TRUE(entry.has_value());
  EXPECT_EQ(entry->name, "files.exe");
  EXPECT_TRUE(fresh.RemoveEntry("files.exe"));
  EXPECT_EQ(ReadFile(dir.path() / "Tmp$" / "New" / "files.exe"), "someone else's");
  // Wine opens the right file but deletes it by its old path, and, finding
  // another file there, deletes nothing (while saying it did).
  if (!testing::RunsUnderWine()) {
    EXPECT_FALSE(fs::exists(dir.path() / "moved" / "files.exe"));
  }
}

TEST(DirectoryHandle, FolderSwappedForALinkAfterItWasListedIsNotEntered) {
  TempDir dir("swap");
  WriteFile(dir.path() / "canary" / "TarnVel.fdb", "database");
  fs::create_directories(dir.path() / "Tmp$" / "New");
  const auto canary = TreeSnapshot(dir.path() / "canary");
  std::string name;
  DirectoryHandle tmp = DirectoryHandle::OpenParentOf(dir / "Tmp$" + d + "New", name);
  ASSERT_TRUE(tmp.IsOpen());
  const auto listed = tmp.Next();
  ASSERT_TRUE(listed.has_value());
  ASSERT_EQ(listed->name, "New");
  ASSERT_EQ(listed->attributes & (kAttrDirectory | kAttrLink), kAttrDirectory);

  // Between the listing and the descent the folder becomes a link out.
  fs::rename(dir.path() / "Tmp$" / "New", dir.path() / "Tmp$" / "Old");
  if (!MakeSymbolicLink(dir.path() / "canary", dir.path() / "Tmp$" / "New", true)) {
    GTEST_SKIP() << "no symbolic links can be made here";
  }
  DirectoryHandle entered;
  EXPECT_EQ(tmp.OpenFolder("New", entered), Opened::kNotAFolder);
  EXPECT_FALSE(entered.IsOpen());
  EXPECT_TRUE(tmp.RemoveEntry("New"));
  EXPECT_FALSE(fs::exists(fs::symlink_status(dir.path() / "Tmp$" / "New")));
  EXPECT_EQ(TreeSnapshot(dir.path() / "canary"), canary);
}

TEST(DirectoryHandle, OpensOnlyFoldersAndRemovesOnlyWhatItIsAskedFor) {
  TempDir dir("names");
  WriteFile(dir.path() / "top" / "full" / "a.txt", "a");
  WriteFile(dir.path() / "top" / "file.txt", "f");
  WriteFile(dir.path() / "top" / "ro.dll", "r");
  fs::create_directories(dir.path() / "top" / "empty");
  SetFileAttributesOf(dir / "top" + d + "ro.dll", kAttrReadOnly | kAttrHidden);
  std::string name;
  const DirectoryHandle top = DirectoryHandle::OpenParentOf(dir / "top" + d + "x" + d, name);
  ASSERT_TRUE(top.IsOpen());
  ASSERT_EQ(name, "x");  // the trailing delimiter does not count

  const struct {
    const char* name;
    Opened opened;
  } opens[] = {
      {"full", Opened::kFolder},     {"file.txt", Opened::kNotAFolder},
      {"missing", Opened::kMissing}, {"", Opened::kFailed},
      {".", Opened::kFailed},        {"..", Opened::kFailed},
      {"full/..", Opened::kFailed},
  };
  for (const auto& c : opens) {
    DirectoryHandle folder;
    EXPECT_EQ(top.OpenFolder(c.name, folder), c.opened) << c.name;
    EXPECT_EQ(folder.IsOpen(), c.opened == Opened::kFolder) << c.name;
  }

  EXPECT_FALSE(top.RemoveEntry("empty"));  // a folder is no entry to delete
  EXPECT_FALSE(top.RemoveEntry(".."));
  EXPECT_FALSE(top.RemoveFolder("full"));  // not empty
  EXPECT_FALSE(top.RemoveFolder("file.txt"));
  EXPECT_TRUE(fs::is_directory(dir.path() / "top" / "empty"));
  EXPECT_TRUE(fs::exists(dir.path() / "top" / "full" / "a.txt"));
  EXPECT_TRUE(fs::exists(dir.path() / "top" / "file.txt"));

  EXPECT_TRUE(top.RemoveFolder("empty"));
  EXPECT_TRUE(top.RemoveEntry("file.txt"));
  EXPECT_TRUE(top.RemoveEntry("ro.dll"));  // read-only and hidden
  EXPECT_FALSE(fs::exists(dir.path() / "top" / "empty"));
  EXPECT_FALSE(fs::exists(dir.path() / "top" / "file.txt"));
  EXPECT_FALSE(fs::exists(dir.path() / "top" / "ro.dll"));
}

TEST(DirectoryHandle, ParentOfARootOrAMissingFolderHoldsNothing) {
  TempDir dir("parent");
  const std::string root = ExpandFullPath(dir.str()).substr(0, kPathDelimiter == '/' ? 1 : 3);
  for (const std::string& path : {root, dir / "missing" + d + "Tmp$", std::string()}) {
    std::string name;
    EXPECT_FALSE(DirectoryHandle::OpenParentOf(path, name).IsOpen()) << path;
  }
  // "." and ".." are resolved by name before the last name is taken.
  fs::create_directories(dir.path() / "a" / "b");
  std::string name;
  EXPECT_TRUE(DirectoryHandle::OpenParentOf(dir / "a" + d + "b" + d + "..", name).IsOpen());
  EXPECT_EQ(name, "a");
  EXPECT_TRUE(DirectoryHandle::OpenParentOf(dir / "a" + d + "b" + d + ".", name).IsOpen());
  EXPECT_EQ(name, "b");
}

}  // namespace
}  // namespace tarnvel::sys
