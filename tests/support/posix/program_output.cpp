#include "support/program_output.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace tarnvel::testing {

ProgramOutput RunForOutput(const std::string& program, const std::vector<std::string>& arguments) {
  ProgramOutput result;
  int pipeEnds[2];
  if (pipe2(pipeEnds, O_CLOEXEC) != 0) return result;
  std::vector<std::string> argv{program};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  std::vector<char*> args;
  for (auto& arg : argv) args.push_back(arg.data());
  args.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
  pid_t pid = -1;
  const int started = posix_spawn(&pid, program.c_str(), &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeEnds[1]);
  if (started == 0) {
    char buffer[4096];
    for (ssize_t got; (got = read(pipeEnds[0], buffer, sizeof buffer)) != 0;) {
      if (got > 0)
        result.standardOutput.append(buffer, static_cast<std::size_t>(got));
      else if (errno != EINTR)
        break;
    }
    int status = 0;
    if (waitpid(pid, &status, 0) == pid && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  }
  close(pipeEnds[0]);
  return result;
}

}  // namespace tarnvel::testing
