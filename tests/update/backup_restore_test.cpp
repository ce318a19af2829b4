// RestoreFilesFromBackup on a real Old\Other folder whose entries point into
// a scratch tree.
#include "update/backup_restore.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "i18n/ldm.h"
#include "support/disk_scratch.h"
#include "sysroutines/file_system.h"
#include "sysroutines/paths.h"
#include "sysroutines/text_helpers.h"

namespace tarnvel {
namespace {

using testing::ReadFile;
using testing::DiskScratch;
using testing::WriteFile;
namespace fs = std::filesystem;

const std::string d(1, sys::kPathDelimiter);

std::string Encode(const std::string& path) {
  return sys::ReplaceAll(sys::ReplaceAll(path, d, "{5C}"), ":", "{3A}");
}

TEST(DecodeBackupName, OnlyUpperCaseCodesAreDecoded) {
  const struct { const char* name; std::string decoded; } cases[] = {
      {"C{3A}{5C}Data{5C}settings.ini", "C:" + d + "Data" + d + "settings.ini"},
      {"{dlt}_C{3A}{5C}Data{5C}extra.dll", "{dlt}_C:" + d + "Data" + d + "extra.dll"},
      {"D{3A}{5C}x{5c}a.txt", "D:" + d + "x{5c}a.txt"},
      {"{5C}{5C}{3a}", d + d + "{3a}"},
      {"plain", "plain"},
  };
  for (const auto& c : cases) EXPECT_EQ(DecodeBackupName(c.name), c.decoded) << c.name;
}

class Restore : public ::testing::Test {
 protected:
  void Save(const std::string& entryName, const std::string& bytes) {
    WriteFile(sys::PathFromUtf8(other_) / sys::PathFromUtf8(entryName), bytes);
  }
  DiskScratch dir_{"restore"};
  std::string other_ = dir_ / "Old" + d + "Other";
  std::string live_ = dir_ / "live";
};

TEST_F(Restore, CopiesOverProtectedTargetsAndDeletesMarkedOnes) {
  const std::string settings = live_ + d + "settings.ini";
  const std::string extra = live_ + d + "extra.dll";
  const std::string odd = live_ + d + "a{5c}b.txt";
  WriteFile(sys::PathFromUtf8(settings), "changed by the update");
  sys::SetFileAttributesOf(settings, sys::kAttrReadOnly | sys::kAttrHidden);
  WriteFile(sys::PathFromUtf8(extra), "added by the update");
  Save(Encode(settings), "original settings");
  Save("{dlt}_" + Encode(extra), "content is not read");
  Save("{dlt}_" + Encode(live_ + d + "already-gone.dll"), "");
  // A lower-case code is part of the name.
  Save(Encode(live_) + "{5C}a{5c}b.txt", "odd name");

  EXPECT_TRUE(RestoreFilesFromBackup(other_).empty());
  EXPECT_EQ(ReadFile(sys::PathFromUtf8(settings)), "original settings");
  EXPECT_FALSE(fs::exists(sys::PathFromUtf8(extra)));
  EXPECT_EQ(ReadFile(sys::PathFromUtf8(odd)), "odd name");
  // The backup itself is unchanged.
  EXPECT_EQ(ReadFile(sys::PathFromUtf8(other_) / sys::PathFromUtf8(Encode(settings))), "original settings");
  EXPECT_TRUE(fs::exists(sys::PathFromUtf8(other_) / sys::PathFromUtf8("{dlt}_" + Encode(extra))));
}

TEST_F(Restore, FailedEntryIsReportedAndTheOthersStillRestored) {
  const std::string lost = live_ + d + "gone-folder" + d + "a.txt";  // target folder missing
  const std::string kept = live_ + d + "b.txt";
  fs::create_directories(sys::PathFromUtf8(live_));
  Save(Encode(lost), "a");
  Save(Encode(kept), "b");
  const std::vector<std::string> failures = RestoreFilesFromBackup(other_);
  EXPECT_EQ(failures, (std::vector<std::string>{i18n::GetMessageText("uUpdate_RestoreFilesFromBackup_1", lost)}));
  EXPECT_EQ(ReadFile(sys::PathFromUtf8(kept)), "b");
  EXPECT_FALSE(fs::exists(sys::PathFromUtf8(live_) / "gone-folder"));  // target folders are not made
}

TEST_F(Restore, MissingOrEmptyFolderAndSubFoldersGiveNothing) {
  EXPECT_TRUE(RestoreFilesFromBackup(other_).empty());
  fs::create_directories(sys::PathFromUtf8(other_) / sys::PathFromUtf8(Encode(live_ + d + "folder-entry")));
  EXPECT_TRUE(RestoreFilesFromBackup(other_).empty());
  EXPECT_FALSE(fs::exists(sys::PathFromUtf8(live_)));
}

}  // namespace
}  // namespace tarnvel
