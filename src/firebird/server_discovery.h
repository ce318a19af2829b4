#pragma once
// Finding the Firebird server that serves the product on this computer.

#include <string>

#include "sysroutines/registry.h"

namespace tarnvel::firebird {

/// What the service commands and the update driver know about the server.
struct TFBServParams {
  std::string ServerDir;     ///< installation folder, ending with the delimiter before "bin"
  std::string ServerType;    ///< "SUPER", "CLASSIC" or empty when no known installation was found
  std::string ServerPrefix;  ///< "localhost/" + port + ":"
  std::string ServerExe;     ///< file name of the server executable
  std::string ServiceName;   ///< the service that is stopped and started
};

/// Fills Params from the registry: the product's own Firebird service first,
/// then a Firebird default instance when the product's Firebird package is
/// registered as installed. Only ServerType is cleared at the start; a field
/// a branch does not set keeps what the caller put there, and a failure can
/// leave the record partly filled. Returns with an empty ServerType when
/// neither installation is there. Throws std::runtime_error with a fixed
/// English text when an installation is found but cannot be used.
void GetFBServParams(TFBServParams& params);

/// The same over a given registry.
void GetFBServParams(TFBServParams& params, const sys::MachineRegistry& registry);

}  // namespace tarnvel::firebird
