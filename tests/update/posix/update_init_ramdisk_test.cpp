// Linux: a product folder on a RAM disk (a real tmpfs mounted under the build
// tree; needs root, as in CI) is refused as not local.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include "i18n/ldm.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"
#include "update/update_context.h"

namespace tarnvel {
namespace {

TEST(UpdateInitLinux, RamDiskIsNotLocal) {
  if (geteuid() != 0) GTEST_SKIP() << "mounting a tmpfs needs root";
  testing::TempDir dir("ramdisk");
  ASSERT_EQ(mount("tarnvel-test", dir.str().c_str(), "tmpfs", 0, "size=1m"), 0);
  struct Unmount {
    std::string path;
    ~Unmount() { umount2(path.c_str(), MNT_DETACH); }
  } unmount{dir.str()};
  testing::WriteFile(dir.path() / "TarnVel" / "Program" / "TarnVel.exe", "exe");
  testing::ScriptedHost host;
  const std::string root = dir / "TarnVel";
  try {
    UpdateInit(host, {"localhost/3051:", "TarnVel.fdb", "TarnVel.exe"}, root);
    ADD_FAILURE() << "a RAM disk passed for local";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), i18n::GetMessageText("uUpdate_UpdateInit_3", root));
  }
  // The same tree on the build tree's disk passes.
  testing::TempDir local("local");
  testing::WriteFile(local.path() / "Program" / "TarnVel.exe", "exe");
  EXPECT_NO_THROW(UpdateInit(host, {"localhost/3051:", "TarnVel.fdb", "TarnVel.exe"}, local.str()));
}

}  // namespace
}  // namespace tarnvel
