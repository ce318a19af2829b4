#pragma once
// The console program: the window's start-up without a window, then one
// command, its outcome as an exit code and, when asked, a JSON report.

#include <cstdint>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "sysroutines/system_error.h"

namespace tarnvel::console {

/// What the program takes from its surroundings; the defaults are the real
/// ones. Tests give their own streams, answers, pauses and fault hooks.
struct ConsoleEnvironment {
  ConsoleEnvironment();

  /// The executable, its resources, server discovery, the clock, the engine
  /// and the pauses (empty pauses: real sleeps).
  FormEnvironment form;
  std::ostream* out = &std::cout;
  std::ostream* err = &std::cerr;
  std::istream* in = &std::cin;
  bool inputIsTerminal = false;
  bool errorIsTerminal = false;
  std::function<std::optional<std::string>(const std::string& name)> environment;
  /// Takes a variable out of the process's environment (the password's,
  /// once read, so that no program the run starts inherits it).
  std::function<void(const std::string& name)> removeEnvironment;
  std::function<sys::SysResult(const std::string& path, std::string& content)> readFile;
  /// Reads a password without echo; used only when input is a terminal.
  std::function<std::optional<std::string>(const std::function<void()>& prompt)> readPassword;
  std::function<std::uint32_t(const std::string& serviceName)> serviceState;
  /// Called after each run-log entry (tests inject faults at exact entries).
  std::function<void(const std::string& text)> onEntry;
};

/// Runs the program with the arguments after its name; returns the exit code.
int RunConsole(const std::vector<std::string>& args, ConsoleEnvironment environment = {});

}  // namespace tarnvel::console
