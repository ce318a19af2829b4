#include "sysroutines/process_control.h"

#include "sysroutines/ascii_case.h"
#include "sysroutines/paths.h"
#include "sysroutines/process_list.h"

namespace tarnvel::sys {
namespace {

// The text after the last delimiter; on Windows a drive or stream colon
// separates the name too.
std::string FileNamePart(const std::string& path) {
  const auto cut = kPathDelimiter == '\\' ? path.find_last_of("\\:") : path.find_last_of(kPathDelimiter);
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace

bool ProcessNameMatches(const std::string& exeFile, const std::string& exeName) {
  // An empty or blank name names no program; it would otherwise match every
  // process whose recorded name ends in a delimiter.
  if (exeName.find_first_not_of(" \t") == std::string::npos) return false;
  return EqualsIgnoringAsciiCase(FileNamePart(exeFile), exeName) || EqualsIgnoringAsciiCase(exeFile, exeName);
}

bool KillProcessByName(const std::string& exeName, std::size_t* matched) {
  bool result = true;
  std::size_t count = 0;
  for (const ProcessEntry& entry : TakeProcessSnapshot()) {
    if (!ProcessNameMatches(entry.exeFile, exeName)) continue;
    ++count;
    result = TerminateProcessById(entry.processId);
  }
  if (matched) *matched = count;
  return result;
}

}  // namespace tarnvel::sys
