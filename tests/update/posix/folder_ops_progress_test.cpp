// Progress inside one large file: the backup of a database of gigabytes must
// not look stuck while that single file is copied.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/disk_scratch.h"
#include "sysroutines/paths.h"
#include "update/folder_ops.h"

namespace tarnvel {
namespace {

TEST(MyCopyDirProgress, StepsThroughALargeFile) {
  testing::DiskScratch dir("bigprogress");
  const std::uint64_t big = std::uint64_t(80) << 20;
  testing::WriteFile(sys::PathFromUtf8(dir / "src") / "TarnVel.fdb", std::string(big, 'd'));
  std::vector<std::uint64_t> done;
  MyCopyDir(dir / "src", dir / "dst", [&](std::uint64_t bytes, std::uint64_t) { done.push_back(bytes); });
  int inside = 0;
  for (std::uint64_t bytes : done) inside += bytes > 0 && bytes < big;
  EXPECT_GE(inside, 2) << "no progress while the large file was copied";
  EXPECT_EQ(done.back(), big);
}

}  // namespace
}  // namespace tarnvel
