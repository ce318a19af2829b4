#pragma once
// What happens to a failure that escapes an operation: it is logged and shown
// in the standard error box, unless its message is empty or it is the silent
// abort of a declined run.

#include <exception>
#include <string>

#include "update/host.h"

namespace tarnvel {

/// The error box text: Message with a period appended when its last character
/// has a higher code than the period (a letter or "?" gets one; "!", ")" and
/// "." do not).
std::string ErrorBoxText(const std::string& message);

/// Logs Message through the host and shows the error box captioned with the
/// application title. An empty message does nothing. When the log itself
/// cannot be written the box still appears, with that failure added below.
void AEException(IUpdateHost& host, const std::string& applicationTitle, const std::string& message);

/// AEException for a caught exception; the silent abort leaves no trace.
void AEException(IUpdateHost& host, const std::string& applicationTitle, const std::exception& failure);

}  // namespace tarnvel
