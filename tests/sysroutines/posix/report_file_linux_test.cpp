// The place of a report on Linux, where links, pipes, bind mounts and a full
// volume are arranged for real: a link is seen and replaced as itself, never
// written through; a folder reached by a link, by "link/.." or through a
// bind mount is found where it really lies; a full volume keeps the old file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "support/disk_scratch.h"
#include "support/test_environment.h"
#include "sysroutines/report_file.h"

namespace tarnvel::sys {
namespace {

using testing::DiskScratch;
using testing::ReadFile;
using testing::WriteFile;
namespace fs = std::filesystem;

int Shell(const std::string& command) {
  return std::system((command + " >/dev/null 2>&1").c_str());
}

const char kReportHead[] = "{\n  \"report\": ";

TEST(ReportFilePlaceOnLinux, ALinkIsSeenAndReplacedAsItselfNeverWrittenThrough) {
  DiskScratch dir("report-place");
  const std::string victim = dir / "TarnVel.fdb";
  WriteFile(victim, std::string(kReportHead) + "a file that looks like a report\n");
  fs::create_symlink(victim, dir / "link.json");
  fs::create_symlink(dir / "missing", dir / "dangling.json");
  ASSERT_EQ(mkfifo((dir / "pipe.json").c_str(), 0600), 0);
  const struct {
    const char* name;
    EntryKind kind;
  } cases[] = {
      {"link.json", EntryKind::Link}, {"dangling.json", EntryKind::Link}, {"pipe.json", EntryKind::Other}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const ReportFilePlace place(dir / c.name);
    EXPECT_EQ(place.Kind(), c.kind);
    EXPECT_EQ(place.ReadHead(sizeof kReportHead - 1), "") << "read through it (or waited on a pipe)";
  }

  ASSERT_TRUE(ReportFilePlace(dir / "link.json").Write("report"));
  EXPECT_FALSE(fs::is_symlink(dir / "link.json"));
  EXPECT_EQ(ReadFile(dir / "link.json"), "report");
  EXPECT_EQ(ReadFile(victim), std::string(kReportHead) + "a file that looks like a report\n");

  // A link planted at the temporary name is not written through either.
  const std::string temporary = dir / "r.json.tmp-" + std::to_string(testing::TestProcessId());
  fs::create_symlink(victim, temporary);
  EXPECT_FALSE(ReportFilePlace(dir / "r.json").Write("report"));
  EXPECT_TRUE(fs::is_symlink(temporary));
  EXPECT_EQ(ReadFile(victim), std::string(kReportHead) + "a file that looks like a report\n");
  EXPECT_FALSE(fs::exists(dir / "r.json"));
}

TEST(ReportFilePlaceOnLinux, AFolderReachedByALinkLiesWhereTheLinkLeads) {
  DiskScratch dir("report-place");
  const std::string product = dir / "TarnVel";
  WriteFile(product + "/Program/TarnVel.exe", "client");
  fs::create_directories(dir / "elsewhere");
  fs::create_symlink(product, dir / "tv");
  fs::create_symlink(product + "/Program", dir / "elsewhere/prog");
  fs::create_symlink(dir / "elsewhere", dir / "out");
  const struct {
    const char* name;
    std::string place;
    std::string folder;
    bool inside;
  } cases[] = {
      {"a new name through a link to it", dir / "tv/r.json", product, true},
      // The kernel takes "prog/.." as the parent of Program, not as "elsewhere".
      {"a link, then ..", dir / "elsewhere/prog/../r.json", product, true},
      {"the folder given by a link", product + "/r.json", dir / "tv", true},
      {"a link that leads out", dir / "out/r.json", product, false},
      {"its lock-test name through a link", dir / "out/../TarnVel_", product + "_", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const ReportFilePlace place(c.place);
    ASSERT_EQ(place.state(), ReportFilePlace::State::Open);
    EXPECT_EQ(place.LiesIn(c.folder), c.inside);
  }
}

TEST(ReportFilePlaceOnLinux, AFolderMountedElsewhereIsStillTheFolder) {
  if (geteuid() != 0) GTEST_SKIP() << "mounting needs root";
  DiskScratch dir("report-place");
  const std::string product = dir / "TarnVel";
  const std::string mounted = dir / "mnt";
  WriteFile(product + "/DB_Data/TarnVel.fdb", "database");
  fs::create_directories(mounted);
  ASSERT_EQ(Shell("mount --bind '" + product + "' '" + mounted + "'"), 0);
  bool inside = false;
  {
    const ReportFilePlace place(mounted + "/DB_Data/r.json");
    inside = place.LiesIn(product);
  }
  Shell("umount '" + mounted + "'");
  EXPECT_TRUE(inside);
}

TEST(ReportFilePlaceOnLinux, AVolumeThatIsFullKeepsTheOldFileAndNothingBeside) {
  if (geteuid() != 0) GTEST_SKIP() << "mounting needs root";
  DiskScratch dir("report-place");
  const std::string volume = dir / "volume";
  fs::create_directories(volume);
  ASSERT_EQ(Shell("mount -t tmpfs -o size=1m tmpfs '" + volume + "'"), 0);
  WriteFile(volume + "/report.json", "the earlier report");
  Shell("dd if=/dev/zero of='" + volume + "/filler' bs=4k");  // until the volume is full
  const bool written = ReportFilePlace(volume + "/report.json").Write(std::string(64 << 10, 'r'));
  const std::string after = ReadFile(volume + "/report.json");
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(volume)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  Shell("umount '" + volume + "'");
  EXPECT_FALSE(written);
  EXPECT_EQ(after, "the earlier report");
  EXPECT_EQ(names, (std::vector<std::string>{"filler", "report.json"}));
}

}  // namespace
}  // namespace tarnvel::sys
