#include "app/profile.h"

#include "sysroutines/platform_defaults.h"

namespace tarnvel {

ProjectProfile TarnVelProfile() {
  ProjectProfile profile;
  profile.ClientLibrary = sys::kClientLibraryName;
  profile.DatabaseFileName = "TarnVel.fdb";
  profile.ClientExeName = "TarnVel.exe";
  profile.ConnectionPrefix = "localhost/3051:";
  profile.FreeSpaceFactor = 2;
  profile.ProjectKey = "Tarnvel";
  return profile;
}

InputPresets TarnVelPresets() {
  return {sys::kDefaultProductFolder, "kelpdromux", "7"};
}

}  // namespace tarnvel
