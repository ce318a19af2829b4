// What the operator sees of a failure that escapes an operation.
#include "app/exception_report.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "support/scripted_host.h"

namespace tarnvel {
namespace {

TEST(ErrorBoxText, PeriodOnlyAfterCharactersAboveThePeriod) {
  const struct { const char* message; const char* shown; } cases[] = {
      {"Disk full", "Disk full."},
      {"Why?", "Why?."},
      {"Stop!", "Stop!"},
      {"(see log)", "(see log)"},
      {"Done.", "Done."},
      {"code 5", "code 5."},  // digits are above the period
      {"a-", "a-"},           // '-' is below it
      {"Ошибка", "Ошибка."},
  };
  for (const auto& c : cases) EXPECT_EQ(ErrorBoxText(c.message), c.shown) << c.message;
}

TEST(AEException, LogsThenShowsTheErrorBox) {
  testing::ScriptedHost host;
  AEException(host, "Upd", std::runtime_error("Line one\r\nline two"));
  EXPECT_EQ(host.entries, (std::vector<std::string>{"Line one\r\nline two"}));
  ASSERT_EQ(host.dialogs.size(), 1u);
  EXPECT_EQ(host.dialogs[0].type, DialogType::Error);
  EXPECT_EQ(host.dialogs[0].caption, "Upd");
  EXPECT_EQ(host.dialogs[0].text, "Line one\r\nline two.");
  EXPECT_EQ(host.dialogs[0].buttons, (std::vector<DialogButton>{DialogButton::Ok}));
}

TEST(AEException, EmptyMessageAndSilentAbortLeaveNoTrace) {
  testing::ScriptedHost host;
  AEException(host, "Upd", std::runtime_error(""));
  AEException(host, "Upd", SilentAbort());
  EXPECT_TRUE(host.entries.empty());
  EXPECT_TRUE(host.dialogs.empty());
}

TEST(AEException, BoxStillShownWhenTheLogCannotBeWritten) {
  testing::ScriptedHost host;
  host.logFailure = "Unable to open the log file L";
  AEException(host, "Upd", std::runtime_error("Backup failed"));
  ASSERT_EQ(host.dialogs.size(), 1u);
  EXPECT_EQ(host.dialogs[0].text, "Backup failed.\r\n\r\nUnable to open the log file L.");
}

TEST(MessageDlg, CaptionComesFromTheCatalogueForItsType) {
  testing::ScriptedHost host;
  host.Answer(DialogButton::No);
  EXPECT_EQ(MessageDlg(host, "Continue?", DialogType::Confirmation, {DialogButton::Yes, DialogButton::No},
                       DialogButton::No),
            DialogButton::No);
  EXPECT_EQ(MessageDlg(host, "Careful", DialogType::Warning, {DialogButton::Ok}, DialogButton::Ok),
            DialogButton::Ok);
  ASSERT_EQ(host.dialogs.size(), 2u);
  EXPECT_EQ(host.dialogs[0].caption, "Confirm");
  EXPECT_EQ(host.dialogs[0].text, "Continue?");
  EXPECT_EQ(host.dialogs[1].caption, "Warning");
}

}  // namespace
}  // namespace tarnvel
