// MyRemoveDir never follows a link, at any level, the folder it is given
// included: a canary tree beside the removed one, which every link points
// into, stays byte for byte as it was. Needs symbolic links: skipped where
// none can be made (Windows without the privilege; Wine, which only
// pretends to make them).
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "support/failure_text.h"
#include "support/temp_dir.h"
#include "support/tree_links.h"
#include "sysroutines/paths.h"
#include "update/folder_ops.h"

namespace tarnvel {
namespace {

using testing::MakeSymbolicLink;
using testing::TempDir;
using testing::TreeSnapshot;
using testing::WriteFile;
namespace fs = std::filesystem;

const std::string d(1, sys::kPathDelimiter);

bool LinksCanBeMadeIn(const TempDir& dir) {
  fs::create_directories(dir.path() / "probe");
  return MakeSymbolicLink(dir.path() / "probe", dir.path() / "probe-link", true);
}

TEST(MyRemoveDirNoFollow, LinksGoAsLinksAtEveryLevelAndTheCanaryStays) {
  // Each case builds, beside dir/canary, what is to be removed and gives the
  // Folder to pass; afterwards nothing may stand at Tmp$.
  const struct {
    const char* what;
    std::function<std::string(const fs::path& dir)> build;
  } cases[] = {
      {"a link at the top, named like the next working folder",
       [](const fs::path& dir) {
         MakeSymbolicLink(dir / "canary", dir / "Tmp$", true);
         return sys::PathToUtf8(dir / "Tmp$");
       }},
      {"the same link named with a trailing delimiter",
       [](const fs::path& dir) {
         MakeSymbolicLink(dir / "canary", dir / "Tmp$", true);
         return sys::PathToUtf8(dir / "Tmp$") + d;
       }},
      {"a link to a file at the top",
       [](const fs::path& dir) {
         MakeSymbolicLink(dir / "canary" / "TarnVel.fdb", dir / "Tmp$", false);
         return sys::PathToUtf8(dir / "Tmp$");
       }},
      {"links inside to folders and files outside, and to the folder above",
       [](const fs::path& dir) {
         const fs::path tmp = dir / "Tmp$";
         WriteFile(tmp / "New" / "files.exe", "payload");
         WriteFile(tmp / "Old" / "Program" / "TarnVel.exe", "old client");
         MakeSymbolicLink(dir / "canary", tmp / "New" / "DB_Data", true);
         MakeSymbolicLink(dir / "canary" / "TarnVel.fdb", tmp / "Old" / "Program" / "TarnVel.fdb", false);
         MakeSymbolicLink("..", tmp / "up", true);
         MakeSymbolicLink(fs::path("..") / ".." / "..", tmp / "Old" / "Program" / "back", true);
         return sys::PathToUtf8(tmp);
       }},
  };
  for (const auto& c : cases) {
    TempDir dir("nofollow");
    if (!LinksCanBeMadeIn(dir)) GTEST_SKIP() << "no symbolic links can be made here";
    WriteFile(dir.path() / "canary" / "TarnVel.fdb", "database");
    WriteFile(dir.path() / "canary" / "Program" / "TarnVel.exe", "client");
    fs::create_directories(dir.path() / "canary" / "empty");
    const auto before = TreeSnapshot(dir.path() / "canary");
    const std::string folder = c.build(dir.path());

    EXPECT_EQ(testing::FailureText([&] { MyRemoveDir(folder); }), "(no failure)") << c.what;
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir.path() / "Tmp$"))) << c.what;
    EXPECT_EQ(TreeSnapshot(dir.path() / "canary"), before) << c.what;
  }
}

}  // namespace
}  // namespace tarnvel
