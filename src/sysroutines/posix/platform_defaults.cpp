#include "sysroutines/platform_defaults.h"

namespace tarnvel::sys {

const char* const kClientLibraryName = "libfbclient.so.2";
const char* const kDefaultProductFolder = "/opt/ZEK/TarnVel";

}  // namespace tarnvel::sys
