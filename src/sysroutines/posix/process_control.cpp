#include "sysroutines/process_control.h"

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace tarnvel::sys {

// The capability sets belong to the calling thread; the routines that end
// processes run on that same thread.
bool SetDebugPrivilege(bool enable) {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
  if (syscall(SYS_capget, &header, data) != 0) return false;
  const auto bit = static_cast<__u32>(CAP_TO_MASK(CAP_KILL));
  auto& effective = data[CAP_TO_INDEX(CAP_KILL)].effective;
  effective = enable ? (effective | bit) : (effective & ~bit);
  return syscall(SYS_capset, &header, data) == 0;
}

}  // namespace tarnvel::sys
