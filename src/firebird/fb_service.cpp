#include "firebird/fb_service.h"

#include <stdexcept>
#include <thread>

#include "sysroutines/process_control.h"

namespace tarnvel::firebird {
namespace {

// The right to end other users' processes, held only while the server's
// processes are being ended, and given back on every path.
class DebugPrivilegeScope {
 public:
  DebugPrivilegeScope() { sys::SetDebugPrivilege(true); }
  ~DebugPrivilegeScope() { sys::SetDebugPrivilege(false); }
  DebugPrivilegeScope(const DebugPrivilegeScope&) = delete;
  DebugPrivilegeScope& operator=(const DebugPrivilegeScope&) = delete;
};

void Pause(const FbServiceContext& context, std::chrono::milliseconds duration) {
  if (context.pause)
    context.pause(duration);
  else
    std::this_thread::sleep_for(duration);
}

void Show(const FbServiceContext& context, bool showResult, const char* text) {
  if (showResult && context.showMessage) context.showMessage(text);
}

// Whether one of the two known Firebird services runs, right after Started
// was started and reported running. When Started is one of them, the wait
// that just ended on a query reporting it running answers the question: on
// Linux a second query would run the service's script again for the same
// answer. For any other service the two known ones are asked.
bool KnownServiceRuns(const std::string& started) {
  for (const char* known : {"FirebirdGuardianDefaultInstance", "NorvaskFireXBirdServer"}) {
    if (started == known) return true;
  }
  return sys::GetServiceState("", "FirebirdGuardianDefaultInstance") == sys::kServiceRunning ||
         sys::GetServiceState("", "NorvaskFireXBirdServer") == sys::kServiceRunning;
}

}  // namespace

void StopFBService(const TFBServParams& params, bool showResult, const FbServiceContext& context) {
  if (!sys::StopServiceAndWait("", params.ServiceName, context.serviceWait))
    throw std::runtime_error(
        "Unable to stop the server FireBird. Try restarting your computer and rerun the application.");

  // The classic server runs one process per connection, and they can outlive
  // the service; the same is done for both server types.
  bool killed = false;
  std::size_t matched = 0;
  {
    const DebugPrivilegeScope privilege;
    killed = sys::KillProcessByName(params.ServerExe, &matched);
  }
  if (!killed)
    throw std::runtime_error("Unable to stop the process(es):" + params.ServerExe +
                             " classic server FireBird. \rDo stop by hand and then try again.");

  // The service must read as stopped after its leftover processes were
  // ended: ending them may make a guardian or the manager start it again, so
  // then it is asked. When no process was left, nothing happened since the
  // stop's wait ended on a query that reported it stopped, and that answer
  // stands (on Linux each question runs the service's script).
  if (matched > 0 && sys::GetServiceState("", params.ServiceName) != sys::kServiceStopped)
    throw std::runtime_error("FireBird server service is not stopped!");
  Pause(context, kServiceStopPause);
  Show(context, showResult, "FireBird Server service is stopped.");
}

void StartFBService(const TFBServParams& params, bool showResult, const FbServiceContext& context) {
  try {
    StopFBService(params, false, context);
  } catch (const std::exception&) {
    // A start is a restart; a stop that fails here does not keep the start
    // from being tried, and only the start's own failure is reported.
  }
  if (!sys::StartServiceAndWait("", params.ServiceName, context.serviceWait))
    throw std::runtime_error(
        "Unable to start the server FireBird. Try restarting your computer and rerun the application.");
  if (!KnownServiceRuns(params.ServiceName))
    throw std::runtime_error("FireBird server service is not running!");
  Show(context, showResult, "FireBird server service is running.");
}

}  // namespace tarnvel::firebird
