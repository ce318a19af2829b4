#include "sysroutines/process_end.h"

#include <fstream>
#include <string>
#include <thread>

namespace tarnvel::testing {
namespace {

// Gone, or a zombie that only its parent's wait keeps in the table.
bool HasEnded(std::uint32_t id) {
  std::ifstream stat("/proc/" + std::to_string(id) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return true;
  const std::size_t close = line.rfind(')');  // the name may hold blanks and brackets
  const char state = close != std::string::npos && close + 2 < line.size() ? line[close + 2] : '?';
  return state == 'Z' || state == 'X';
}

}  // namespace

bool ProcessEnds(std::uint32_t id, std::chrono::milliseconds within) {
  const auto deadline = std::chrono::steady_clock::now() + within;
  while (!HasEnded(id)) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

}  // namespace tarnvel::testing
