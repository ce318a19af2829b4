#include "sysroutines/run_and_wait.h"

#include <algorithm>

#include "sysroutines/child_process.h"
#include "sysroutines/file_system.h"
#include "sysroutines/held_program.h"
#include "sysroutines/paths.h"

namespace tarnvel::sys {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

constexpr std::size_t kMaxCommandLine = 511;
constexpr std::size_t kMaxWorkingFolder = 255;
// Without messages to let through nothing but the end or the limit wakes the wait.
constexpr milliseconds kQuietWait{60'000};

// The folder part of a full path, without its delimiter unless that follows a
// drive colon ("C:\") or is the root ("/").
std::string FolderOf(const std::string& fullPath) {
  const std::size_t cut = fullPath.find_last_of(kPathDelimiter);
  if (cut == std::string::npos) return {};
  if (cut == 0 || (cut > 0 && fullPath[cut - 1] == ':')) return fullPath.substr(0, cut + 1);
  return fullPath.substr(0, cut);
}

// The exit code of Child, letting messages through as it runs; nullopt when
// Deadline came first.
std::optional<std::uint32_t> WaitUntil(ChildProcess& child, std::optional<steady_clock::time_point> deadline,
                                       const std::function<void()>& processMessages) {
  for (;;) {
    milliseconds slice = processMessages ? kMessagePassInterval : kQuietWait;
    if (deadline) {
      const auto left = std::chrono::ceil<milliseconds>(*deadline - steady_clock::now());
      slice = std::clamp(left, milliseconds(0), slice);
    }
    if (const auto exitCode = child.WaitFor(slice)) return exitCode;
    if (deadline && steady_clock::now() >= *deadline) return std::nullopt;
    if (processMessages) processMessages();
  }
}

std::string TimedOutText(const std::string& programPath, milliseconds limit) {
  return "The external program " + programPath + " did not end within " + std::to_string(limit.count()) +
         " ms and was ended!";
}

}  // namespace

ProgramNotStarted::ProgramNotStarted(SysResult reason)
    : std::runtime_error("Unable to run an external program!"), reason_(reason) {}

ProgramTimedOut::ProgramTimedOut(const std::string& programPath, std::chrono::milliseconds limit)
    : std::runtime_error(TimedOutText(programPath, limit)), programPath_(programPath), limit_(limit) {}

namespace {

// Starts the program with Start(child, command line, working folder) and
// waits for it as RunAndWait describes.
int StartAndWait(const std::string& fullPath, const std::string& parameters,
                 const std::function<SysResult(ChildProcess&, const std::string&, const std::string&)>& start,
                 const std::function<void()>& processMessages, std::optional<milliseconds> timeLimit) {
  const std::string commandLine = fullPath + parameters;
  const std::string folder = FolderOf(fullPath);
  if (Utf8ToWide(commandLine).size() > kMaxCommandLine || Utf8ToWide(folder).size() > kMaxWorkingFolder)
    throw ProgramNotStarted(SysResult::Failure(NameTooLongError()));

  ChildProcess child;
  if (const SysResult started = start(child, commandLine, folder); !started) throw ProgramNotStarted(started);
  std::optional<steady_clock::time_point> deadline;
  if (timeLimit) deadline = steady_clock::now() + *timeLimit;
  std::optional<std::uint32_t> exitCode;
  try {
    if (processMessages) processMessages();
    exitCode = WaitUntil(child, deadline, processMessages);
  } catch (...) {
    // The caller gives up on the program: it must not run on unwatched.
    child.EndAll();
    throw;
  }
  if (!exitCode) child.EndAll();
  if (processMessages) processMessages();
  if (!exitCode) throw ProgramTimedOut(fullPath, *timeLimit);
  return static_cast<int>(*exitCode);
}

}  // namespace

int RunAndWait(const std::string& programPath, const std::string& parameters, int showMode,
               const std::function<void()>& processMessages,
               std::optional<std::chrono::milliseconds> timeLimit) {
  const std::string fullPath = ExpandFullPath(programPath);
  return StartAndWait(
      fullPath, parameters,
      [&](ChildProcess& child, const std::string& commandLine, const std::string& folder) {
        return child.Start(commandLine, fullPath, folder, showMode);
      },
      processMessages, timeLimit);
}

int RunHeldAndWait(const HeldProgram& program, const std::string& parameters, int showMode,
                   const std::function<void()>& processMessages,
                   std::optional<std::chrono::milliseconds> timeLimit) {
  return StartAndWait(
      program.Path(), parameters,
      [&](ChildProcess& child, const std::string& commandLine, const std::string& folder) {
        return child.Start(commandLine, program, folder, showMode);
      },
      processMessages, timeLimit);
}

}  // namespace tarnvel::sys
