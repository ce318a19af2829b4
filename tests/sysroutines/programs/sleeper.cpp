// A child for the process tests: it only waits to be ended (it gives up by
// itself after the given number of seconds, 120 by default, so that a failed
// test leaves nothing behind for long).
#include <chrono>
#include <cstdlib>
#include <thread>

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 120;
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  return 0;
}
