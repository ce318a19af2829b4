// StopFBService as a program of its own, so that the tests can run it as
// another user: "stop SERVICE EXE RESULTFILE" writes the failure text (or
// nothing) to RESULTFILE; exit code 0 on success, 1 on a failure, 2 for a
// wrong command line. The pause after the stop is skipped.
#include <cstring>
#include <fstream>
#include <stdexcept>

#include "firebird/fb_service.h"

int main(int argc, char** argv) {
  if (argc != 5 || std::strcmp(argv[1], "stop") != 0) return 2;
  tarnvel::firebird::TFBServParams params;
  params.ServiceName = argv[2];
  params.ServerExe = argv[3];
  tarnvel::firebird::FbServiceContext context;
  context.pause = [](std::chrono::milliseconds) {};
  std::ofstream result(argv[4], std::ios::binary | std::ios::trunc);
  try {
    tarnvel::firebird::StopFBService(params, false, context);
  } catch (const std::runtime_error& failure) {
    result << failure.what();
    return 1;
  }
  return 0;
}
