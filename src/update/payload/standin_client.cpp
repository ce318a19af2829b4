// STAND-IN for the new client program TarnVel.exe. Default builds pack this
// into the payload so that an update run has a real program to put in place;
// release builds pack the real client instead (TARNVEL_PAYLOAD_CLIENT or
// TARNVEL_PAYLOAD).
#include <cstdio>

int main() {
  std::puts("TarnVel client stand-in (built by Updater_TarnVel for tests and demos; not the real client)");
  return 0;
}
