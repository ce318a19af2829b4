// Linux: only regular files count as the installed parts; a named pipe or a
// socket named like the database file or the client is no part.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "support/scripted_host.h"
#include "support/temp_dir.h"
#include "update/update_context.h"

namespace tarnvel {
namespace {

using testing::ScriptedHost;
using testing::TempDir;

const ProductNames kNames{"localhost/3051:", "TarnVel.fdb", "TarnVel.exe"};

TEST(UpdateInitLinux, SpecialFilesAreNoParts) {
  TempDir dir("ctx");
  std::filesystem::create_directories(dir.path() / "Program");
  std::filesystem::create_directories(dir.path() / "DB_Data");
  ASSERT_EQ(mkfifo((dir / "DB_Data/TarnVel.fdb").c_str(), 0600), 0);
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strcpy(address.sun_path, "TarnVel.exe");  // relative: a socket path must fit in 108 bytes
  const auto before = std::filesystem::current_path();
  std::filesystem::current_path(dir.path() / "Program");
  const int bound = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  std::filesystem::current_path(before);
  ASSERT_EQ(bound, 0);
  ScriptedHost host;
  UpdateInit(host, kNames, dir.str());
  close(fd);
  EXPECT_FALSE(CurrentUpdateContext().ServerFound);
  EXPECT_FALSE(CurrentUpdateContext().ClientFound);
}

}  // namespace
}  // namespace tarnvel
