#pragma once
// Measuring one operation in a child process of its own, so that its time
// and its peak memory (ru_maxrss) are measured the same way for our routines
// and for the tools. Before each run the page cache is written out and, as
// root, dropped, so that every copy reads from the disk; the time includes
// the final sync. Only the work folder's file system is synced (syncfs): a
// global sync would also wait for whatever other programs on the machine
// have written, and time that instead.

#include <cstdint>
#include <functional>
#include <string>

#include "update/host.h"

namespace tarnvel::bench {

struct Measure {
  double seconds = 0;
  long peakKb = 0;
  int status = 0;
};

/// The folder whose file system the measurements sync (set it first).
void SetWorkFolder(const std::string& folder);

Measure RunInChild(const std::function<int()>& body);

/// Takes the engine's reports and shows nothing, as a front end that is not
/// looking would; answers every box with its focused button.
class NullHost : public IUpdateHost {
 public:
  void SaveExceptionToLog(const std::string&) override {}
  void ProcessMessages() override {}
  DialogButton ShowDialog(const DialogRequest& request) override { return request.defaultButton; }
  void SetStatusCaption(const std::string&) override {}
  void SetRolledBack(bool) override {}
  bool RolledBack() const override { return false; }
};

/// Runs a shell command; 0 when it succeeded.
int Shell(const std::string& command);

/// Runs an action of ours; 0 when it did not throw (the failure is printed).
int Ours(const std::function<void()>& action);

}  // namespace tarnvel::bench
