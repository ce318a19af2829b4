#pragma once
// Control over the product's database through the Firebird Services API:
// forced shutdown, back online, and the list of attached users.
//
// Every routine names the client library to use and either completes or
// throws: std::runtime_error with a fixed text for blank arguments and a
// missing library, EFirebirdError with the server's messages otherwise.

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace tarnvel::firebird {

/// The pause after a shutdown request; the program sleeps, tests may not.
using Pause = std::function<void(std::chrono::milliseconds)>;
void SleepPause(std::chrono::milliseconds duration);

/// Tests ClientLibrary, DatabaseName, UserName and Password in this order,
/// each trimmed of blanks and control characters; the first that is empty
/// throws its fixed text and the rest are not tested.
void CheckDatabaseParams(const std::string& clientLibrary, const std::string& databaseName,
                         const std::string& userName, const std::string& password);

/// Shuts the database down by force (the server disconnects the others after
/// one second), then waits 2000 ms through Pause.
void DatabaseShutdown(const std::string& clientLibrary, const std::string& databaseName,
                      const std::string& userName, const std::string& password,
                      const Pause& pause = SleepPause);

/// Brings the database back online.
void DatabaseOnLine(const std::string& clientLibrary, const std::string& databaseName,
                    const std::string& userName, const std::string& password);

/// The header page statistics of the database, as the server prints them
/// (one line per line). Changes nothing; answers for a shut-down database too.
std::string DatabaseHeaderText(const std::string& clientLibrary, const std::string& databaseName,
                               const std::string& userName, const std::string& password);

/// Replaces Users with the users attached to the database, one per
/// attachment in the server's order, without the first entry that matches
/// UserName regardless of case (the routine's own attachment). Users is left
/// as it was when anything fails.
void GetAttachedUsers(const std::string& clientLibrary, const std::string& databaseName,
                      const std::string& userName, const std::string& password, const std::string& role,
                      std::vector<std::string>& users);

/// Removes the first entry equal to UserName without regard to (ASCII) case.
void RemoveOwnUser(std::vector<std::string>& users, const std::string& userName);

}  // namespace tarnvel::firebird
