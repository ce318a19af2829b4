// A child program for the process tests, started by the test programs.
//
//   tarnvel_test_child [anything]      writes its own command line to
//                                      child_report.txt in its working folder
//                                      and ends with exit code 3
//   tarnvel_test_child hold FILE       opens FILE and keeps it open (Windows:
//                                      with no sharing at all) and its working
//                                      folder in use until FILE.release exists
//                                      (at most 60 s); writes FILE.held once
//                                      the file is open; ends with 0
//   tarnvel_test_child env NAME        writes the value of the environment
//                                      variable NAME ("(unset)" when it has
//                                      none) to child_env.txt; exit code 3
//   tarnvel_test_child fds             writes the descriptors it holds beyond
//                                      standard input, output and error to
//                                      child_fds.txt (Linux; empty on
//                                      Windows) and ends with exit code 3
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "child_platform.h"

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "hold") {
    const std::filesystem::path file = argv[2];
    if (!HoldOpen(file.string())) return 2;
    std::ofstream(file.string() + ".held") << "held";
    const std::filesystem::path release = file.string() + ".release";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!std::filesystem::exists(release) && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return 0;
  }
  if (argc == 3 && std::string(argv[1]) == "env") {
    const char* value = std::getenv(argv[2]);
    std::ofstream("child_env.txt", std::ios::binary) << (value == nullptr ? "(unset)" : value);
    return 3;
  }
  if (argc == 2 && std::string(argv[1]) == "fds") {
    const std::string descriptors = InheritedDescriptors();
    std::ofstream("child_fds.txt", std::ios::binary) << descriptors;
    return 3;
  }
  std::ofstream("child_report.txt", std::ios::binary) << OwnCommandLine(argc, argv);
  return 3;
}
