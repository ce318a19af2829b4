#pragma once
// What the sleeper needs of its system.
#include <cstdint>

/// Starts this program once more with the one argument Seconds and does not
/// wait for it; its process number, 0 when it could not be started.
std::uint32_t StartCopyOfSelf(const char* seconds);

std::uint32_t OwnProcessId();
