#pragma once
// The environment of an in-process console run on a CLIENT-only product:
// no server is discovered, no real pauses, no terminal, and none of the
// machine's own password variables.

#include <iosfwd>
#include <string>

#include "frontends/console/console_run.h"

namespace tarnvel::console::testing {

/// BinFolder holds the pretended executable (its Logs folder goes there).
ConsoleEnvironment ClientOnlyEnvironment(const std::string& binFolder, std::ostream& out, std::ostream& err,
                                         std::istream& in);

}  // namespace tarnvel::console::testing
