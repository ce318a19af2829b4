#pragma once
// The text of the failure an action raises, for comparing messages in tests.

#include <functional>
#include <stdexcept>
#include <string>

namespace tarnvel::testing {

/// The message of the std::exception Action throws, or "(no failure)".
inline std::string FailureText(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "(no failure)";
}

}  // namespace tarnvel::testing
