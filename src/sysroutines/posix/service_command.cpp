#include "sysroutines/posix/service_command.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace tarnvel::sys {
namespace {

std::vector<std::string> ServiceEnvironment() {
  std::vector<std::string> env{"PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin"};
  for (const char* name : {"LANG", "LANGUAGE", "TERM"}) {
    if (const char* value = std::getenv(name)) env.push_back(std::string(name) + "=" + value);
  }
  return env;
}

}  // namespace

int RunServiceCommand(const std::vector<std::string>& argv, std::string* output) {
  if (argv.empty()) return -1;
  int pipeFds[2] = {-1, -1};
  if (output && pipe2(pipeFds, O_CLOEXEC) != 0) return -1;

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  if (output)
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
  else
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);

  std::vector<char*> args;
  for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  std::vector<std::string> envText = ServiceEnvironment();
  std::vector<char*> env;
  for (auto& entry : envText) env.push_back(entry.data());
  env.push_back(nullptr);

  pid_t pid = -1;
  const int spawned = posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, args.data(), env.data());
  posix_spawn_file_actions_destroy(&actions);
  if (output) {
    close(pipeFds[1]);
    char buffer[512];
    ssize_t n;
    while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR)) {
      if (n > 0) output->append(buffer, static_cast<std::size_t>(n));
    }
    close(pipeFds[0]);
  }
  if (spawned != 0) return -1;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace tarnvel::sys
