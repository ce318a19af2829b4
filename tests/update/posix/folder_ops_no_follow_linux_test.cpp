// Linux: MyRemoveDir against trees a hostile or careless machine leaves in
// a working folder: named pipes, sockets and devices, a file system mounted
// inside, a folder deeper than any path can name, more levels than the
// process may hold open, a folder above that may be passed but not read.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <set>

#include "support/failure_text.h"
#include "support/temp_dir.h"
#include "support/tree_links.h"
#include "update/folder_ops.h"

namespace tarnvel {
namespace {

using testing::FailureText;
using testing::ReadFile;
using testing::TempDir;
using testing::TreeSnapshot;
using testing::WriteFile;
namespace fs = std::filesystem;

constexpr const char* kNoFailure = "(no failure)";

// Runs Body in a child process and returns its exit code (or 128 + signal).
int InChild(const std::function<int()>& body) {
  const pid_t pid = fork();
  if (pid < 0) return -1;
  if (pid == 0) _exit(body());
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::set<int> OpenDescriptors() {
  std::set<int> descriptors;
  for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
    descriptors.insert(std::stoi(entry.path().filename().string()));
  }
  return descriptors;  // the listing's own descriptor is gone again, so not in two lists
}

// A chain of Depth folders "level" under Root, each holding f.txt, made by
// handles: such a chain is deeper than any path the system accepts.
bool MakeChain(const std::string& root, int depth) {
  int fd = open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  for (int level = 0; fd >= 0 && level < depth; ++level) {
    const int file = openat(fd, "f.txt", O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (file < 0 || mkdirat(fd, "level", 0755) != 0) {
      if (file >= 0) close(file);
      close(fd);
      return false;
    }
    close(file);
    const int next = openat(fd, "level", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    close(fd);
    fd = next;
  }
  if (fd < 0) return false;
  close(fd);
  return true;
}

TEST(MyRemoveDirLinux, PipesSocketsAndDevicesAreDeletedWithoutBeingOpened) {
  const bool root = geteuid() == 0;  // only root makes device nodes
  const struct {
    const char* what;
    std::function<void(const std::string& tmp)> build;
  } cases[] = {
      {"inside the tree",
       [root](const std::string& tmp) {
         fs::create_directories(tmp + "/New/sub");
         ASSERT_EQ(mkfifo((tmp + "/New/pipe").c_str(), 0600), 0);
         ASSERT_EQ(mknod((tmp + "/New/sub/socket").c_str(), S_IFSOCK | 0600, 0), 0);
         if (root) {
           ASSERT_EQ(mknod((tmp + "/New/sub/null").c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
         }
       }},
      // Opening a named pipe waits for a writer: a removal that did would hang.
      {"given as the folder itself", [](const std::string& tmp) { ASSERT_EQ(mkfifo(tmp.c_str(), 0600), 0); }},
  };
  for (const auto& c : cases) {
    TempDir dir("special");
    const std::string tmp = dir / "Tmp$";
    c.build(tmp);
    EXPECT_EQ(FailureText([&] { MyRemoveDir(tmp); }), kNoFailure) << c.what;
    EXPECT_FALSE(fs::exists(fs::symlink_status(tmp))) << c.what;
  }
}

// A file system mounted inside the tree, or a folder of the tree's own file
// system bound there (same device, a mount of its own), is not entered.
TEST(MyRemoveDirLinux, MountInsideTheTreeIsNeitherEnteredNorRemoved) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to mount";
  const struct {
    const char* what;
    std::function<int(const std::string& canary, const std::string& mountPoint)> mount;
  } cases[] = {
      {"a tmpfs",
       [](const std::string&, const std::string& mountPoint) {
         return mount("tarnvel-test", mountPoint.c_str(), "tmpfs", 0, "size=1m");
       }},
      {"a folder bound from beside the tree",
       [](const std::string& canary, const std::string& mountPoint) {
         return mount(canary.c_str(), mountPoint.c_str(), nullptr, MS_BIND, nullptr);
       }},
  };
  for (const auto& c : cases) {
    TempDir dir("mounted");
    const std::string canary = dir / "canary";
    fs::create_directories(canary);
    const std::string tmp = dir / "Tmp$";
    WriteFile(fs::path(tmp) / "New" / "files.exe", "payload");
    const std::string mountPoint = tmp + "/New/DB_Data";
    fs::create_directories(mountPoint);
    if (c.mount(canary, mountPoint) != 0) GTEST_SKIP() << "cannot mount " << c.what;
    WriteFile(fs::path(mountPoint) / "TarnVel.fdb", "database");
    const auto before = TreeSnapshot(mountPoint);
    const std::string failure = FailureText([&] { MyRemoveDir(tmp); });
    const auto after = TreeSnapshot(mountPoint);
    const bool payloadGone = !fs::exists(fs::path(tmp) / "New" / "files.exe");
    umount(mountPoint.c_str());
    EXPECT_EQ(failure, kNoFailure) << c.what;
    EXPECT_EQ(after, before) << c.what;
    EXPECT_TRUE(payloadGone) << c.what;
    // Once unmounted the folder is an ordinary one again.
    MyRemoveDir(tmp);
    EXPECT_FALSE(fs::exists(tmp)) << c.what;
  }
}

// Removal reaches each level through the one above, never by a path, so a
// chain of 2000 levels (12000 characters of path, three times what the
// system accepts) goes completely, and each level's handle is closed on the
// way back up.
TEST(MyRemoveDirLinux, ChainDeeperThanAnyPathIsRemovedAndNoHandleStaysOpen) {
  constexpr int kDepth = 2000;
  rlimit limit{};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &limit), 0);
  if (limit.rlim_max != RLIM_INFINITY && limit.rlim_max < kDepth + 100)
    GTEST_SKIP() << "the open-file limit cannot reach " << kDepth + 100;
  TempDir dir("deep");
  WriteFile(dir.path() / "canary" / "TarnVel.fdb", "database");
  const auto canary = TreeSnapshot(dir.path() / "canary");
  const std::string tmp = dir / "Tmp$";
  fs::create_directories(tmp);
  ASSERT_TRUE(MakeChain(tmp, kDepth));

  const int code = InChild([&] {
    // As much room as the chain needs, whatever the machine's default.
    rlimit room = limit;
    if (room.rlim_cur != RLIM_INFINITY && room.rlim_cur < kDepth + 100) room.rlim_cur = kDepth + 100;
    if (setrlimit(RLIMIT_NOFILE, &room) != 0) return 10;
    const auto before = OpenDescriptors();
    if (FailureText([&] { MyRemoveDir(tmp); }) != kNoFailure) return 11;
    if (OpenDescriptors() != before) return 12;
    return 0;
  });
  EXPECT_EQ(code, 0) << "10 no room, 11 the removal failed, 12 a handle stayed open";
  EXPECT_FALSE(fs::exists(tmp));
  EXPECT_EQ(TreeSnapshot(dir.path() / "canary"), canary);
}

// With fewer handles than levels the deepest levels stay, without an error
// and without a handle left open; the next removal with room finishes them.
TEST(MyRemoveDirLinux, ChainDeeperThanTheOpenFileLimitKeepsItsDeepestLevels) {
  constexpr int kDepth = 200;
  TempDir dir("nofiles");
  const std::string tmp = dir / "Tmp$";
  fs::create_directories(tmp);
  ASSERT_TRUE(MakeChain(tmp, kDepth));
  std::string deepest = tmp;
  for (int level = 1; level < kDepth; ++level) deepest += "/level";

  const int code = InChild([&] {
    const auto before = OpenDescriptors();
    // New handles take the lowest free numbers: this leaves at most some 40
    // more than are open now, far fewer than the levels.
    const rlim_t numbers = before.size() + 40;
    const rlimit tight{numbers, numbers};
    if (setrlimit(RLIMIT_NOFILE, &tight) != 0) return 10;
    if (FailureText([&] { MyRemoveDir(tmp); }) != kNoFailure) return 11;
    if (OpenDescriptors() != before) return 12;
    return 0;
  });
  EXPECT_EQ(code, 0) << "10 no limit set, 11 the removal failed, 12 a handle stayed open";
  EXPECT_FALSE(fs::exists(fs::path(tmp) / "f.txt"));  // the levels within reach were emptied
  EXPECT_TRUE(fs::exists(fs::path(deepest) / "f.txt"));
  MyRemoveDir(tmp);
  EXPECT_FALSE(fs::exists(tmp));
}

// A folder above Folder that the user may pass through but not list (mode
// -wx) still lets its entry be removed, as a removal by path would.
TEST(MyRemoveDirLinux, FolderAboveThatCannotBeListedStillLetsFolderGo) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to switch to another user";
  constexpr uid_t kNobody = 65534;
  TempDir dir("passable");
  const std::string product = dir / "TarnVel";
  const std::string tmp = product + "/Tmp$";
  WriteFile(fs::path(tmp) / "New" / "files.exe", "payload");
  for (const std::string& path : {tmp, tmp + "/New", tmp + "/New/files.exe"}) {
    ASSERT_EQ(chown(path.c_str(), kNobody, kNobody), 0);
  }
  ASSERT_EQ(chmod(product.c_str(), 0333), 0);
  const int code = InChild([&] {
    if (setgroups(0, nullptr) != 0 || setresgid(kNobody, kNobody, kNobody) != 0 ||
        setresuid(kNobody, kNobody, kNobody) != 0) {
      return 10;
    }
    return FailureText([&] { MyRemoveDir(tmp); }) == kNoFailure ? 0 : 11;
  });
  chmod(product.c_str(), 0755);
  EXPECT_EQ(code, 0) << "10 no user switch, 11 the removal failed";
  EXPECT_FALSE(fs::exists(tmp));
}

}  // namespace
}  // namespace tarnvel
