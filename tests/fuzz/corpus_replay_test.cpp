// Every input of the kept fuzz corpus (fuzz/corpus/<target>/: what the
// fuzzers found reaching new code, and the inputs of past findings) goes
// through the entry function the fuzzer uses, so a parser change that breaks
// one of its promises, or crashes, fails here on every target.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "fuzz_entries.h"

namespace tarnvel::fuzz {

// Test names and failure lines show the target by its name.
void PrintTo(const FuzzTarget& target, std::ostream* out) {
  *out << target.name;
}

namespace {

std::string ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class CorpusReplay : public ::testing::TestWithParam<FuzzTarget> {};

TEST_P(CorpusReplay, EveryInputKeepsThePromises) {
  const std::filesystem::path folder = std::filesystem::path(TARNVEL_FUZZ_CORPUS) / GetParam().name;
  bool any = false;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    any = true;
    const std::string input = ReadBytes(entry.path());
    try {
      GetParam().entry(input);
    } catch (const FuzzFinding& finding) {
      ADD_FAILURE() << entry.path().filename().string() << ": broke \"" << finding.what() << "\"";
    } catch (const std::exception& e) {
      ADD_FAILURE() << entry.path().filename().string() << ": threw " << e.what();
    }
  }
  EXPECT_TRUE(any) << "no input in " << folder.string();
}

INSTANTIATE_TEST_SUITE_P(Targets, CorpusReplay,
                         ::testing::ValuesIn(FuzzTargets().begin(), FuzzTargets().end()),
                         [](const ::testing::TestParamInfo<FuzzTarget>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace tarnvel::fuzz
