#include "sysroutines/platform_defaults.h"

namespace tarnvel::sys {

const char* const kClientLibraryName = "fbclient.dll";
const char* const kDefaultProductFolder = "C:\\ZEK\\TarnVel";

}  // namespace tarnvel::sys
