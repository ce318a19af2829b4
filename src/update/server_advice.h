#pragma once
// What the operator can do when the Firebird server does not answer.

#include <exception>
#include <string>

namespace tarnvel {

/// The failure's text, followed, when the failure is the server's "cannot
/// be reached" (told from its error code, never from the text), by a line
/// saying that the service may be stopped and how to start it.
std::string FailureTextWithAdvice(const std::exception& failure);

}  // namespace tarnvel
