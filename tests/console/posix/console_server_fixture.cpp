#include "console/posix/console_server_fixture.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>

namespace tarnvel::console {

using namespace testing;

void ConsoleServerRun::SetUp() {
  // Other programs on this machine share the server: they stop and start it
  // only while holding this lock.
  lock_ = open("/tmp/tarnvel-firebird.lock", O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  ASSERT_GE(lock_, 0);
  ASSERT_EQ(flock(lock_, LOCK_EX), 0);
  ServerRun::SetUp();
}

void ConsoleServerRun::TearDown() {
  ServerRun::TearDown();
  if (lock_ >= 0) close(lock_);
}

ConsoleEnvironment ConsoleServerRun::Environment() {
  ConsoleEnvironment env;
  std::filesystem::create_directories(bin_.path());
  env.form.executablePath = Child(bin_.str(), "Updater_TarnVel_console");
  env.form.discoverServer = [](firebird::TFBServParams& params) { params = OwnSuperServer(); };
  env.form.service = settings_.service;
  env.form.shutdownPause = settings_.shutdownPause;
  env.out = &out_;
  env.err = &err_;
  env.in = &in_;
  env.inputIsTerminal = false;
  env.errorIsTerminal = false;
  env.environment = [this](const std::string& name) {
    return name == "TARNVEL_SYSDBA_PASSWORD" ? std::optional<std::string>(password_) : std::nullopt;
  };
  return env;
}

int ConsoleServerRun::RunConsoleCommand(std::vector<std::string> args, ConsoleEnvironment env) {
  for (const char* option : {"--folder", root_.c_str(), "--report"}) args.emplace_back(option);
  args.push_back(bin_ / "report.json");
  return RunConsole(args, std::move(env));
}

int ConsoleServerRun::RunConsoleUpdate(std::function<void(const std::string&)> onEntry) {
  ConsoleEnvironment env = Environment();
  env.onEntry = std::move(onEntry);
  return RunConsoleCommand({"--yes"}, std::move(env));
}

testing::JsonValue ConsoleServerRun::Report() const {
  return ParseJson(ReadFile(bin_.path() / "report.json"));
}

}  // namespace tarnvel::console
