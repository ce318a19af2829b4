// The size is read with no sharing allowed: a file another process holds
// open cannot be measured, and the free-space check then fails.
#include <gtest/gtest.h>

#include "support/disk_child.h"
#include "support/temp_dir.h"
#include "sysroutines/disk_space.h"
#include "sysroutines/paths.h"

namespace tarnvel::sys {
namespace {

TEST(ExclusiveFileSize, HeldFileCannotBeMeasured) {
  testing::TempDir dir("held");
  const std::string file = dir / "db.fdb";
  testing::WriteFile(PathFromUtf8(file), std::string(3 << 20, 'x'));
  EXPECT_EQ(GetFileSizeShifted(file, 20), 3);
  {
    testing::HeldFile held(file, dir.str());
    ASSERT_TRUE(held.IsHeld());
    EXPECT_EQ(GetFileSizeShifted(file, 20), -1);
    EXPECT_THROW(CheckFreeSize(file, dir.str(), 2), std::runtime_error);
  }
  EXPECT_EQ(GetFileSizeShifted(file, 20), 3);
}

TEST(ExclusiveFileSize, DevicesHaveNoSize) {
  testing::TempDir dir("device");
  for (const std::string& device : {std::string("NUL"), std::string("CON"), dir / "NUL"}) {
    EXPECT_EQ(GetFileSizeShifted(device, 0), -1) << device;
  }
}

}  // namespace
}  // namespace tarnvel::sys
