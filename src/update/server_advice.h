#pragma once
// What the operator is told about a failure of the Firebird server, in the
// operator's language, before the server's own (English) text.

#include <exception>
#include <string>

namespace tarnvel {

/// One line for the failures an operator meets (the password refused, no
/// server answering, the database file not found or not readable, the
/// database shut down, a lock conflict), decided from the status vector's
/// error codes, never from the text; empty for every other failure.
std::string ServerFailureCause(const std::exception& failure);

/// The cause line (when there is one) and a line break, then Label and the
/// failure's own text, unchanged.
std::string FailureTextWithCause(const std::exception& failure, const std::string& label = "");

}  // namespace tarnvel
