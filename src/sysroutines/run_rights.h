#pragma once
// Whether this process has the rights an update and the service and
// database commands need, asked before any of them changes anything.

#include <string>
#include <vector>

namespace tarnvel::sys {

/// What this process lacks of the rights a run needs, each named as the
/// system names it; empty when it has them all.
///
/// Windows: "TokenElevation" when the process token is not elevated (an
/// administrator's program started without "Run as administrator", or a
/// user's): the service control manager, the debug privilege and the
/// product's files need an elevated token.
///
/// Linux: "euid 0" when the effective user is not root, since the service
/// manager (systemctl, the init scripts) goes by the user and not by
/// capabilities; then each of CAP_CHOWN, CAP_DAC_OVERRIDE, CAP_FOWNER and
/// CAP_KILL missing from the effective set, in this order: copies keep the
/// owners and modes of files that belong to others (the database belongs to
/// the server's user), and the server's processes run as another user.
/// Root in a container that dropped one of them lacks just that one.
std::vector<std::string> MissingRunRights();

}  // namespace tarnvel::sys
