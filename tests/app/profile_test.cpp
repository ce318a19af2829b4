#include "app/profile.h"

#include <gtest/gtest.h>

#include "sysroutines/paths.h"

namespace tarnvel {
namespace {

TEST(Profile, TarnVelValuesAndPresets) {
  const ProjectProfile p = TarnVelProfile();
  EXPECT_EQ(p.DatabaseFileName, "TarnVel.fdb");
  EXPECT_EQ(p.ClientExeName, "TarnVel.exe");
  EXPECT_EQ(p.ConnectionPrefix, "localhost/3051:");
  EXPECT_EQ(p.FreeSpaceFactor, 2);
  EXPECT_EQ(p.ProjectKey, "Tarnvel");
  const InputPresets presets = TarnVelPresets();
  EXPECT_EQ(presets.Password, "kelpdromux");
  ASSERT_EQ(presets.AdmnPassword.size(), 1u);
  EXPECT_TRUE(presets.AdmnPassword[0] >= '0' && presets.AdmnPassword[0] <= '9');
  if (sys::kPathDelimiter == '\\') {
    EXPECT_EQ(p.ClientLibrary, "fbclient.dll");
    EXPECT_EQ(presets.ProgramLocation, "C:\\ZEK\\TarnVel");
  } else {
    EXPECT_EQ(p.ClientLibrary, "libfbclient.so.2");
    EXPECT_EQ(presets.ProgramLocation, "/opt/ZEK/TarnVel");
  }
}

}  // namespace
}  // namespace tarnvel
