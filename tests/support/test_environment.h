#pragma once
// The test process's own environment and id.

#include <optional>
#include <string>

namespace tarnvel::testing {

std::optional<std::string> GetTestEnvironmentVariable(const std::string& name);
/// Sets the variable for this process and every program it starts.
void SetTestEnvironmentVariable(const std::string& name, const std::string& value);
unsigned long TestProcessId();

}  // namespace tarnvel::testing
