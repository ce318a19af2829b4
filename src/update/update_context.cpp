#include "update/update_context.h"

#include <stdexcept>

#include "i18n/ldm.h"
#include "sysroutines/drive_type.h"
#include "sysroutines/file_system.h"
#include "sysroutines/lock_test.h"
#include "sysroutines/paths.h"
#include "sysroutines/text_helpers.h"

namespace tarnvel {
namespace {

std::string Join(const std::string& folder, const std::string& name) {
  return sys::IncludeTrailingPathDelimiter(folder) + name;
}

// Names TmpDir and the folders of the run under it.
void NameWorkingFolders(UpdateContext& context, const std::string& tmpDir) {
  context.TmpDir = tmpDir;
  context.NewDir = Join(context.TmpDir, "New");
  context.OldDir = Join(context.TmpDir, "Old");
  context.OldProgramDir = Join(context.OldDir, "Program");
  context.OldDBDataDir = Join(context.OldDir, "DB_Data");
  context.OldOtherDir = Join(context.OldDir, "Other");
}

// Runs started within one second share a stamp; beyond this many of them
// something else is wrong with the folder.
constexpr int kMaxWorkingFolderAttempts = 100;

void Log(IUpdateHost& host, const char* id) {
  host.SaveExceptionToLog(i18n::GetMessageText(id));
  host.ProcessMessages();
}

}  // namespace

UpdateContext& CurrentUpdateContext() {
  static UpdateContext context;
  return context;
}

std::string RunStamp(const sys::LocalDateTime& when) {
  using sys::TwoDigitString;
  return TwoDigitString(when.day) + TwoDigitString(when.month) + TwoDigitString(when.year) +
         TwoDigitString(when.hour) + TwoDigitString(when.minute) + TwoDigitString(when.second);
}

void UpdateInit(IUpdateHost& host, const ProductNames& names, const std::string& ProgramLocation) {
  Log(host, "uUpdate_UpdateInit_1");
  UpdateContext& context = CurrentUpdateContext();
  context.RootDir = sys::ExpandFullPath(ProgramLocation);
  if (!sys::DirectoryExists(context.RootDir)) {
    std::string text = i18n::GetMessageText("uUpdate_UpdateInit_2", context.RootDir);
    // An update killed between the lock test's renames leaves the product
    // under the lock-test name: the operator must learn where it is.
    const std::string renamed = sys::LockTestName(context.RootDir);
    if (!context.RootDir.empty() && sys::DirectoryExists(renamed)) {
      text += "\r\n" + i18n::GetMessageText("uUpdate_UpdateProgramm_57", renamed, context.RootDir);
    }
    throw std::runtime_error(text);
  }
  const unsigned driveType = sys::GetDriveTypeOfPath(context.RootDir);
  if (driveType != sys::kDriveRemovable && driveType != sys::kDriveFixed) {
    throw std::runtime_error(i18n::GetMessageText("uUpdate_UpdateInit_3", context.RootDir));
  }
  context.ProgramDir = Join(context.RootDir, "Program");
  context.DBDataDir = Join(context.RootDir, "DB_Data");
  NameWorkingFolders(context, Join(context.RootDir, "Tmp$" + RunStamp(sys::CurrentLocalDateTime())));
  context.DatabaseName = names.ConnectionPrefix + Join(context.DBDataDir, names.DatabaseFileName);
  context.ClientFound = sys::FileExists(Join(context.ProgramDir, names.ClientExeName));
  context.ServerFound = sys::FileExists(Join(context.DBDataDir, names.DatabaseFileName));
  Log(host, "uUpdate_UpdateInit_4");
}

bool CreateWorkingFolder() {
  UpdateContext& context = CurrentUpdateContext();
  const std::string stamped = context.TmpDir;
  for (int attempt = 1; attempt <= kMaxWorkingFolderAttempts; ++attempt) {
    const std::string name = attempt == 1 ? stamped : stamped + "_" + std::to_string(attempt);
    NameWorkingFolders(context, name);
    // Creating fails on any existing entry, a link included, so a name that
    // someone else holds is never entered.
    if (sys::CreateOneDirectory(name)) return true;
    if (!sys::GetFileAttributesOf(name)) return false;  // not taken: the folder cannot be made at all
  }
  return false;
}

}  // namespace tarnvel
