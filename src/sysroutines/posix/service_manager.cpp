#include "sysroutines/service_manager.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace tarnvel::sys {
namespace {

// Service actions run the way service(8) runs them: a clean environment with
// a fixed PATH, so nothing of ours leaks into the daemon, and no terminal.
std::vector<std::string> ServiceEnvironment() {
  std::vector<std::string> env{"PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin"};
  for (const char* name : {"LANG", "LANGUAGE", "TERM"}) {
    if (const char* value = std::getenv(name)) env.push_back(std::string(name) + "=" + value);
  }
  return env;
}

// Runs a program and waits for it. Its standard input and error are
// /dev/null; its output goes to Output when given, else to /dev/null.
// Returns the exit code, or -1 when it could not run or died by a signal.
int RunCommand(const std::vector<std::string>& argv, std::string* output = nullptr) {
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

// A name that could leave the service folder is no service name.
bool ValidServiceName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
         name.find('\0') == std::string::npos;
}

ServiceStatus Settled(std::uint32_t state) {
  return {state, 0, kPosixServiceWaitHintMs};
}

class SysVService final : public ServiceConnection {
 public:
  explicit SysVService(std::string script) : script_(std::move(script)) {}

  std::optional<ServiceStatus> QueryStatus() override {
    const int code = RunCommand({script_, "status"});
    if (code == 0) return Settled(kServiceRunning);
    if (code >= 1 && code <= 3) return Settled(kServiceStopped);
    return std::nullopt;
  }

  StopControlResult SendStop() override {
    StopControlResult result;
    result.accepted = RunCommand({script_, "stop"}) == 0;
    result.status = QueryStatus();
    return result;
  }

  bool Start() override {
    // The Windows manager refuses to start a running service; an LSB script
    // would report success, so ask first.
    const auto status = QueryStatus();
    if (status && status->currentState == kServiceRunning) return false;
    return RunCommand({script_, "start"}) == 0;
  }

 private:
  std::string script_;
};

class SystemdService final : public ServiceConnection {
 public:
  explicit SystemdService(std::string unit) : unit_(std::move(unit)) {}

  static std::string Property(const std::string& unit, const char* name) {
    std::string out;
    if (RunCommand({"/bin/systemctl", "show", std::string("--property=") + name, "--value", "--", unit},
                   &out) != 0)
      return {};
    while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
    return out;
  }

  std::optional<ServiceStatus> QueryStatus() override {
    const std::string state = Property(unit_, "ActiveState");
    if (state == "active" || state == "reloading") return Settled(kServiceRunning);
    if (state == "activating") return Settled(kServiceStartPending);
    if (state == "deactivating") return Settled(kServiceStopPending);
    if (state == "inactive" || state == "failed") return Settled(kServiceStopped);
    return std::nullopt;
  }

  StopControlResult SendStop() override {
    StopControlResult result;
    result.accepted = RunCommand({"/bin/systemctl", "stop", "--", unit_}) == 0;
    result.status = QueryStatus();
    return result;
  }

  bool Start() override {
    const auto status = QueryStatus();
    if (status && status->currentState == kServiceRunning) return false;
    return RunCommand({"/bin/systemctl", "start", "--", unit_}) == 0;
  }

 private:
  std::string unit_;
};

// systemd creates this folder when it runs as PID 1 (sd_booted's test).
bool SystemdIsInit() {
  struct stat info {};
  return stat("/run/systemd/system", &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

std::unique_ptr<ServiceConnection> OpenServiceConnection(const std::string& machineName,
                                                         const std::string& serviceName, std::uint32_t) {
  // Only this computer's services can be reached.
  if (!machineName.empty() || !ValidServiceName(serviceName)) return nullptr;
  const char* folder = std::getenv(kServiceFolderVariable);
  if (!(folder && *folder) && SystemdIsInit()) {
    if (SystemdService::Property(serviceName, "LoadState") != "loaded") return nullptr;
    return std::make_unique<SystemdService>(serviceName);
  }
  const std::string script = std::string(folder && *folder ? folder : "/etc/init.d") + "/" + serviceName;
  struct stat info {};
  if (stat(script.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || access(script.c_str(), X_OK) != 0)
    return nullptr;
  return std::make_unique<SysVService>(script);
}

}  // namespace tarnvel::sys
