// Linux: a program started by RunAndWait holds none of the updater's files.
// The updater's own log file is opened without O_CLOEXEC, like the file here.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "support/disk_child.h"
#include "support/temp_dir.h"
#include "sysroutines/file_copy.h"
#include "sysroutines/run_and_wait.h"

namespace tarnvel::sys {
namespace {

using testing::ReadFile;
using testing::TempDir;

class OpenFile {
 public:
  OpenFile(const std::string& path, int flags) : fd_(open(path.c_str(), flags | O_WRONLY | O_CREAT, 0600)) {}
  ~OpenFile() {
    if (fd_ >= 0) close(fd_);
  }
  int fd() const { return fd_; }

 private:
  int fd_;
};

TEST(RunAndWaitLinux, ProgramInheritsOnlyStandardInputOutputAndError) {
  TempDir dir("fds");
  const std::string child = dir / "child";
  ASSERT_TRUE(CopyFileWithAttributes(testing::TestChildPath(), child));
  const OpenFile log(dir / "Updater.log", 0);               // inheritable, as a plain open leaves it
  const OpenFile database(dir / "TarnVel.fdb", O_CLOEXEC);  // closed on exec anyway
  ASSERT_GE(log.fd(), 3);
  ASSERT_GE(database.fd(), 3);
  EXPECT_EQ(RunAndWait(child, " fds", kShowNormal), 3);
  EXPECT_EQ(ReadFile(dir.path() / "child_fds.txt"), "");
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "child_fds.txt"));
}

}  // namespace
}  // namespace tarnvel::sys
