#pragma once
// The project profile: which product the updater updates, and the values the
// window presets in its input boxes.

#include <cstdint>
#include <string>

namespace tarnvel {

struct ProjectProfile {
  std::string ClientLibrary;     // Firebird client library file name
  std::string DatabaseFileName;  // inside the product's DB_Data folder
  std::string ClientExeName;     // inside the product's Program folder
  std::string ConnectionPrefix;  // host/port: of the local server
  std::uint8_t FreeSpaceFactor = 0;
  std::string ProjectKey;
};

struct InputPresets {
  std::string ProgramLocation;  // product folder
  std::string Password;         // SYSDBA
  std::string AdmnPassword;     // the product's ADMN user: one digit
};

/// The profile of the product TarnVel on this platform.
ProjectProfile TarnVelProfile();

/// The presets of the window's three input boxes on this platform.
InputPresets TarnVelPresets();

}  // namespace tarnvel
