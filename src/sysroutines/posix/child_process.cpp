#include "sysroutines/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <thread>
#include <vector>

#include "sysroutines/held_program.h"

extern char** environ;

namespace tarnvel::sys {
namespace {

// Words of Rest appended to Words; Words.back() continues while no blank comes.
void SplitInto(const std::string& rest, std::vector<std::string>& words) {
  bool inWord = !words.empty();
  bool quoted = false;
  for (char c : rest) {
    if (c == '"') {
      quoted = !quoted;
      if (!inWord) words.emplace_back();
      inWord = true;
    } else if (!quoted && (c == ' ' || c == '\t')) {
      inWord = false;
    } else {
      if (!inWord) words.emplace_back();
      words.back().push_back(c);
      inWord = true;
    }
  }
}

// The argument words of CommandLine, ProgramPath first and never split.
std::vector<std::string> ArgumentWords(const std::string& commandLine, const std::string& programPath) {
  std::vector<std::string> words{programPath};
  SplitInto(commandLine.substr(std::min(programPath.size(), commandLine.size())), words);
  return words;
}

// Closes the descriptors First to Last; a kernel without close_range gets
// them closed one by one up to Limit. Safe between fork and exec.
void CloseRange(int first, int last, int limit) {
  if (first > last) return;
  if (syscall(SYS_close_range, static_cast<unsigned>(first), static_cast<unsigned>(last), 0u) == 0) return;
  for (int fd = first; fd <= last && fd < limit; ++fd) close(fd);
}

// The child's side of StartHeld, between fork and exec: only calls that are
// safe there. Returns only when the program could not be started, with
// errno saying why.
void BecomeHeldProgram(int program, int report, const char* folder, char* const* argv, int limit) {
  setpgid(0, 0);
  if (folder != nullptr && chdir(folder) != 0) return;
  // Standard input, output and error stay; the program's descriptor and the
  // report pipe close when the program starts (O_CLOEXEC); nothing else is
  // inherited.
  const int low = std::min(program, report), high = std::max(program, report);
  CloseRange(3, low - 1, limit);
  CloseRange(std::max(low + 1, 3), high - 1, limit);
  CloseRange(std::max(high + 1, 3), INT_MAX, limit);
  syscall(SYS_execveat, program, "", argv, environ, AT_EMPTY_PATH);
}

std::uint32_t ExitCodeOf(int status) {
  if (WIFEXITED(status)) return static_cast<std::uint32_t>(WEXITSTATUS(status));
  if (WIFSIGNALED(status)) return 128u + static_cast<std::uint32_t>(WTERMSIG(status));
  return static_cast<std::uint32_t>(-1);
}

}  // namespace

struct ChildProcess::State {
  pid_t pid = -1;
};

ChildProcess::ChildProcess() : state_(std::make_unique<State>()) {}
ChildProcess::~ChildProcess() = default;

SysResult ChildProcess::Start(const std::string& commandLine, const std::string& programPath,
                              const std::string& workingFolder, int /*showMode: no windows to show here*/) {
  std::vector<std::string> words = ArgumentWords(commandLine, programPath);
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  // The program leads a process group of its own: its children join it,
  // and EndAll reaches them all through it. The posix_spawn calls return
  // their error number instead of setting errno.
  posix_spawnattr_t attributes;
  int error = posix_spawnattr_init(&attributes);
  if (error != 0) return SysResult::Failure(error);
  error = posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  if (error == 0) error = posix_spawnattr_setpgroup(&attributes, 0);
  posix_spawn_file_actions_t actions;
  if (const int failed = posix_spawn_file_actions_init(&actions); failed != 0) {
    posix_spawnattr_destroy(&attributes);
    return SysResult::Failure(failed);
  }
  // The program gets standard input, output and error and nothing else: a
  // descriptor opened without O_CLOEXEC (the log file, a database file)
  // would otherwise stay open in it, and with it the file.
  if (error == 0) error = posix_spawn_file_actions_addclosefrom_np(&actions, 3);
  if (error == 0 && !workingFolder.empty())
    error = posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());
  pid_t pid = -1;
  if (error == 0) error = posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (error != 0) return SysResult::Failure(error);
  state_->pid = pid;
  return {};
}

SysResult ChildProcess::Start(const std::string& commandLine, const HeldProgram& program,
                              const std::string& workingFolder, int /*showMode: no windows to show here*/) {
  // Everything the child needs is made before the fork: between fork and
  // exec a program with threads may only make calls that allocate nothing.
  std::vector<std::string> words = ArgumentWords(commandLine, program.Path());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  const char* folder = workingFolder.empty() ? nullptr : workingFolder.c_str();
  rlimit files{};
  const int limit = getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < RLIM_INFINITY
                        ? static_cast<int>(std::min<rlim_t>(files.rlim_cur, INT_MAX))
                        : 65536;
  // The child writes errno here when it cannot become the program; a pipe
  // closed without a word means the program runs.
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return SysResult::LastError();
  const int fd = static_cast<int>(program.Native());
  const pid_t pid = fork();
  if (pid == 0) {
    close(report[0]);
    BecomeHeldProgram(fd, report[1], folder, argv.data(), limit);
    const int error = errno;
    [[maybe_unused]] const ssize_t written = write(report[1], &error, sizeof error);
    _exit(127);
  }
  const int forkError = errno;
  close(report[1]);
  if (pid < 0) {
    close(report[0]);
    return SysResult::Failure(forkError);
  }
  // Also set here: EndAll may come before the child got to it.
  setpgid(pid, pid);
  int error = 0;
  ssize_t n = 0;
  do {
    n = read(report[0], &error, sizeof error);
  } while (n < 0 && errno == EINTR);
  close(report[0]);
  if (n != 0) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    // The child's errno, when it came whole.
    return SysResult::Failure(n == static_cast<ssize_t>(sizeof error) ? error : 0);
  }
  state_->pid = pid;
  return {};
}

std::uint32_t ChildProcess::Wait() {
  if (state_->pid < 0) return static_cast<std::uint32_t>(-1);
  int status = 0;
  while (waitpid(state_->pid, &status, 0) < 0) {
    if (errno != EINTR) return static_cast<std::uint32_t>(-1);
  }
  state_->pid = -1;
  return ExitCodeOf(status);
}

std::optional<std::uint32_t> ChildProcess::WaitFor(std::chrono::milliseconds timeout) {
  if (state_->pid < 0) return static_cast<std::uint32_t>(-1);  // nothing (left) to wait for
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  // Looked at often at first, then every 20 ms: a quick program is not kept
  // waiting, a long one costs next to nothing.
  std::chrono::milliseconds pause(1);
  for (;;) {
    int status = 0;
    const pid_t ended = waitpid(state_->pid, &status, WNOHANG);
    if (ended == state_->pid) {
      state_->pid = -1;
      return ExitCodeOf(status);
    }
    if (ended < 0 && errno != EINTR) {
      state_->pid = -1;  // not ours to wait for any more
      return static_cast<std::uint32_t>(-1);
    }
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return std::nullopt;
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(pause, deadline - now));
    pause = std::min(pause * 2, std::chrono::milliseconds(20));
  }
}

void ChildProcess::EndAll() {
  if (state_->pid < 0) return;
  // The group lives on as long as its leader is not reaped, so this cannot
  // reach a stranger that took the number over.
  kill(-state_->pid, SIGKILL);
  Wait();
}

}  // namespace tarnvel::sys
