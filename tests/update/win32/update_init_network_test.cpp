// Windows: a product folder on a network drive is refused. Wine reports a
// drive as remote only when its prefix says so before the server starts, so
// this case runs in a prefix of its own prepared by network_drive_test.sh
// (ctest: update_init_network_drive), which names the drive in
// TARNVEL_NETWORK_DRIVE.
#include <gtest/gtest.h>

#include <cstdlib>

#include "i18n/ldm.h"
#include "support/scripted_host.h"
#include "sysroutines/drive_type.h"
#include "sysroutines/file_system.h"
#include "update/update_context.h"

namespace tarnvel {
namespace {

TEST(UpdateInitNetworkDrive, FolderOnANetworkDriveIsNotLocal) {
  const char* drive = std::getenv("TARNVEL_NETWORK_DRIVE");
  if (drive == nullptr) GTEST_SKIP() << "runs in its own prefix (ctest update_init_network_drive)";
  const std::string root = std::string(drive) + "\\TarnVel";
  ASSERT_TRUE(sys::DirectoryExists(root)) << root;
  ASSERT_EQ(sys::GetDriveTypeOfPath(root), sys::kDriveRemote);
  testing::ScriptedHost host;
  try {
    UpdateInit(host, {"localhost/3051:", "TarnVel.fdb", "TarnVel.exe"}, root);
    ADD_FAILURE() << "a network drive passed for local";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), i18n::GetMessageText("uUpdate_UpdateInit_3", root));
  }
}

}  // namespace
}  // namespace tarnvel
