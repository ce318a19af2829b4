// Linux as root: the read-only case again, in a child process that has
// dropped to the user nobody (65534), for whom permission bits count.
#include <gtest/gtest.h>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "support/temp_dir.h"
#include "sysroutines/file_copy.h"
#include "sysroutines/file_system.h"
#include "sysroutines/force_copy_file.h"

namespace tarnvel::sys {
namespace {

constexpr uid_t kNobody = 65534;

// Exit codes of the child: what went wrong.
int CheckAsUser(const std::string& dir) {
  if (setgroups(0, nullptr) != 0 || setresgid(kNobody, kNobody, kNobody) != 0 ||
      setresuid(kNobody, kNobody, kNobody) != 0) {
    return 10;
  }
  const std::string source = dir + "/new.exe";
  const std::string target = dir + "/TarnVel.exe";
  testing::WriteFile(source, "new");
  testing::WriteFile(target, "old");
  if (!SetFileAttributesOf(target, kAttrReadOnly)) return 11;
  if (CopyFileWithAttributes(source, target)) return 12;  // read-only did not protect
  if (!ForceCopyFile(source, target)) return 13;
  if (testing::ReadFile(target) != "new") return 14;
  return 0;
}

TEST(ReadOnlyTargetAsUser, ForceCopyFileReplacesWhatAPlainCopyCannot) {
  if (geteuid() != 0) GTEST_SKIP() << "not root: ReadOnlyTarget covers this user directly";
  testing::TempDir dir("readonly-user");
  ASSERT_EQ(chown(dir.str().c_str(), kNobody, kNobody), 0);
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) _exit(CheckAsUser(dir.str()));
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "10 no user switch, 11 no read-only bit, 12 read-only not enforced, "
                                       "13 ForceCopyFile failed, 14 wrong content";
}

}  // namespace
}  // namespace tarnvel::sys
