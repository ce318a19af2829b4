#include "sysroutines/child_process.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
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

  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) return false;
  // The program gets standard input, output and error and nothing else: a
  // descriptor opened without O_CLOEXEC (the log file, a database file)
  // would otherwise stay open in it, and with it the file.
  bool ok = posix_spawn_file_actions_addclosefrom_np(&actions, 3) == 0;
  if (ok && !workingFolder.empty())
    ok = posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str()) == 0;
  pid_t pid = -1;
  if (ok) ok = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0;
  posix_spawn_file_actions_destroy(&actions);
  if (!ok) return false;
  state_->pid = pid;
  return true;
}

std::uint32_t ChildProcess::Wait() {
  int status = 0;
  while (waitpid(state_->pid, &status, 0) < 0) {
    if (errno != EINTR) return static_cast<std::uint32_t>(-1);
  }
  state_->pid = -1;
  if (WIFEXITED(status)) return static_cast<std::uint32_t>(WEXITSTATUS(status));
  if (WIFSIGNALED(status)) return 128u + static_cast<std::uint32_t>(WTERMSIG(status));
  return static_cast<std::uint32_t>(-1);
}

}  // namespace tarnvel::sys
