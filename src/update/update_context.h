#pragma once
// The update context: the folders and names every step of an update run or
// a database mode command works with, worked out by UpdateInit from the
// product folder the operator typed.

#include <string>

#include "sysroutines/local_time.h"
#include "update/host.h"

namespace tarnvel {

/// The three names of the project profile that the context is built from.
struct ProductNames {
  std::string ConnectionPrefix;  // e.g. "localhost/3051:"
  std::string DatabaseFileName;  // inside DB_Data
  std::string ClientExeName;     // inside Program
};

struct UpdateContext {
  std::string RootDir;
  std::string ProgramDir;
  std::string DBDataDir;
  std::string TmpDir;
  std::string NewDir;
  std::string OldDir;
  std::string OldProgramDir;
  std::string OldDBDataDir;
  std::string OldOtherDir;
  std::string DatabaseName;
  bool ClientFound = false;
  bool ServerFound = false;
};

/// The process-wide context. Only UpdateInit writes it.
UpdateContext& CurrentUpdateContext();

/// The run stamp "ddmmyyhhnnss" of a moment: twelve digits.
std::string RunStamp(const sys::LocalDateTime& when);

/// Replaces the whole context for ProgramLocation: expands it to a full path
/// (stored as RootDir before anything is checked), checks that it is a folder
/// on a fixed or removable drive, names every folder of the run with a new
/// stamp and finds the installed parts. Writes its two run-log entries.
/// Throws std::runtime_error with uUpdate_UpdateInit_2 (no such folder) or
/// uUpdate_UpdateInit_3 (not a local drive), naming the expanded path.
/// Changes nothing on disk.
void UpdateInit(IUpdateHost& host, const ProductNames& names, const std::string& ProgramLocation);

/// Creates the run's working folder under a name nobody else holds, and
/// names TmpDir and the folders under it after it (the one other writer of
/// the context). The name is TmpDir as UpdateInit formed it, or, when an
/// entry of that name is there already (an earlier run in the same second,
/// a planted file or link), that name followed by "_2", "_3" and so on. The
/// folder is created, never taken over: whatever existed before stays as it
/// was. Returns false when no folder could be created; TmpDir then names
/// the last attempt.
bool CreateWorkingFolder();

}  // namespace tarnvel
