#include "sysroutines/child_process.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>
#include <vector>

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

bool ChildProcess::Start(const std::string& commandLine, const std::string& programPath,
                         const std::string& workingFolder, int /*showMode: no windows to show here*/) {
  std::vector<std::string> words{programPath};
  SplitInto(commandLine.substr(programPath.size()), words);
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  // The program leads a process group of its own: its children join it,
  // and EndAll reaches them all through it.
  posix_spawnattr_t attributes;
  if (posix_spawnattr_init(&attributes) != 0) return false;
  bool ok = posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP) == 0 &&
            posix_spawnattr_setpgroup(&attributes, 0) == 0;
  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) {
    posix_spawnattr_destroy(&attributes);
    return false;
  }
  // The program gets standard input, output and error and nothing else: a
  // descriptor opened without O_CLOEXEC (the log file, a database file)
  // would otherwise stay open in it, and with it the file.
  ok = ok && posix_spawn_file_actions_addclosefrom_np(&actions, 3) == 0;
  if (ok && !workingFolder.empty())
    ok = posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str()) == 0;
  pid_t pid = -1;
  if (ok) ok = posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), environ) == 0;
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (!ok) return false;
  state_->pid = pid;
  return true;
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
