#include "sysroutines/process_end.h"

#include <windows.h>

namespace tarnvel::testing {

bool ProcessEnds(std::uint32_t id, std::chrono::milliseconds within) {
  const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
  if (process == nullptr) return true;  // no such process any more
  const bool ended = WaitForSingleObject(process, static_cast<DWORD>(within.count())) == WAIT_OBJECT_0;
  CloseHandle(process);
  return ended;
}

}  // namespace tarnvel::testing
