// The console program itself on a pseudo-terminal: the SYSDBA password is
// asked without echo, each question is asked with its default, and the
// answer typed decides the run.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "driver/driver_fixture.h"

namespace tarnvel::console {
namespace {

using namespace testing;
namespace fs = std::filesystem;

struct TerminalRun {
  int exitCode = -1;
  std::string screen;
};

// Reads the terminal until Marker appears (or the program ends).
bool ReadUntil(int master, std::string& screen, const std::string& marker) {
  while (screen.find(marker) == std::string::npos) {
    pollfd ready{master, POLLIN, 0};
    if (poll(&ready, 1, 60000) <= 0) return false;
    char buffer[512];
    const ssize_t got = read(master, buffer, sizeof buffer);
    if (got <= 0) return false;
    screen.append(buffer, static_cast<std::size_t>(got));
  }
  return true;
}

// Starts the program on a new terminal and types each answer after its prompt.
TerminalRun RunOnTerminal(const std::vector<std::string>& args,
                          const std::vector<std::pair<std::string, std::string>>& dialogue) {
  TerminalRun run;
  int master = -1;
  const pid_t child = forkpty(&master, nullptr, nullptr, nullptr);
  if (child == 0) {
    unsetenv("TARNVEL_SYSDBA_PASSWORD");
    std::vector<char*> argv{const_cast<char*>(TARNVEL_CONSOLE_PROGRAM)};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  if (child < 0) return run;
  for (const auto& [prompt, answer] : dialogue) {
    if (!ReadUntil(master, run.screen, prompt)) break;
    const std::size_t seen = run.screen.size();
    if (write(master, answer.data(), answer.size()) != static_cast<ssize_t>(answer.size())) break;
    (void)seen;
  }
  ReadUntil(master, run.screen, "\x04never");  // drain until the program ends
  int status = 0;
  // A program still waiting for input fails the case instead of hanging the suite.
  if (waitpid(child, &status, WNOHANG) == 0) {
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
  }
  close(master);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

TEST(ConsoleTerminal, QuestionsAreAskedAndTheTypedAnswerDecides) {
  TempDir dir("console-tty");
  const std::string root = dir / "TarnVel";
  const struct {
    const char* answer;
    int exitCode;
    bool replaced;
  } cases[] = {{"\r", 2, false}, {"y\r", 0, true}};  // the confirmation's default is No
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer);
    fs::remove_all(root);
    LayOutClientProduct(root);
    const TerminalRun run =
        RunOnTerminal({"--folder", root}, {{"SYSDBA password", "hidden-secret\r"}, {"[No]?", c.answer}});
    EXPECT_EQ(run.exitCode, c.exitCode) << run.screen;
    EXPECT_EQ(run.screen.find("hidden-secret"), std::string::npos) << "the password was echoed";
    EXPECT_NE(run.screen.find("Yes/[No]? "), std::string::npos) << run.screen;
    EXPECT_EQ(ReadFile(fs::path(root) / "Program" / "TarnVel.exe") == NewClientBytes(), c.replaced);
  }
}

}  // namespace
}  // namespace tarnvel::console
