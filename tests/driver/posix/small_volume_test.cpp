// Update runs of a product on a small ext4 volume of its own (an image file
// mounted through a loop device; needs root, as in CI): the free-space check
// and a disk that fills up during the backup.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "driver/posix/server_fixture.h"
#include "update/update_context.h"

namespace tarnvel {
namespace {

using namespace testing;
namespace fs = std::filesystem;

int Shell(const std::string& command) {
  return std::system((command + " >/dev/null 2>&1").c_str());
}

using SmallVolumeRun = ServerRun;

TEST_F(SmallVolumeRun, AFreeSpaceShortageBringsEverythingBack) {
  ASSERT_NO_FATAL_FAILURE(MoveProductToVolume(64, "--db-mb 20"));
  if (IsSkipped()) return;
  const std::uintmax_t size = fs::file_size(root_ + "/DB_Data/TarnVel.fdb");
  ASSERT_LT(fs::space(root_).free, 2 * size) << "the volume must be too small for twice the database";

  host_.Answer(DialogButton::Yes);
  const std::string text = Run();
  const std::string shortage = "To write the file to disk \"" + mountPoint_ + "/\" is required at least ";
  EXPECT_EQ(text.rfind("Exception Message: " + shortage, 0), 0u) << text;
  EXPECT_EQ(text.find('\r'), std::string::npos) << "the shortage once: " << text;
  EXPECT_EQ(host_.entries,
            InitEntries() + Entries({"8", "18", "19", "21", "22", "23", "26", "27", "28", "29"}));
  EXPECT_EQ(ServiceActions(), "stop stop start ");
  EXPECT_TRUE(ServerAnswers(true));
  EXPECT_TRUE(DatabaseOnline()) << AttachAs("CLERK1", "clerk1pw");
  EXPECT_EQ(WorkingFolder(root_), "");
}

TEST_F(SmallVolumeRun, ADiskThatFillsUpDuringTheBackupLeavesEverythingAsItWas) {
  // Room for twice the database, not for a copy of the whole product.
  ASSERT_NO_FATAL_FAILURE(MoveProductToVolume(160, "--db-mb 20 --program-mb 50"));
  if (IsSkipped()) return;
  const std::uintmax_t database = fs::file_size(root_ + "/DB_Data/TarnVel.fdb");
  ASSERT_GE(fs::space(root_).free, 2 * database);
  const auto program = TreeContents(root_ + "/Program");

  host_.Answer(DialogButton::Yes);
  const std::string text = Run();
  // The copy's own failure, unchanged, with the system's reason; nothing
  // after the backup ran.
  EXPECT_NE(text.find(CurrentUpdateContext().OldDir), std::string::npos) << text;
  EXPECT_NE(text.find(": " + Text("uUpdate_SystemError_3")), std::string::npos) << text;
  EXPECT_EQ(text.rfind("Exception Message", 0), std::string::npos) << text;
  EXPECT_EQ(host_.entries.back(), Text("49"));
  EXPECT_EQ(std::vector<std::string>(host_.entries.end() - 5, host_.entries.end()),
            Entries({"36", "37", "38", "48", "49"}));
  EXPECT_EQ(WorkingFolder(root_), "");
  EXPECT_EQ(TreeContents(root_ + "/Program"), program);
  EXPECT_EQ(fs::file_size(root_ + "/DB_Data/TarnVel.fdb"), database);
  EXPECT_TRUE(DatabaseOnline()) << AttachAs("CLERK1", "clerk1pw");
  EXPECT_FALSE(host_.RolledBack());
}

// The disk fills up after the backup, just before the client is replaced:
// the operator is told the file could not be copied because the disk is
// full, and the rollback finds nothing changed.
TEST_F(SmallVolumeRun, AReplacementOnAFullDiskSaysTheDiskIsFull) {
  ASSERT_NO_FATAL_FAILURE(MoveProductToVolume(64, ""));
  if (IsSkipped()) return;
  const auto program = TreeContents(root_ + "/Program");
  host_.Answer(DialogButton::Yes);
  host_.OnEntry(Text("uIS_TarnVel_8"), [this] {
    // Writes until nothing more fits. ext4 holds some blocks back while
    // writes are pending: a second pass after sync takes those too.
    Shell("dd if=/dev/zero of='" + mountPoint_ + "/filler' bs=1M; sync; dd if=/dev/zero of='" + mountPoint_ +
          "/filler2' bs=4k; sync");
  });
  const std::string text = Run();

  const UpdateContext& context = CurrentUpdateContext();
  ASSERT_EQ(host_.dialogs.size(), 2u);
  EXPECT_EQ(host_.dialogs[1].text,
            Text("51", Child(context.NewDir, "TarnVel.exe"), Child(context.ProgramDir, "TarnVel.exe")) +
                "\r\n" + Text("uUpdate_SystemError_3"));
  EXPECT_EQ(text, "");  // a complete rollback
  EXPECT_TRUE(host_.RolledBack());
  EXPECT_EQ(TreeContents(root_ + "/Program"), program);
  EXPECT_TRUE(DatabaseOnline()) << AttachAs("CLERK1", "clerk1pw");
}

}  // namespace
}  // namespace tarnvel
