#include "sysroutines/run_and_wait.h"

#include <stdexcept>

#include "sysroutines/child_process.h"
#include "sysroutines/file_system.h"
#include "sysroutines/paths.h"

namespace tarnvel::sys {
namespace {

constexpr std::size_t kMaxCommandLine = 511;
constexpr std::size_t kMaxWorkingFolder = 255;

[[noreturn]] void Fail() { throw std::runtime_error("Unable to run an external program!"); }

// The folder part of a full path, without its delimiter unless that follows a
// drive colon ("C:\") or is the root ("/").
std::string FolderOf(const std::string& fullPath) {
  const std::size_t cut = fullPath.find_last_of(kPathDelimiter);
  if (cut == std::string::npos) return {};
  if (cut == 0 || (cut > 0 && fullPath[cut - 1] == ':')) return fullPath.substr(0, cut + 1);
  return fullPath.substr(0, cut);
}

}  // namespace

int RunAndWait(const std::string& programPath, const std::string& parameters, int showMode,
               const std::function<void()>& processMessages) {
  const std::string fullPath = ExpandFullPath(programPath);
  const std::string commandLine = fullPath + parameters;
  const std::string folder = FolderOf(fullPath);
  if (Utf8ToWide(commandLine).size() > kMaxCommandLine || Utf8ToWide(folder).size() > kMaxWorkingFolder) Fail();

  ChildProcess child;
  if (!child.Start(commandLine, fullPath, folder, showMode)) Fail();
  if (processMessages) processMessages();
  const std::uint32_t exitCode = child.Wait();
  if (processMessages) processMessages();
  return static_cast<int>(exitCode);
}

}  // namespace tarnvel::sys
