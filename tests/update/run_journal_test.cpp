// The run journal: records a person can read and the program reads back
// exactly, an unfinished journal found, ended ones kept and pruned.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"
#include "sysroutines/paths.h"
#include "update/run_journal.h"

namespace tarnvel {
namespace {

using testing::TempDir;
namespace fs = std::filesystem;

TEST(RunJournal, RecordsReadBackExactly) {
  const std::vector<std::string> values = {
      "", "C:\\ZEK\\TarnVel", "/opt/ZEK/TarnVel", "quote \" and backslash \\", "line\r\nbreak\ttab",
      std::string("control \x01\x1f end"), "Кириллица и é", "{\"event\":\"run-ended\"}"};
  for (const std::string& value : values) {
    SCOPED_TRACE(value);
    const std::string line = JournalLine("working-folder", {{"path", value}});
    ASSERT_EQ(line.back(), '\n');
    EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1) << "one record, one line";
    const auto record = ParseJournalLine(line.substr(0, line.size() - 1));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->event, "working-folder");
    EXPECT_EQ(record->details.at("path"), value);
    EXPECT_FALSE(record->details.at("time").empty());
  }
}

TEST(RunJournal, ALineCutShortIsNotARecord) {
  const std::string line = JournalLine("service-stop", {{"note", "x"}});
  for (std::size_t cut = 0; cut + 1 < line.size(); ++cut) {
    EXPECT_FALSE(ParseJournalLine(line.substr(0, cut))) << line.substr(0, cut);
  }
}

TEST(RunJournal, AnUnfinishedJournalIsFoundAndAnEndedOneIsKeptAside) {
  TempDir dir("journal");
  const std::string state = dir / "state";
  EXPECT_FALSE(ReadUnfinishedJournal(state));
  {
    RunJournal journal(state, {{"folder", "/opt/ZEK/TarnVel"}});
    ASSERT_TRUE(journal.Record(journal::kDatabaseShutdown));
    ASSERT_TRUE(journal.Record(journal::kServiceStop));
  }  // killed here: nothing ends it
  const auto unfinished = ReadUnfinishedJournal(state);
  ASSERT_TRUE(unfinished);
  EXPECT_EQ(unfinished->Start("folder"), "/opt/ZEK/TarnVel");
  EXPECT_EQ(unfinished->LastEvent(), journal::kServiceStop);
  EXPECT_TRUE(unfinished->HasAfter(journal::kServiceStop, journal::kServiceStarted));

  RunJournal resumed(state, unfinished->path, true);
  ASSERT_TRUE(resumed.Record(journal::kServiceStarted));
  EXPECT_FALSE(ReadUnfinishedJournal(state)->HasAfter(journal::kServiceStop, journal::kServiceStarted));
  ASSERT_TRUE(resumed.End("recovered"));
  EXPECT_FALSE(ReadUnfinishedJournal(state));
  EXPECT_EQ(std::distance(fs::directory_iterator(sys::PathFromUtf8(dir / "state/ended")), fs::directory_iterator()), 1);
}

TEST(RunJournal, OnlyTheNewestEndedJournalsAreKept) {
  TempDir dir("journal");
  const std::string ended = dir / "state/ended";
  fs::create_directories(sys::PathFromUtf8(ended));
  for (int i = 0; i < RunJournal::kKeptEnded + 3; ++i)
    testing::WriteFile(sys::PathFromUtf8(ended) / ("2000010" + std::to_string(i % 10) + "-00000" + std::to_string(i / 10) + ".jsonl"), "{}\n");
  RunJournal journal(dir / "state", {});
  ASSERT_TRUE(journal.End("succeeded"));
  EXPECT_EQ(std::distance(fs::directory_iterator(sys::PathFromUtf8(ended)), fs::directory_iterator()),
            RunJournal::kKeptEnded);
}

TEST(RunJournal, AStateFolderThatCannotBeWrittenStopsTheRunBeforeItChangesAnything) {
  TempDir dir("journal");
  testing::WriteFile(sys::PathFromUtf8(dir / "state"), "a file where the folder should be");
  EXPECT_THROW(RunJournal(dir / "state", {}), std::runtime_error);
}

}  // namespace
}  // namespace tarnvel
