#pragma once
// The console program's logic on a product whose database is served by the
// real Firebird server: the whole test holds the machine's server lock,
// since other programs stop and start that server.

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "console/json_reader.h"
#include "driver/posix/server_fixture.h"
#include "frontends/console/console_run.h"

namespace tarnvel::console {

class ConsoleServerRun : public testing::ServerRun {
 protected:
  void SetUp() override;
  void TearDown() override;

  /// The program's environment for a run on the product: the executable in
  /// its own folder, the product's own SuperServer, the test's pauses and
  /// streams, the SYSDBA password in its variable.
  ConsoleEnvironment Environment();
  /// Runs the console with Args and a report in the program's folder.
  int RunConsoleCommand(std::vector<std::string> args, ConsoleEnvironment env);
  int RunConsoleUpdate(std::function<void(const std::string&)> onEntry);
  testing::JsonValue Report() const;

  int lock_ = -1;
  std::string password_ = "kelpdromux";
  testing::TempDir bin_{"console-bin"};
  std::ostringstream out_, err_;
  std::istringstream in_;
};

}  // namespace tarnvel::console
