#pragma once
#include <string>

/// The command line the program was started with: Windows GetCommandLineW as
/// UTF-8; Linux the arguments joined by single blanks.
std::string OwnCommandLine(int argc, char** argv);
