#pragma once
// The database commands one after the other on one real database, as both
// systems' server tests play them: each logs its first entry and its result
// and shows one box; a command on a database already in its mode warns.

#include <functional>
#include <string>

#include "support/scripted_host.h"
#include "update/update_driver.h"

namespace tarnvel::testing {

struct DbModeStep {
  bool online;       // UpdateOnLine, else UpdateShutdown
  const char* unit;  // the command's message identifiers
  int logged;        // its result's entry; the box shows the next message
  DialogType box;
};

/// From an online database: online (a warning), shutdown, shutdown again (a
/// warning), online.
inline constexpr DbModeStep kDbModeCycle[] = {
    {true, "uUpdate_UpdateOnLine", 5, DialogType::Warning},
    {false, "uUpdate_UpdateShutdown", 3, DialogType::Information},
    {false, "uUpdate_UpdateShutdown", 5, DialogType::Warning},
    {true, "uUpdate_UpdateOnLine", 3, DialogType::Information},
};

/// Plays each step of the cycle on the product in Root and checks its log,
/// its box and the database's mode afterwards (DatabaseOnline).
void PlayDbModeCycle(const UpdateSettings& settings, const std::string& root,
                     const std::function<bool()>& databaseOnline);

}  // namespace tarnvel::testing
