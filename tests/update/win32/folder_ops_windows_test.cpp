// Windows cases of the folder operations with a file held open by a real
// child process with no sharing: it can be neither deleted nor read.
#include <gtest/gtest.h>

#include <filesystem>

#include "i18n/ldm.h"
#include "support/disk_child.h"
#include "support/temp_dir.h"
#include "sysroutines/paths.h"
#include "update/folder_ops.h"

namespace tarnvel {
namespace {

using testing::HeldFile;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;
namespace fs = std::filesystem;

TEST(MyRemoveDirWindows, FileHeldOpenStopsTheRemovalNamingIt) {
  TempDir dir("rmheld");
  const std::string root = dir / "Tmp$";
  const std::string held = root + "\\New\\TarnVel.exe";
  WriteFile(sys::PathFromUtf8(held), "exe");
  WriteFile(sys::PathFromUtf8(root + "\\Old\\a.txt"), "a");
  HeldFile holder(held, dir.str());
  ASSERT_TRUE(holder.IsHeld());
  try {
    MyRemoveDir(root);
    ADD_FAILURE() << "removal went on";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), i18n::GetMessageText("uUpdate_MyRemoveDir_1", held));
  }
  EXPECT_TRUE(fs::exists(sys::PathFromUtf8(held)));
}

TEST(MyCopyDirWindows, SourceLockedAgainstReadingIsReportedAfterTheRest) {
  TempDir dir("cpheld");
  const std::string source = dir / "Program";
  const std::string target = dir / "Old";
  WriteFile(sys::PathFromUtf8(source + "\\TarnVel.exe"), "exe");
  WriteFile(sys::PathFromUtf8(source + "\\sub\\b.dll"), "b");
  HeldFile holder(source + "\\TarnVel.exe", dir.str());
  ASSERT_TRUE(holder.IsHeld());
  try {
    MyCopyDir(source, target);
    ADD_FAILURE() << "an incomplete copy passed for complete";
  } catch (const std::runtime_error& e) {
    // The file, with the system's reason: another program holds it.
    EXPECT_EQ(
        std::string(e.what()),
        i18n::GetMessageText("uUpdate_MyCopyDir_3", target + "\\",
                             source + "\\TarnVel.exe: " + i18n::GetMessageText("uUpdate_SystemError_1")));
  }
  EXPECT_EQ(ReadFile(sys::PathFromUtf8(target + "\\sub\\b.dll")), "b");
  EXPECT_FALSE(fs::exists(sys::PathFromUtf8(target + "\\TarnVel.exe")));
}

TEST(MyCopyDirWindows, TargetOnADriveThatDoesNotExist) {
  TempDir dir("cpdrive");
  fs::create_directories(dir.path() / "src");
  try {
    MyCopyDir(dir / "src", "Q:\\Backup");
    ADD_FAILURE() << "copied to a missing drive";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), i18n::GetMessageText("uUpdate_MyCopyDir_2", "Q:\\Backup\\"));
  }
}

}  // namespace
}  // namespace tarnvel
