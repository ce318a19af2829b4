// The run log: memo lines and log-file records, the file name, a second start.
#include "app/run_log.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "sysroutines/paths.h"

namespace tarnvel {
namespace {

using testing::ReadFile;
using testing::TempDir;

const sys::LocalDateTime kWhen{2026, 1, 1, 0, 0, 5};

std::string Stamp() { return sys::FormatShortDate(kWhen) + " - " + sys::FormatLongTime(kWhen) + ": "; }

TEST(LogFileName, TwoDigitsForEveryPart) {
  const std::string d(1, sys::kPathDelimiter);
  EXPECT_EQ(LogFileName("D:" + d + "Tools", {2026, 3, 5, 14, 7, 9}),
            "D:" + d + "Tools" + d + "Logs" + d + "050326-140709_Updater.log");
  EXPECT_EQ(LogFileName("X", kWhen), "X" + d + "Logs" + d + "010126-000005_Updater.log");
  EXPECT_EQ(LogFileName("X", {1999, 12, 31, 23, 59, 59}), "X" + d + "Logs" + d + "311299-235959_Updater.log");
}

TEST(SplitLines, AtCrLfLoneCrAndLoneLf) {
  EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines("one"), (std::vector<std::string>{"one"}));
  EXPECT_EQ(SplitLines("a\r\n\r\nb"), (std::vector<std::string>{"a", "", "b"}));
}

TEST(RunLog, ThreeLineEntryInFileAndMemo) {
  TempDir dir("runlog");
  std::vector<std::string> memo;
  RunLog log = RunLog::BesideExecutable(
      dir.str(), [&](const std::string& line) { memo.push_back(line); }, [] { return kWhen; });
  EXPECT_EQ(log.FileName(), LogFileName(dir.str(), kWhen));
  EXPECT_EQ(ReadFile(sys::PathFromUtf8(log.FileName())), "");

  log.SaveExceptionToLog("first\r\nsecond\nthird");
  log.SaveExceptionToLog("next");

  EXPECT_EQ(memo, (std::vector<std::string>{Stamp() + "first", "\tsecond", "\tthird", Stamp() + "next"}));
  EXPECT_EQ(ReadFile(sys::PathFromUtf8(log.FileName())),
            "\r" + Stamp() + "first\r\nsecond\nthird\r\n" + "\r" + Stamp() + "next\r\n");
}

TEST(RunLog, SecondStartInTheSameSecondKeepsTheFirstRecords) {
  TempDir dir("runlog2");
  auto ignore = [](const std::string&) {};
  auto clock = [] { return kWhen; };
  RunLog::BesideExecutable(dir.str(), ignore, clock).SaveExceptionToLog("first start");
  RunLog second = RunLog::BesideExecutable(dir.str(), ignore, clock);
  second.SaveExceptionToLog("second start");
  EXPECT_EQ(ReadFile(sys::PathFromUtf8(second.FileName())),
            "\r" + Stamp() + "first start\r\n\r" + Stamp() + "second start\r\n");
}

TEST(RunLog, UnwritableFileRaisesAfterTheMemoEntry) {
  TempDir dir("runlog3");
  std::vector<std::string> memo;
  // The log file's name is taken by a folder: it can be neither created nor appended to.
  std::filesystem::create_directories(sys::PathFromUtf8(LogFileName(dir.str(), kWhen)));
  EXPECT_THROW(RunLog::BesideExecutable(dir.str(), [](const std::string&) {}, [] { return kWhen; }),
               std::runtime_error);
  RunLog log(LogFileName(dir.str(), kWhen), [&](const std::string& line) { memo.push_back(line); },
             [] { return kWhen; });
  EXPECT_THROW(log.SaveExceptionToLog("lost"), std::runtime_error);
  EXPECT_EQ(memo, (std::vector<std::string>{Stamp() + "lost"}));
}

}  // namespace
}  // namespace tarnvel
