#include "sysroutines/run_rights.h"

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace tarnvel::sys {
namespace {

struct NamedCapability {
  int number;
  const char* name;
};

constexpr NamedCapability kNeeded[] = {{CAP_CHOWN, "CAP_CHOWN"},
                                       {CAP_DAC_OVERRIDE, "CAP_DAC_OVERRIDE"},
                                       {CAP_FOWNER, "CAP_FOWNER"},
                                       {CAP_KILL, "CAP_KILL"}};

}  // namespace

std::vector<std::string> MissingRunRights() {
  std::vector<std::string> missing;
  if (geteuid() != 0) missing.emplace_back("euid 0");
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
  // A set that cannot be read counts as empty: better refused than half done.
  const bool known = syscall(SYS_capget, &header, data) == 0;
  for (const NamedCapability& capability : kNeeded) {
    const bool effective =
        known && (data[CAP_TO_INDEX(capability.number)].effective & CAP_TO_MASK(capability.number)) != 0;
    if (!effective) missing.emplace_back(capability.name);
  }
  return missing;
}

}  // namespace tarnvel::sys
