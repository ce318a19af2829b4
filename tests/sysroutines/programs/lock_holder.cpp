// A child for the run-lock tests: takes the machine's updater lock in the
// given file with the given holder text, says so by creating the ready file,
// and waits to be ended (giving up by itself after two minutes).
#include <chrono>
#include <fstream>
#include <thread>

#include "sysroutines/run_lock.h"

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  std::string found;
  const auto lock = tarnvel::sys::RunLock::TryAcquire(argv[1], argv[2], found);
  if (!lock) return 1;
  std::ofstream(argv[3]) << "held\n";
  std::this_thread::sleep_for(std::chrono::seconds(120));
  return 0;
}
