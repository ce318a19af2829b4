#pragma once
// The project profile: which product the updater updates, and the values the
// window presets in its input boxes.

#include <string>

#include "update/project_profile.h"

namespace tarnvel {

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
