#include "frontends/console/console_report_place.h"

#include "sysroutines/lock_test.h"

namespace tarnvel::console {

std::vector<GuardedFolder> ProductFolders(const std::string& folder) {
  if (folder.empty()) return {};
  return {{folder, "the product folder"}, {sys::LockTestName(folder), "the product folder"}};
}

std::string ReportPlaceProblem(const sys::ReportFilePlace& place, const std::vector<GuardedFolder>& guarded) {
  using State = sys::ReportFilePlace::State;
  if (place.state() == State::NotAFileName) return "does not name a file";
  if (place.state() == State::NoFolder) return "is in a folder that does not exist";
  for (const GuardedFolder& folder : guarded) {
    if (place.LiesIn(folder.path)) return "would lie inside " + folder.what + " " + folder.path;
  }
  switch (place.Kind()) {
    case sys::EntryKind::Nothing:
      return {};
    case sys::EntryKind::File:
      // Only the head is read: the file may be one of gigabytes.
      if (place.ReadHead(std::char_traits<char>::length(kReportHead)) == kReportHead) return {};
      return "names a file that is not a report of this program";
    case sys::EntryKind::Folder:
      return "names a folder";
    case sys::EntryKind::Link:
      return "names a link, which a report never follows or replaces";
    case sys::EntryKind::Other:
      break;
  }
  return "names a pipe, a device or another special file";
}

bool WriteReportFile(const sys::ReportFilePlace& place, const RunReport& report) {
  return place.Write(ReportJson(report));
}

}  // namespace tarnvel::console
