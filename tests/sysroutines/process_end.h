#pragma once
// Whether a process of the tests has ended, whoever started it.

#include <chrono>
#include <cstdint>

namespace tarnvel::testing {

/// Waits up to Within for the process with number Id to end; true when it
/// has (Linux: also when only its entry is left, waiting for its parent).
bool ProcessEnds(std::uint32_t id, std::chrono::milliseconds within);

}  // namespace tarnvel::testing
