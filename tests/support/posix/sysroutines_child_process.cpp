#include "support/sysroutines_child_process.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <thread>

#include "sysroutines/executable.h"

extern char** environ;

namespace tarnvel::testing {

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments) {
  std::vector<std::string> argv{program};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  std::vector<char*> args;
  for (auto& arg : argv) args.push_back(arg.data());
  args.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, args.data(), environ) != 0)
    throw std::runtime_error("cannot start " + program);
  handle_ = static_cast<std::uintptr_t>(pid);
  id_ = static_cast<std::uint32_t>(pid);
}

ChildProcess::~ChildProcess() {
  if (ended_) return;
  kill(static_cast<pid_t>(id_), SIGKILL);
  int status = 0;
  waitpid(static_cast<pid_t>(id_), &status, 0);
}

std::uint32_t ChildProcess::Id() const {
  return id_;
}

bool ChildProcess::WaitForExit(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!ended_) {
    int status = 0;
    if (waitpid(static_cast<pid_t>(id_), &status, WNOHANG) == static_cast<pid_t>(id_)) {
      ended_ = true;
      exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      break;
    }
    if (std::chrono::steady_clock::now() >= deadline) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return ended_;
}

std::string SysroutinesTestProgram(const std::string& name) {
  return (std::filesystem::path(sys::ExecutableDir()).parent_path() / "sysroutines" / name).string();
}

std::string CopyProgramAs(const std::string& program, const std::string& folder,
                          const std::string& fileName) {
  const auto target = std::filesystem::path(folder) / fileName;
  std::filesystem::copy_file(program, target, std::filesystem::copy_options::overwrite_existing);
  return target.string();
}

std::string ExecutableExtension() {
  return "";
}

}  // namespace tarnvel::testing
