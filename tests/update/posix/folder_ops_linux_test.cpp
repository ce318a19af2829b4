// Linux cases of the folder operations: an undeletable file (immutable flag,
// as root) or folder, links pointing out of the tree, a file that cannot be
// copied (a named pipe).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "i18n/ldm.h"
#include "support/temp_dir.h"
#include "update/folder_ops.h"

namespace tarnvel {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;
namespace fs = std::filesystem;

// chattr +i for the life of the object; root ignores permission bits, not this flag.
class Immutable {
 public:
  explicit Immutable(const std::string& path) : path_(path) {
    set_ = std::system(("chattr +i '" + path_ + "'").c_str()) == 0;
  }
  ~Immutable() {
    if (set_) (void)std::system(("chattr -i '" + path_ + "'").c_str());
  }
  bool IsSet() const { return set_; }

 private:
  std::string path_;
  bool set_ = false;
};

TEST(MyRemoveDirLinux, UndeletableFileStopsTheRemovalNamingIt) {
  if (geteuid() != 0) GTEST_SKIP() << "chattr needs root";
  TempDir dir("rmi");
  const std::string root = dir / "Tmp$";
  WriteFile(fs::path(root) / "a" / "locked.fdb", "db");
  WriteFile(fs::path(root) / "a" / "b" / "other.txt", "x");
  const std::string locked = root + "/a/locked.fdb";
  Immutable guard(locked);
  ASSERT_TRUE(guard.IsSet());
  try {
    MyRemoveDir(root);
    ADD_FAILURE() << "removal went on";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), i18n::GetMessageText("uUpdate_MyRemoveDir_1", locked));
  }
  EXPECT_TRUE(fs::exists(locked));
}

TEST(MyRemoveDirLinux, FolderThatCannotBeRemovedIsLeftSilently) {
  if (geteuid() != 0) GTEST_SKIP() << "chattr needs root";
  TempDir dir("rmi");
  const std::string root = dir / "Tmp$";
  fs::create_directories(fs::path(root) / "New" / "stuck");
  WriteFile(fs::path(root) / "New" / "files.exe", "x");
  WriteFile(fs::path(root) / "Old" / "a.txt", "x");
  Immutable guard(root + "/New/stuck");
  ASSERT_TRUE(guard.IsSet());
  EXPECT_NO_THROW(MyRemoveDir(root));
  EXPECT_TRUE(fs::exists(fs::path(root) / "New" / "stuck"));
  EXPECT_FALSE(fs::exists(fs::path(root) / "New" / "files.exe"));
  EXPECT_FALSE(fs::exists(fs::path(root) / "Old"));
}

TEST(FolderOpsLinux, LinksAreHandledAsLinksNeverEntered) {
  TempDir dir("links");
  const std::string outside = dir / "outside";
  WriteFile(fs::path(outside) / "precious.txt", "keep me");
  const std::string root = dir / "Program";
  WriteFile(fs::path(root) / "TarnVel.exe", "exe");
  fs::create_directory_symlink(outside, fs::path(root) / "dirlink");
  fs::create_symlink(fs::path(outside) / "precious.txt", fs::path(root) / "filelink");
  fs::create_symlink("nowhere", fs::path(root) / "dangling");

  const std::string copy = dir / "Old" + "/Program";
  EXPECT_NO_THROW(MyCopyDir(root, copy));
  EXPECT_TRUE(fs::is_symlink(fs::path(copy) / "dirlink"));
  EXPECT_EQ(fs::read_symlink(fs::path(copy) / "dirlink"), fs::path(outside));
  EXPECT_TRUE(fs::is_symlink(fs::path(copy) / "filelink"));
  EXPECT_EQ(fs::read_symlink(fs::path(copy) / "dangling"), fs::path("nowhere"));

  MyRemoveDir(root);
  MyRemoveDir(copy);
  EXPECT_FALSE(fs::exists(fs::path(root)));
  EXPECT_FALSE(fs::exists(fs::path(copy)));
  EXPECT_EQ(ReadFile(fs::path(outside) / "precious.txt"), "keep me");
}

TEST(MyCopyDirLinux, FilesThatCannotBeCopiedAreReportedAfterTheRest) {
  TempDir dir("skip");
  const std::string source = dir / "DB_Data";
  WriteFile(fs::path(source) / "a.txt", "a");
  WriteFile(fs::path(source) / "sub" / "z.txt", "z");
  ASSERT_EQ(mkfifo((source + "/pipe").c_str(), 0600), 0);
  ASSERT_EQ(mkfifo((source + "/sub/pipe2").c_str(), 0600), 0);
  const std::string target = dir / "Old";
  try {
    MyCopyDir(source, target);
    ADD_FAILURE() << "an incomplete copy passed for complete";
  } catch (const std::runtime_error& e) {
    const std::string message = e.what();
    const std::string head = i18n::GetMessageText("uUpdate_MyCopyDir_3", target + "/", "");
    EXPECT_EQ(message.substr(0, head.size()), head) << message;
    const std::string list = message.substr(head.size());
    EXPECT_TRUE(list == source + "/pipe\r\n" + source + "/sub/pipe2" || list == source + "/sub/pipe2\r\n" + source + "/pipe")
        << list;
  }
  // Everything else was copied.
  EXPECT_EQ(ReadFile(fs::path(target) / "a.txt"), "a");
  EXPECT_EQ(ReadFile(fs::path(target) / "sub" / "z.txt"), "z");
}

}  // namespace
}  // namespace tarnvel
