#include "sysroutines/process_control.h"

#include "sysroutines/paths.h"
#include "sysroutines/process_list.h"

namespace tarnvel::sys {
namespace {

std::string UpperAtoZ(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

// The text after the last delimiter; on Windows a drive or stream colon
// separates the name too.
std::string FileNamePart(const std::string& path) {
  const auto cut = kPathDelimiter == '\\' ? path.find_last_of("\\:") : path.find_last_of(kPathDelimiter);
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace

bool ProcessNameMatches(const std::string& exeFile, const std::string& exeName) {
  const std::string wanted = UpperAtoZ(exeName);
  return UpperAtoZ(FileNamePart(exeFile)) == wanted || UpperAtoZ(exeFile) == wanted;
}

bool KillProcessByName(const std::string& exeName) {
  bool result = true;
  for (const ProcessEntry& entry : TakeProcessSnapshot()) {
    if (ProcessNameMatches(entry.exeFile, exeName)) result = TerminateProcessById(entry.processId);
  }
  return result;
}

}  // namespace tarnvel::sys
