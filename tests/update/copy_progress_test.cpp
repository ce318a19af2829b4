// Copy progress reaches the host at most every 100 ms, and always at the end.
#include "update/copy_progress.h"

#include <gtest/gtest.h>

#include "support/scripted_host.h"

namespace tarnvel {
namespace {

using namespace std::chrono_literals;

TEST(CopyProgressReporter, ThrottlesToTenASecondAndAlwaysReportsTheEnd) {
  testing::ScriptedHost host;
  std::chrono::steady_clock::time_point now{};
  CopyProgressReporter report(host, "from", "to", [&] { return now; });
  const struct {
    std::chrono::milliseconds at;
    std::uint64_t done;
    bool shown;
  } steps[] = {{0ms, 0, true},    {40ms, 10, false},  {99ms, 20, false},
               {100ms, 30, true}, {150ms, 40, false}, {160ms, 100, true},  // the end, however soon
               {170ms, 100, true}};
  std::size_t shown = 0;
  for (const auto& step : steps) {
    now = std::chrono::steady_clock::time_point{} + step.at;
    report(step.done, 100);
    if (step.shown) ++shown;
    ASSERT_EQ(host.progress.size(), shown) << step.at.count() << " ms";
    EXPECT_EQ(host.progress.back().bytesDone, step.shown ? step.done : host.progress.back().bytesDone);
  }
  EXPECT_EQ(host.progress.back().source, "from");
  EXPECT_EQ(host.progress.back().target, "to");
  EXPECT_EQ(host.progress.back().bytesTotal, 100u);
}

}  // namespace
}  // namespace tarnvel
