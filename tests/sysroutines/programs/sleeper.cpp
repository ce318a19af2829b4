// A child for the process tests: it only waits to be ended (it gives up by
// itself after the given number of seconds, 120 by default, so that a failed
// test leaves nothing behind for long).
//
//   tarnvel_test_sleeper [SECONDS]              sleeps
//   tarnvel_test_sleeper SECONDS grandchild     first starts a second copy of
//                                               itself that sleeps as long, and
//                                               writes its own process number
//                                               to sleeper.pid and the copy's
//                                               to grandchild.pid in its
//                                               working folder
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "start_copy.h"

namespace {

// Written beside and renamed, so that a reader never finds half a number.
void WriteNumber(const std::string& file, std::uint32_t number) {
  std::ofstream(file + ".new") << number;
  std::filesystem::rename(file + ".new", file);
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 120;
  if (argc > 2 && std::string(argv[2]) == "grandchild") {
    const std::uint32_t copy = StartCopyOfSelf(argv[1]);
    if (copy == 0) return 2;
    WriteNumber("sleeper.pid", OwnProcessId());
    WriteNumber("grandchild.pid", copy);
  }
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  return 0;
}
