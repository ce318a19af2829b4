#pragma once
#include <string>

/// The command line the program was started with: Windows GetCommandLineW as
/// UTF-8; Linux the arguments joined by single blanks.
std::string OwnCommandLine(int argc, char** argv);

/// Opens File for reading and keeps it open until the program ends. Windows:
/// with no sharing at all, so that nobody else can read, write or delete it.
bool HoldOpen(const std::string& file);

/// The open descriptors beyond 0, 1 and 2, each as "NUMBER -> WHAT IT NAMES"
/// on a line of its own (Linux /proc/self/fd); empty on Windows.
std::string InheritedDescriptors();
