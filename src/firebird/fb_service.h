#pragma once
// Stopping and starting the Firebird server's service, for the update run
// (around its free-space check) and for the service commands of the menu.

#include <chrono>
#include <functional>
#include <string>

#include "firebird/server_discovery.h"
#include "sysroutines/service_control.h"

namespace tarnvel::firebird {

/// How long the server is given after its service stopped, before anything
/// touches its files again.
inline constexpr std::chrono::milliseconds kServiceStopPause{15000};

/// What the service commands need from their caller.
struct FbServiceContext {
  /// Shows a closing message in a box with an OK button (used when the
  /// caller asks for a result message).
  std::function<void(const std::string& text)> showMessage;
  /// The pause after a stop; nullptr: a real sleep of the calling thread.
  std::function<void(std::chrono::milliseconds)> pause;
  /// Clock and time limit of the waits for the service to settle.
  sys::ServiceWaitOptions serviceWait;
};

/// Stops the service Params.ServiceName, ends what is left of the server
/// executable Params.ServerExe, checks that the service reads as stopped (its
/// state asked again when something was left to end) and pauses
/// kServiceStopPause. With ShowResult it then shows "FireBird Server
/// service is stopped.". Throws std::runtime_error with a fixed English text.
void StopFBService(const TFBServParams& params, bool showResult, const FbServiceContext& context = {});

/// Always a restart: stops the service first (ignoring any failure of that),
/// then starts it and checks that one of the two known Firebird services
/// runs. With ShowResult it then shows "FireBird server service is running.".
/// Throws std::runtime_error with a fixed English text.
void StartFBService(const TFBServParams& params, bool showResult, const FbServiceContext& context = {});

}  // namespace tarnvel::firebird
