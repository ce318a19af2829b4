// File sizes in megabytes and the free-space check on the build tree's disk.
#include "sysroutines/disk_space.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "sysroutines/paths.h"

namespace tarnvel::sys {
namespace {

using testing::TempDir;
using testing::WriteFile;

TEST(GetFileSizeShifted, ShiftsTheSizeOrGivesMinusOne) {
  TempDir dir("size");
  const struct { std::size_t size; std::uint8_t shift; std::int32_t result; } cases[] = {
      {0, 20, 0}, {1572864, 20, 1}, {512000, 20, 0}, {1048576, 20, 1}, {3145727, 20, 2},
      {1000, 0, 1000}, {1000, 3, 125}, {1000, 64, 0},
  };
  for (const auto& c : cases) {
    const std::string file = dir / ("f" + std::to_string(c.size));
    WriteFile(PathFromUtf8(file), std::string(c.size, 'x'));
    EXPECT_EQ(GetFileSizeShifted(file, c.shift), c.result) << c.size << " >> " << int(c.shift);
  }
  EXPECT_EQ(GetFileSizeShifted(dir / "missing", 20), -1);
  EXPECT_EQ(GetFileSizeShifted(dir.str(), 0), -1);  // a folder is not a file
}

TEST(CheckFreeSize, SmallFileRequiresNothing) {
  TempDir dir("free");
  const std::string file = dir / "db.fdb";
  WriteFile(PathFromUtf8(file), std::string(500 * 1024, 'x'));  // 0 MB once rounded down
  int passes = 0;
  EXPECT_NO_THROW(CheckFreeSize(file, dir.str(), 2, [&] { ++passes; }));
  EXPECT_EQ(passes, 1);
  EXPECT_TRUE(TotalFreeBytes(dir.str()).has_value());
}

TEST(CheckFreeSize, UnreadableSizeOrDiskFailsInsteadOfPassing) {
  TempDir dir("free");
  const std::string file = dir / "db.fdb";
  WriteFile(PathFromUtf8(file), std::string(1000, 'x'));
  try {
    CheckFreeSize(dir / "missing.fdb", dir.str(), 2);
    ADD_FAILURE() << "a missing file passed the check";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "");  // the caller supplies its own text
  }
  const std::string noDisk = dir / "no-such-folder";
  try {
    CheckFreeSize(file, noDisk, 2);
    ADD_FAILURE() << "a failed free-space query passed the check";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to read the free space of the disk \"" + noDisk + "\"!");
  }
}

}  // namespace
}  // namespace tarnvel::sys
