// The place of a report: which paths name one, what stands there, whether it
// lies in a folder, and a write that replaces only as a whole, only in the
// folder that was opened, and never onto something it did not create.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "support/temp_dir.h"
#include "support/test_environment.h"
#include "sysroutines/paths.h"
#include "sysroutines/report_file.h"

namespace tarnvel::sys {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;
namespace fs = std::filesystem;

const bool kWindows = kPathDelimiter == '\\';
const std::string kSep(1, kPathDelimiter);

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(PathFromUtf8(folder)))
    names.push_back(PathToUtf8(entry.path().filename()));
  std::sort(names.begin(), names.end());
  return names;
}

TEST(ReportFilePlace, APathThatNamesNoFileOrLiesInNoFolderIsTold) {
  TempDir dir("report-place");
  WriteFile(PathFromUtf8(dir / "notes.txt"), "the operator's notes");
  using State = ReportFilePlace::State;
  const struct {
    const char* name;
    std::string path;
    State state;
    bool windowsOnly;
  } cases[] = {
      {"nothing", "", State::NotAFileName, false},
      {"a folder with its delimiter", dir.str() + kSep, State::NotAFileName, false},
      {"a folder as .", dir / ".", State::NotAFileName, false},
      {"a folder as ..", dir / "..", State::NotAFileName, false},
      {"a missing folder", dir / "missing" + kSep + "r.json", State::NoFolder, false},
      {"a file taken for a folder", dir / "notes.txt" + kSep + "r.json", State::NoFolder, false},
      {"a new file", dir / "r.json", State::Open, false},
      {"a stream of a file", dir / "notes.txt:report", State::NotAFileName, true},
      {"a device", "NUL", State::NotAFileName, true},
  };
  for (const auto& c : cases) {
    if (c.windowsOnly && !kWindows) continue;
    SCOPED_TRACE(c.name);
    const ReportFilePlace place(c.path);
    EXPECT_EQ(place.state(), c.state);
  }
  EXPECT_EQ(ReadFile(PathFromUtf8(dir / "notes.txt")), "the operator's notes");
  EXPECT_EQ(Names(dir.str()), std::vector<std::string>{"notes.txt"});
}

TEST(ReportFilePlace, WhatStandsAtTheNameAndTheHeadOfAFile) {
  TempDir dir("report-place");
  WriteFile(PathFromUtf8(dir / "report.json"), "{\n  \"report\": 1}\n");
  fs::create_directories(PathFromUtf8(dir / "folder.json"));
  const struct {
    const char* name;
    EntryKind kind;
    std::string head;  // its first 8 bytes
  } cases[] = {
      {"new.json", EntryKind::Nothing, ""},
      {"report.json", EntryKind::File, "{\n  \"rep"},
      {"folder.json", EntryKind::Folder, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const ReportFilePlace place(dir / c.name);
    EXPECT_EQ(place.Kind(), c.kind);
    EXPECT_EQ(place.ReadHead(8), c.head);
  }
  EXPECT_EQ(ReportFilePlace(dir / "report.json").ReadHead(100), "{\n  \"report\": 1}\n") << "a short file";
}

TEST(ReportFilePlace, AWriteReplacesAsAWholeAndLeavesNothingBeside) {
  TempDir dir("report-place");
  const std::string report = dir / "report.json";
  const ReportFilePlace place(report);
  ASSERT_TRUE(place.Write("first"));
  EXPECT_EQ(ReadFile(PathFromUtf8(report)), "first");
  ASSERT_TRUE(place.Write("second, longer than the first"));
  EXPECT_EQ(ReadFile(PathFromUtf8(report)), "second, longer than the first");
  EXPECT_EQ(Names(dir.str()), std::vector<std::string>{"report.json"});

  // Whatever else stands in the way stays as it was, and nothing is left.
  const std::string temporary = report + ".tmp-" + std::to_string(testing::TestProcessId());
  WriteFile(PathFromUtf8(temporary), "someone else's file");
  EXPECT_FALSE(place.Write("third")) << "the temporary name was taken";
  EXPECT_EQ(ReadFile(PathFromUtf8(temporary)), "someone else's file");
  EXPECT_EQ(ReadFile(PathFromUtf8(report)), "second, longer than the first");
  fs::remove(PathFromUtf8(temporary));

  const std::string folder = dir / "folder.json";
  WriteFile(PathFromUtf8(folder + kSep + "inside.txt"), "kept");
  EXPECT_FALSE(ReportFilePlace(folder).Write("report"));
  EXPECT_EQ(ReadFile(PathFromUtf8(folder + kSep + "inside.txt")), "kept");
  EXPECT_EQ(Names(dir.str()), (std::vector<std::string>{"folder.json", "report.json"}));
}

TEST(ReportFilePlace, TheFileGoesIntoTheFolderThatWasOpened) {
  // Once opened, the folder is the report's whatever becomes of its path:
  // Linux follows the folder where it was moved; Windows does not let it
  // move. Either way nothing is written where the path now leads.
  TempDir dir("report-place");
  WriteFile(PathFromUtf8(dir / "reports" + kSep + "mark"), "the opened folder");
  const ReportFilePlace place(dir / "reports" + kSep + "report.json");
  std::error_code error;
  fs::rename(PathFromUtf8(dir / "reports"), PathFromUtf8(dir / "moved"), error);
  const bool moved = !error;
  EXPECT_EQ(moved, !kWindows);
  if (moved) fs::create_directories(PathFromUtf8(dir / "reports"));
  ASSERT_TRUE(place.Write("report"));
  const std::string opened = moved ? dir / "moved" : dir / "reports";
  EXPECT_EQ(Names(opened), (std::vector<std::string>{"mark", "report.json"}));
  if (moved) {
    EXPECT_EQ(Names(dir / "reports"), std::vector<std::string>{});
  }
}

TEST(ReportFilePlace, LiesInAFolderByWhereItIsNotByHowItIsWritten) {
  TempDir dir("report-place");
  const std::string product = dir / "TarnVel";
  WriteFile(PathFromUtf8(product + kSep + "Program" + kSep + "TarnVel.exe"), "client");
  fs::create_directories(PathFromUtf8(dir / "TarnVel2"));
  fs::create_directories(PathFromUtf8(dir / "elsewhere"));
  const std::string up = kSep + ".." + kSep;
  const struct {
    const char* name;
    std::string place;
    std::string folder;
    bool inside;
    bool windowsOnly;
  } cases[] = {
      {"a new file in it", product + kSep + "r.json", product, true, false},
      {"a file below it", product + kSep + "Program" + kSep + "TarnVel.exe", product, true, false},
      {"the folder itself", product, product, true, false},
      {"through ..", dir / "elsewhere" + up + "TarnVel" + kSep + "r.json", product, true, false},
      {"a name the folder does not hold yet", dir / "TarnVel_", dir / "TarnVel_", true, false},
      {"a folder whose name begins the same", dir / "TarnVel2" + kSep + "r.json", product, false, false},
      {"beside it", dir / "r.json", product, false, false},
      {"its parent", dir / "r.json", dir / "TarnVel_", false, false},
      {"in another case", dir / "TARNVEL" + kSep + "r.json", product, true, true},
  };
  for (const auto& c : cases) {
    if (c.windowsOnly && !kWindows) continue;
    SCOPED_TRACE(c.name);
    const ReportFilePlace place(c.place);
    ASSERT_EQ(place.state(), ReportFilePlace::State::Open);
    EXPECT_EQ(place.LiesIn(c.folder), c.inside);
  }
}

}  // namespace
}  // namespace tarnvel::sys
