#include "sysroutines/terminal.h"

#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>

namespace tarnvel::sys {
namespace {

int Descriptor(StdStream stream) {
  switch (stream) {
    case StdStream::Input:
      return STDIN_FILENO;
    case StdStream::Output:
      return STDOUT_FILENO;
    case StdStream::Error:
      break;
  }
  return STDERR_FILENO;
}

// Puts the terminal's echo back however the read ends.
class EchoOff {
 public:
  EchoOff() {
    if (tcgetattr(STDIN_FILENO, &saved_) != 0) return;
    termios quiet = saved_;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    quiet.c_lflag |= ECHONL;
    active_ = tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
  }
  // What is typed ahead of the next question stays for it.
  ~EchoOff() {
    if (active_) tcsetattr(STDIN_FILENO, TCSANOW, &saved_);
  }
  EchoOff(const EchoOff&) = delete;
  EchoOff& operator=(const EchoOff&) = delete;

 private:
  termios saved_{};
  bool active_ = false;
};

}  // namespace

bool IsTerminal(StdStream stream) {
  return isatty(Descriptor(stream)) == 1;
}

std::optional<std::string> ReadLineWithoutEcho(const std::function<void()>& prompt) {
  if (!IsTerminal(StdStream::Input)) return std::nullopt;
  EchoOff quiet;
  if (prompt) prompt();
  std::string line;
  if (!std::getline(std::cin, line)) return std::nullopt;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

std::vector<std::string> CommandLineArguments(int argc, char* argv[]) {
  return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

std::optional<std::string> EnvironmentVariable(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

void RemoveEnvironmentVariable(const std::string& name) {
  unsetenv(name.c_str());
}

}  // namespace tarnvel::sys
