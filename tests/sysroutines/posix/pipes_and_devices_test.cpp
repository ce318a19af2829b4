// Linux: a named pipe, socket or device where a file is expected. Opening a
// pipe for reading waits for a writer, so a size query that opened it would
// never return (this test would hang until ctest's time-out).
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

#include "support/temp_dir.h"
#include "sysroutines/disk_space.h"
#include "sysroutines/file_system.h"

namespace tarnvel::sys {
namespace {

using testing::TempDir;

// A listening Unix socket bound to Path for the life of the object.
class BoundSocket {
 public:
  explicit BoundSocket(const std::string& path) : fd_(socket(AF_UNIX, SOCK_STREAM, 0)) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    bound_ = fd_ >= 0 && path.size() < sizeof address.sun_path &&
             (std::memcpy(address.sun_path, path.c_str(), path.size() + 1),
              bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0);
  }
  ~BoundSocket() {
    if (fd_ >= 0) close(fd_);
  }
  bool IsBound() const { return bound_; }

 private:
  int fd_;
  bool bound_ = false;
};

TEST(SpecialFilesLinux, HaveNoSizeAndAreNoFiles) {
  TempDir dir("special");
  const std::string pipe = dir / "pipe.fdb";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  // Relative to the test folder: a socket path must fit in 108 bytes.
  const auto before = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  BoundSocket socket("socket.fdb");
  std::filesystem::current_path(before);
  ASSERT_TRUE(socket.IsBound());
  for (const std::string& special :
       {pipe, dir / "socket.fdb", std::string("/dev/null"), std::string("/dev/zero")}) {
    EXPECT_EQ(GetFileSizeShifted(special, 0), -1) << special;
    EXPECT_FALSE(FileExists(special)) << special;
    try {
      CheckFreeSize(special, dir.str(), 2);
      ADD_FAILURE() << "passed for " << special;
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), "") << special;  // the caller's "cannot access the database file"
    }
  }
  // A link to a regular file is that file.
  testing::WriteFile(dir.path() / "db.fdb", "db");
  std::filesystem::create_symlink(dir.path() / "db.fdb", dir.path() / "link.fdb");
  EXPECT_TRUE(FileExists(dir / "link.fdb"));
  EXPECT_EQ(GetFileSizeShifted(dir / "link.fdb", 0), 2);
}

}  // namespace
}  // namespace tarnvel::sys
