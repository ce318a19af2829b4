#pragma once
// What kind of trouble a Firebird failure is, told from the error codes of
// its status vector (never from its text, which the server words in English
// and may word differently in another version).

#include <ibase.h>

#include <vector>

namespace tarnvel::firebird {

enum class ServerFailure {
  Other,             // nothing an operator can be told more than the server's text
  LoginRefused,      // wrong password or a user the server does not know
  Unreachable,       // nothing answers at the server's address: the service may be stopped
  DatabaseFile,      // the database file cannot be opened: missing, or the server may not read it
  DatabaseShutDown,  // the database is shut down
  DatabaseInUse      // a lock conflict: the database or an object in it is held by someone else
};

/// The kind of the failure whose status vector holds Codes. Every code is
/// looked at, and the more telling kinds win: an I/O error caused by a lock
/// (the file opened by another engine) is a lock conflict, not a file problem.
ServerFailure ClassifyServerFailure(const std::vector<ISC_STATUS>& codes);

}  // namespace tarnvel::firebird
