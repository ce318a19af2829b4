#include "sysroutines/under_wine.h"

namespace tarnvel::testing {

bool RunsUnderWine() {
  return false;
}

}  // namespace tarnvel::testing
