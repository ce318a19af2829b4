#pragma once
// The project profile: which product the updater updates. Fixed at start-up
// by the application and handed to every run of the engine.

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

}  // namespace tarnvel
