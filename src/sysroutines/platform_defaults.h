#pragma once
// Values of the product profile that differ between the platforms.

namespace tarnvel::sys {

/// File name of the Firebird client library: "fbclient.dll" on Windows,
/// "libfbclient.so.2" on Linux.
extern const char* const kClientLibraryName;

/// The product folder preset in the window: "C:\ZEK\TarnVel" on Windows,
/// "/opt/ZEK/TarnVel" on Linux.
extern const char* const kDefaultProductFolder;

}  // namespace tarnvel::sys
