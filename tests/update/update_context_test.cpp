// UpdateInit on real folders under the build tree.
#include "update/update_context.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "i18n/ldm.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"
#include "sysroutines/paths.h"

namespace tarnvel {
namespace {

using testing::ScriptedHost;
using testing::TempDir;
using testing::WriteFile;

const ProductNames kNames{"localhost/3051:", "TarnVel.fdb", "TarnVel.exe"};
const std::string d(1, sys::kPathDelimiter);

void MakeProduct(const TempDir& dir, bool client, bool server) {
  std::filesystem::create_directories(dir.path() / "Program");
  std::filesystem::create_directories(dir.path() / "DB_Data");
  if (client) WriteFile(dir.path() / "Program" / "TarnVel.exe", "exe");
  if (server) WriteFile(dir.path() / "DB_Data" / "TarnVel.fdb", "db");
}

bool IsStamp(const std::string& text) {
  return text.size() == 12 && text.find_first_not_of("0123456789") == std::string::npos;
}

TEST(RunStamp, TwelveDigitsDayMonthYearHourMinuteSecond) {
  const struct {
    sys::LocalDateTime when;
    const char* stamp;
  } cases[] = {
      {{2026, 12, 9, 14, 30, 5}, "091226143005"},
      {{2026, 12, 31, 23, 59, 59}, "311226235959"},
      {{2030, 1, 1, 0, 0, 0}, "010130000000"},
  };
  for (const auto& c : cases) EXPECT_EQ(RunStamp(c.when), c.stamp);
}

TEST(UpdateInit, NamesEveryFolderAndFindsBothParts) {
  TempDir dir("ctx");
  MakeProduct(dir, true, true);
  ScriptedHost host;
  UpdateInit(host, kNames, dir.str());
  const UpdateContext& c = CurrentUpdateContext();
  const std::string root = dir.str();
  EXPECT_EQ(c.RootDir, root);
  EXPECT_EQ(c.ProgramDir, root + d + "Program");
  EXPECT_EQ(c.DBDataDir, root + d + "DB_Data");
  ASSERT_EQ(c.TmpDir.substr(0, root.size() + 5), root + d + "Tmp$");
  EXPECT_TRUE(IsStamp(c.TmpDir.substr(root.size() + 5))) << c.TmpDir;
  EXPECT_EQ(c.NewDir, c.TmpDir + d + "New");
  EXPECT_EQ(c.OldDir, c.TmpDir + d + "Old");
  EXPECT_EQ(c.OldProgramDir, c.OldDir + d + "Program");
  EXPECT_EQ(c.OldDBDataDir, c.OldDir + d + "DB_Data");
  EXPECT_EQ(c.OldOtherDir, c.OldDir + d + "Other");
  EXPECT_EQ(c.DatabaseName, "localhost/3051:" + root + d + "DB_Data" + d + "TarnVel.fdb");
  EXPECT_TRUE(c.ClientFound);
  EXPECT_TRUE(c.ServerFound);
  EXPECT_EQ(host.entries, (std::vector<std::string>{i18n::GetMessageText("uUpdate_UpdateInit_1"),
                                                    i18n::GetMessageText("uUpdate_UpdateInit_4")}));
  EXPECT_EQ(host.messagePasses, 2);
  // Nothing is created.
  EXPECT_FALSE(std::filesystem::exists(sys::PathFromUtf8(c.TmpDir)));
}

TEST(UpdateInit, TrailingDelimiterAndRelativeLocationGiveTheSameFolders) {
  TempDir dir("ctx");
  MakeProduct(dir, true, false);
  ScriptedHost host;
  UpdateInit(host, kNames, dir.str());
  const UpdateContext plain = CurrentUpdateContext();

  UpdateInit(host, kNames, dir.str() + d);
  UpdateContext trailing = CurrentUpdateContext();
  EXPECT_EQ(trailing.RootDir, dir.str() + d);  // the typed delimiter stays
  EXPECT_EQ(trailing.ProgramDir, plain.ProgramDir);
  EXPECT_EQ(trailing.DBDataDir, plain.DBDataDir);
  EXPECT_EQ(trailing.DatabaseName, plain.DatabaseName);
  EXPECT_EQ(trailing.TmpDir.substr(0, trailing.TmpDir.size() - 12),
            plain.TmpDir.substr(0, plain.TmpDir.size() - 12));
  EXPECT_TRUE(trailing.ClientFound);
  EXPECT_FALSE(trailing.ServerFound);

  const auto before = std::filesystem::current_path();
  std::filesystem::current_path(dir.path() / "Program");
  UpdateContext relative;
  EXPECT_NO_THROW(UpdateInit(host, kNames, ".." + d + "DB_Data" + d + ".." + d + "."));
  relative = CurrentUpdateContext();
  std::filesystem::current_path(before);
  EXPECT_EQ(relative.RootDir, plain.RootDir);
  EXPECT_EQ(relative.ProgramDir, plain.ProgramDir);
  EXPECT_TRUE(relative.ClientFound);
}

TEST(UpdateInit, PartsAreFilesNotFolders) {
  TempDir dir("ctx");
  MakeProduct(dir, false, false);
  // A folder named like the database file, and no client executable.
  std::filesystem::create_directories(dir.path() / "DB_Data" / "TarnVel.fdb");
  WriteFile(dir.path() / "Program" / "Other.exe", "exe");
  ScriptedHost host;
  UpdateInit(host, kNames, dir.str());
  EXPECT_FALSE(CurrentUpdateContext().ClientFound);
  EXPECT_FALSE(CurrentUpdateContext().ServerFound);
}

TEST(UpdateInit, MissingFolderIsNamedByItsExpandedPath) {
  TempDir dir("ctx");
  const auto before = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  ScriptedHost host;
  std::string message;
  try {
    UpdateInit(host, kNames, "NoSuchProduct");
  } catch (const std::runtime_error& e) {
    message = e.what();
  }
  std::filesystem::current_path(before);
  const std::string expanded = dir.str() + d + "NoSuchProduct";
  EXPECT_EQ(message, i18n::GetMessageText("uUpdate_UpdateInit_2", expanded));
  EXPECT_EQ(CurrentUpdateContext().RootDir, expanded);  // stored before the test
  // The failure is the caller's to log: only the opening entry is written.
  EXPECT_EQ(host.entries.size(), 1u);
  // A file is not a folder either.
  WriteFile(dir.path() / "file", "x");
  EXPECT_THROW(UpdateInit(host, kNames, dir / "file"), std::runtime_error);
}

TEST(UpdateInit, EmptyLocationNamesNoFolder) {
  // Not the current folder: an empty box must not turn into a product folder.
  TempDir dir("ctx");
  MakeProduct(dir, true, true);
  const auto before = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  ScriptedHost host;
  std::string message;
  try {
    UpdateInit(host, kNames, "");
  } catch (const std::runtime_error& e) {
    message = e.what();
  }
  std::filesystem::current_path(before);
  EXPECT_EQ(message, i18n::GetMessageText("uUpdate_UpdateInit_2", ""));
  EXPECT_EQ(CurrentUpdateContext().RootDir, "");
}

}  // namespace
}  // namespace tarnvel
