#include "sysroutines/system_language.h"

#include <windows.h>

namespace tarnvel::sys {

std::uint16_t SystemDefaultLangId() { return GetSystemDefaultLangID(); }

}  // namespace tarnvel::sys
