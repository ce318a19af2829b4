// The libFuzzer entry of one fuzz target; CMake names the entry function in
// TARNVEL_FUZZ_ENTRY.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TARNVEL_FUZZ_ENTRY(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
