#pragma once
// Windows only: the processes that have a file or folder open inside a folder,
// found by walking the system's handle table.

#include <windows.h>

#include <string>
#include <vector>

namespace tarnvel::sys {

/// Every process with an open handle to Folder or to anything inside it
/// (files and folders alike). Handles of processes we may not open are not
/// seen. Each process once.
std::vector<DWORD> ProcessesWithHandlesInside(const std::string& folder);

}  // namespace tarnvel::sys
