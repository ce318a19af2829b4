// Linux: the folder operations against what a hostile or broken machine puts
// in their way: folders that cannot be listed, an empty path or a root to
// remove, links standing in a copy's target.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "i18n/ldm.h"
#include "support/temp_dir.h"
#include "update/folder_ops.h"

namespace tarnvel {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;
namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;

// Runs Body in a child process and returns its exit code (or 128 + signal).
int InChild(const std::function<int()>& body) {
  const pid_t pid = fork();
  if (pid < 0) return -1;
  if (pid == 0) _exit(body());
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

bool BecomeNobody() {
  return setgroups(0, nullptr) == 0 && setresgid(kNobody, kNobody, kNobody) == 0 &&
         setresuid(kNobody, kNobody, kNobody) == 0;
}

std::string CopyFailure(const std::string& source, const std::string& target) {
  try {
    MyCopyDir(source, target);
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "no failure";
}

// Root reads every folder whatever its mode bits: the copy runs as nobody.
TEST(MyCopyDirLinux, FolderThatCannotBeListedIsReportedNotCopiedAsEmpty) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to switch to another user";
  const struct {
    const char* locked;  // relative to the source; "" is the source itself
  } cases[] = {{"DB_Data"}, {"DB_Data/deeper"}, {""}};
  for (const auto& c : cases) {
    TempDir dir("unlisted");
    const std::string source = dir / "Program";
    WriteFile(fs::path(source) / "TarnVel.exe", "exe");
    WriteFile(fs::path(source) / "DB_Data" / "TarnVel.fdb", "database");
    WriteFile(fs::path(source) / "DB_Data" / "deeper" / "extra.dat", "extra");
    const std::string locked = source + (*c.locked ? "/" + std::string(c.locked) : "");
    ASSERT_EQ(chown(dir.str().c_str(), kNobody, kNobody), 0);
    ASSERT_EQ(chmod(locked.c_str(), 0), 0);
    const std::string target = dir / "Old";
    const std::string expected = i18n::GetMessageText("uUpdate_MyCopyDir_3", target + "/", locked + "/");
    const int code = InChild([&] {
      if (!BecomeNobody()) return 10;
      return CopyFailure(source, target) == expected ? 0 : 11;
    });
    EXPECT_EQ(code, 0) << c.locked << ": 10 no user switch, 11 the unlisted folder was not reported alone";
    chmod(locked.c_str(), 0755);
    // What could be listed was copied.
    if (*c.locked) {
      EXPECT_EQ(ReadFile(fs::path(target) / "TarnVel.exe"), "exe") << c.locked;
    }
  }
}

// Every refusal runs inside a chroot of a scratch folder: were it not
// refused, only that folder could be emptied, never the machine's root.
TEST(MyRemoveDirLinux, EmptyPathAndRootsAreRefusedBeforeAnythingIsDeleted) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root for chroot";
  TempDir dir("jail");
  WriteFile(dir.path() / "sentinel.txt", "still here");
  WriteFile(dir.path() / "sub" / "sentinel.txt", "still here");
  fs::create_directory_symlink("/", dir.path() / "toroot");
  const char* folders[] = {"", "/", "//", "/.", "/sub/..", "/toroot", "/toroot/", "sub/../.."};
  std::vector<std::string> expected;
  for (const char* folder : folders) {
    expected.push_back(i18n::GetMessageText("uUpdate_MyRemoveDir_1", *folder ? folder : "\"\""));
  }
  const int code = InChild([&] {
    if (chroot(dir.str().c_str()) != 0 || chdir("/") != 0) return 100;
    for (std::size_t i = 0; i < std::size(folders); ++i) {
      try {
        MyRemoveDir(folders[i]);
        return 10 + static_cast<int>(i);
      } catch (const std::runtime_error& e) {
        if (e.what() != expected[i]) return 30 + static_cast<int>(i);
      }
      if (ReadFile("/sentinel.txt") != "still here" || ReadFile("/sub/sentinel.txt") != "still here") {
        return 50 + static_cast<int>(i);
      }
    }
    return 0;
  });
  EXPECT_EQ(code, 0)
      << "100 no chroot; 10+i case i was not refused, 30+i wrong message, 50+i deleted something";
  EXPECT_EQ(ReadFile(dir.path() / "sentinel.txt"), "still here");
  EXPECT_EQ(ReadFile(dir.path() / "sub" / "sentinel.txt"), "still here");
}

TEST(MyRemoveDirLinux, MountPointIsRefusedAsTheRootOfItsFileSystem) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to mount";
  TempDir dir("mnt");
  const std::string mountPoint = dir / "DB_Data";
  fs::create_directories(mountPoint);
  if (mount("tarnvel-test", mountPoint.c_str(), "tmpfs", 0, "size=1m") != 0)
    GTEST_SKIP() << "cannot mount tmpfs";
  WriteFile(fs::path(mountPoint) / "TarnVel.fdb", "database");
  std::string message;
  try {
    MyRemoveDir(mountPoint);
  } catch (const std::runtime_error& e) {
    message = e.what();
  }
  const std::string left = ReadFile(fs::path(mountPoint) / "TarnVel.fdb");
  umount(mountPoint.c_str());
  EXPECT_EQ(message, i18n::GetMessageText("uUpdate_MyRemoveDir_1", mountPoint));
  EXPECT_EQ(left, "database");
}

TEST(MyCopyDirLinux, LinkInTheTargetIsReplacedNotWrittenThrough) {
  TempDir dir("tlink");
  const std::string source = dir / "Program";
  WriteFile(fs::path(source) / "TarnVel.exe", "new client");
  WriteFile(fs::path(source) / "sub" / "lib.so", "new lib");
  WriteFile(dir.path() / "outside" / "victim.txt", "keep me");
  const std::string target = dir / "Old";
  fs::create_directories(fs::path(target) / "sub");
  fs::create_symlink(dir.path() / "outside" / "victim.txt", fs::path(target) / "TarnVel.exe");
  fs::create_symlink(dir.path() / "outside" / "planted.so", fs::path(target) / "sub" / "lib.so");
  // A folder of the source that is a link to a folder outside in the target.
  WriteFile(fs::path(source) / "plugins" / "plugin.so", "new plugin");
  fs::create_directories(dir.path() / "outside" / "plugins");
  fs::create_directory_symlink(dir.path() / "outside" / "plugins", fs::path(target) / "plugins");
  EXPECT_NO_THROW(MyCopyDir(source, target));
  EXPECT_TRUE(fs::is_empty(dir.path() / "outside" / "plugins"));
  EXPECT_FALSE(fs::is_symlink(fs::path(target) / "plugins"));
  EXPECT_EQ(ReadFile(fs::path(target) / "plugins" / "plugin.so"), "new plugin");
  EXPECT_EQ(ReadFile(dir.path() / "outside" / "victim.txt"), "keep me");
  EXPECT_FALSE(fs::exists(dir.path() / "outside" / "planted.so"));
  EXPECT_FALSE(fs::is_symlink(fs::path(target) / "TarnVel.exe"));
  EXPECT_EQ(ReadFile(fs::path(target) / "TarnVel.exe"), "new client");
  EXPECT_EQ(ReadFile(fs::path(target) / "sub" / "lib.so"), "new lib");
}

}  // namespace
}  // namespace tarnvel
